// The application host on Linux, and the POSIX half of the Linux platform that platform/x11
// completes with its windows.
//
// PLATFORM: Linux (the program's path comes from /proc/self/exe): the host, the options files,
// the single-instance lock, the library loader, the process launcher, the clock, the priority,
// the profile files, the built-in resources and the sound.
// LIMITATIONS: the log has no share modes (another writer is not kept out); a higher priority
// needs a privilege most users lack; the shell's "open" is xdg-open; no SDL2 or no audio device
// means silence.
// DEPENDENCIES: the C library (dlopen, flock, setpriority, clock_gettime, fork and exec);
// SDL2 loaded by name on the first sound, its headers only at build time.
#include "platform/posix/posix_host.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/services.h"

TPosixHost::TPosixHost(std::vector<std::string> args, bool resolveProgramPath) : args_(std::move(args)) {
    if (!resolveProgramPath) return;
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n > 0) {
        path[n] = '\0';
        if (args_.empty())
            args_.emplace_back(path);
        else
            args_[0] = path;
    }
}

std::string StateDirectory() {
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    std::string base = state && *state ? state : std::string(home && *home ? home : "/tmp") + "/.local/state";
    // Create the chain; an existing directory is fine.
    std::string partial;
    for (std::size_t i = 1; i <= base.size(); ++i) {
        if (i == base.size() || base[i] == '/') {
            partial = base.substr(0, i);
            mkdir(partial.c_str(), 0700);
        }
    }
    const std::string dir = base + "/3dtidewell";
    mkdir(dir.c_str(), 0700);
    return dir + "/";
}

// No share modes here: another writer is not kept out, and readers are never kept out.
std::FILE* OpenLogStream(const std::string& path, bool create) { return std::fopen(path.c_str(), create ? "w+b" : "r+b"); }

std::FILE* TPosixHost::OpenLog(const std::string& path, bool create) { return OpenLogStream(path, create); }

namespace {

// Folders the system and its packages own. Root may write there, but a file left there outlives
// the package that put the program there.
bool SystemFolder(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    if (dir == "/") return true;
    for (const char* root : {"/usr/", "/bin/", "/sbin/", "/lib/", "/lib32/", "/lib64/", "/libx32/", "/opt/", "/etc/",
                             "/boot/", "/var/", "/srv/", "/snap/"})
        if (dir.rfind(root, 0) == 0) return true;
    return false;
}

}  // namespace

std::string TPosixHost::WritableDirectory(const std::string& exeDir) {
    // Beside the program only in a folder of the user's own, such as a build tree.
    struct stat info;
    if (!exeDir.empty() && !SystemFolder(exeDir) && stat(exeDir.c_str(), &info) == 0 && info.st_uid == geteuid() &&
        access(exeDir.c_str(), W_OK) == 0)
        return exeDir;
    return StateDirectory();
}

std::optional<std::string> TPosixHost::HackWindowVariable() {
    const char* value = std::getenv("XSCREENSAVER_WINDOW");
    if (!value) return std::nullopt;
    return std::string(value);
}
