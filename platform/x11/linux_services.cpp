// The Linux implementations behind platform/services.h.
//
// PLATFORM: Linux on X11 (XWayland included): the saver, its preview and the xscreensaver hack
// draw with GLX into X windows; the settings dialog is GTK 3 on its X11 backend, in a module the
// program loads on first need (platform/gtk, platform/x11/gtk_module_loader.h).
// LIMITATIONS: no colour depth changes (RandR sizes only); no desktop password (locking is the
// screen locker's job); no swap control under Xvfb and some software renderers, where a timer
// paces the frames instead; no sound device means silence, without a word.
// DEPENDENCIES: libX11, libXrandr, libGLX (libGL and libGLU loaded by name at run time), SDL2
// (audio, loaded by name on the first sound; libasound, when present, only to hush it), libjpeg;
// GTK 3 in the module only.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "app/exception.h"

#include "platform/posix/file_options_store.h"
#include "platform/posix/flock_guard.h"
#include "platform/posix/posix_host.h"
#include "platform/posix/sdl_sound_player.h"
#include "platform/services.h"
#include "platform/x11/gtk_module_loader.h"
#include "platform/x11/linux_window_system.h"
#include "platform/x11/settings_dialog_raise.h"
#include "platform/x11/x11_saver_system.h"
#include "platform/x11/x11_window_system.h"
#include "platform/x11/xrandr_driver.h"

std::unique_ptr<IProcessLauncher> CreatePosixProcessLauncher();

std::unique_ptr<IApplicationHost> CreateApplicationHost(std::vector<std::string> args) {
    auto host = std::make_unique<TPosixHost>(std::move(args));
    host->BringDialogForward = [] { RaiseSettingsDialog(); };
    return host;
}
std::unique_ptr<IRegistryStore> CreateOptionsStore() { return std::make_unique<TFileOptionsStore>(); }
std::unique_ptr<IInstanceGuard> CreateInstanceGuard() { return std::make_unique<TFlockGuard>(); }
std::unique_ptr<ISaverSystem> CreateSaverSystem() { return std::make_unique<TX11SaverSystem>(); }
std::unique_ptr<IProcessLauncher> CreateProcessLauncher() { return CreatePosixProcessLauncher(); }
std::unique_ptr<IDisplayModeDriver> CreateDisplayModeDriver() { return std::make_unique<TXRandrDriver>(); }
std::unique_ptr<ISoundPlayer> CreateSoundPlayer(TResourceLookup lookup) {
    return std::make_unique<TSdlSoundPlayer>(std::move(lookup));
}
// GLib's loop takes over once the settings dialog exists.
std::unique_ptr<IWindowSystem> CreateWindowSystem() {
    return std::make_unique<TLinuxWindowSystem>(std::make_unique<TX11WindowSystem>());
}

std::unique_ptr<ISettingsView> CreateSettingsView(IWindowSystem& windows) {
    std::string error;
    IGtkModule* module = LoadGtkModule(&error);
    if (!module) throw Exception(error + " The settings dialog needs it (and GTK 3); reinstall the program.");
    auto view = module->CreateSettingsView();
    // The program's window system hands its loop to GLib from now on.
    if (auto* system = dynamic_cast<TLinuxWindowSystem*>(&windows)) system->HandLoopTo(*module);
    return view;
}

namespace {

// xdg-open through an intermediate child, as GLib does: the opener is nobody's child to wait
// for. False when it could not be started.
bool StartXdgOpen(const std::string& target) {
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return false;
    const char* argv[] = {"xdg-open", target.c_str(), nullptr};
    const pid_t middle = fork();
    if (middle == 0) {
        const pid_t opener = fork();
        if (opener == 0) {
            const int null = open("/dev/null", O_WRONLY);
            if (null >= 0) dup2(null, STDOUT_FILENO);
            execvp(argv[0], const_cast<char* const*>(argv));
        }
        if (opener <= 0) {
            const int why = errno;
            (void)!write(report[1], &why, sizeof why);
        }
        _exit(opener == 0 ? 127 : 0);
    }
    close(report[1]);
    bool started = false;
    if (middle > 0) {
        while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
        }
        // The pipe closes unread when exec succeeds, or on the failed child's exit.
        int why = 0;
        ssize_t got;
        while ((got = read(report[0], &why, sizeof why)) < 0 && errno == EINTR) {
        }
        started = got == 0;
    }
    close(report[0]);
    return started;
}

}  // namespace

bool OpenWithDesktop(const std::string& target) {
    if (target.empty()) return false;
    // GTK's opener once the module runs; loading GTK only to start xdg-open is not worth it.
    if (IGtkModule* module = LoadedGtkModule()) return module->OpenWithDesktop(target);
    return StartXdgOpen(target);
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

void ShowErrorMessage(const std::string& text, const std::string& caption) {
    std::string plain = text;
    std::erase(plain, '\r');
    std::cerr << caption << "\n" << plain << std::endl;
    // GTK opens only an X display; without one the module is not worth loading.
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return;
    if (IGtkModule* module = LoadGtkModule()) module->ShowErrorBox(text, caption, QuitSignalPipe());
}

std::string SceneDescriptionFile(const std::string& installPath, const std::string& exeBaseName) {
    const std::string beside = installPath + exeBaseName + ".ini";
    if (access(beside.c_str(), F_OK) == 0) return beside;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const std::string root = config && *config ? config : std::string(home && *home ? home : "/tmp") + "/.config";
    return root + "/3dtidewell/" + exeBaseName + ".ini";
}
