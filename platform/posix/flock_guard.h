#pragma once
// The single-instance marker on Linux: an exclusive flock on <dir>/<name>.lock, where dir is
// $XDG_RUNTIME_DIR (else /tmp with the user id in the name). The kernel drops the lock when the
// process ends, however it ends.
#include <string>

#include "app/application_pro.h"

class TFlockGuard final : public IInstanceGuard {
public:
    explicit TFlockGuard(std::string directory = {});
    std::unique_ptr<IInstanceHandle> Create(const std::string& name, bool& alreadyExisted) override;
    std::string LockFile(const std::string& name) const;

private:
    std::string directory_;
    bool privateDir_ = true;
};
