// The Linux program: its OS-wide services behind platform/services.h and its display platforms.
//
// PLATFORM: Linux. The display platform is chosen when the program starts (--platform,
// TIDEWELL_PLATFORM, else the first of DisplayPlatforms() that is offered and connects): wayland
// (platform/wayland/wayland_platform.cpp), x11 (platform/x11/x11_platform.cpp) or null (platform/null/null_display.cpp, headless). A new one
// is a folder of its own and one line in the list below.
// LIMITATIONS: no desktop password (locking is the screen locker's job); no sound device means
// silence, without a word.
// DEPENDENCIES: libc, SDL2 (audio, loaded by name on the first sound; libasound, when present,
// only to hush it), libjpeg; and what the display platforms link.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/null/null_display.h"
#include "platform/posix/file_options_store.h"
#include "platform/posix/flock_guard.h"
#include "platform/posix/posix_host.h"
#include "platform/posix/sdl_sound_player.h"
#include "platform/services.h"
#include "platform/wayland/wayland_platform.h"
#include "platform/x11/settings_dialog_raise.h"
#include "platform/x11/x11_platform.h"

std::vector<TDisplayPlatformEntry> DisplayPlatforms() {
    return {
        {"wayland", WaylandOffered, CreateWaylandPlatform},
        {"x11", [] { return true; }, CreateX11Platform},
        {"null", nullptr, CreateNullDisplayPlatform},
    };
}

std::unique_ptr<IProcessLauncher> CreatePosixProcessLauncher();

std::unique_ptr<IApplicationHost> CreateApplicationHost(std::vector<std::string> args) {
    auto host = std::make_unique<TPosixHost>(std::move(args));
    host->BringDialogForward = [] { RaiseSettingsDialog(); };
    return host;
}
std::unique_ptr<IRegistryStore> CreateOptionsStore() { return std::make_unique<TFileOptionsStore>(); }
std::unique_ptr<IInstanceGuard> CreateInstanceGuard() { return std::make_unique<TFlockGuard>(); }
std::unique_ptr<IProcessLauncher> CreateProcessLauncher() { return CreatePosixProcessLauncher(); }
std::unique_ptr<ISoundPlayer> CreateSoundPlayer(TResourceLookup lookup) {
    return std::make_unique<TSdlSoundPlayer>(std::move(lookup));
}
std::string TemporaryDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp && *tmp ? tmp : "/tmp";
    if (folder.back() != '/') folder += '/';
    return folder;
}

std::string DocumentFolder(const std::string& installPath) {
    return installPath + "../share/doc/3dtidewell/";
}

namespace {

// A folder that is ours alone: a real directory (not a link), owned by us, that nobody else
// may write into.
bool PrivateFolder(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
           (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// $XDG_RUNTIME_DIR, else a folder made afresh for this process (a fixed name in the shared
// temporary folder could be anyone's).
std::string PrivateDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && PrivateFolder(runtime)) return std::string(runtime) + "/";
    static std::string made;
    if (made.empty() || !PrivateFolder(made)) {
        std::string name = TemporaryDirectory() + "3dtidewell-XXXXXX";
        made = mkdtemp(name.data()) ? name : std::string();
    }
    return made.empty() ? std::string() : made + "/";
}

bool WriteAll(int fd, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::string WritePrivateFile(const std::string& name, const std::string& content) {
    const std::string folder = PrivateDirectory();
    if (folder.empty()) return {};
    // A fresh file (O_EXCL never follows a link) renamed over the name: what was there, a link
    // included, is replaced, never written through.
    std::string temporary = folder + "." + name + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return {};
    const bool written = WriteAll(fd, content) && fchmod(fd, 0600) == 0;
    const bool closed = close(fd) == 0;
    const std::string path = folder + name;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return {};
    }
    return path;
}

std::string SceneDescriptionFile(const std::string& installPath, const std::string& exeBaseName) {
    const std::string beside = installPath + exeBaseName + ".ini";
    if (access(beside.c_str(), F_OK) == 0) return beside;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const std::string root = config && *config ? config : std::string(home && *home ? home : "/tmp") + "/.config";
    return root + "/3dtidewell/" + exeBaseName + ".ini";
}
