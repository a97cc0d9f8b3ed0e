#include "platform/posix/flock_guard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

class FlockHandle final : public IInstanceHandle {
public:
    explicit FlockHandle(int fd) : fd_(fd) {}
    ~FlockHandle() override { close(fd_); }

private:
    int fd_;
};

}  // namespace

TFlockGuard::TFlockGuard(std::string directory) : directory_(std::move(directory)) {
    if (directory_.empty()) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (runtime && *runtime) {
            directory_ = runtime;
        } else {
            directory_ = "/tmp";
            privateDir_ = false;
        }
    }
}

std::string TFlockGuard::LockFile(const std::string& name) const {
    std::string file = directory_ + "/" + name;
    if (!privateDir_) file += "-" + std::to_string(getuid());
    for (std::size_t i = directory_.size() + 1; i < file.size(); ++i)
        if (file[i] == '/') file[i] = '_';
    return file + ".lock";
}

std::unique_ptr<IInstanceHandle> TFlockGuard::Create(const std::string& name, bool& alreadyExisted) {
    alreadyExisted = false;
    const auto file = LockFile(name);
    const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return nullptr;
    int result;
    do {
        result = flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        if (errno != EWOULDBLOCK) {
            close(fd);
            return nullptr;
        }
        alreadyExisted = true;
    }
    return std::make_unique<FlockHandle>(fd);
}
