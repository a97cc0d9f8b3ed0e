#pragma once
// The options store on Linux: one text file per key path. The per-user root is
// $XDG_CONFIG_HOME (~/.config); the machine-wide root is the first of $XDG_CONFIG_DIRS
// (/etc/xdg) and is read-only. A leading "Software\" is dropped, so the options key
// "Software\Korvane Software\3D Tidewell" is ~/.config/Korvane Software/3D Tidewell.conf.
// Each line is name=int:<decimal> or name=str:<text>, with "\xHH" escapes for control
// characters, "=" and "\". Writes go to a temporary file that is then renamed over the old one.
// A key file that is broken or cannot be read raises Exception and is never overwritten.
#include <string>

#include "app/registry.h"

class TFileOptionsStore final : public IRegistryStore {
public:
    TFileOptionsStore(std::string userRoot, std::string machineRoot)
        : userRoot_(std::move(userRoot)), machineRoot_(std::move(machineRoot)) {}
    // The roots from the XDG environment.
    TFileOptionsStore();

    std::unique_ptr<IRegistryKey> OpenKey(TRootKey root, const std::string& path, bool writable) override;
    // The file of a key path below root; empty for a path that cannot name a file.
    std::string KeyFile(TRootKey root, const std::string& path) const;

private:
    std::string userRoot_;
    std::string machineRoot_;
};
