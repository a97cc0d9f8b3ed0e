// The Linux implementations behind platform/services.h.
//
// PLATFORM: Linux on X11 (XWayland included): the saver, its preview and the xscreensaver hack
// draw with GLX into X windows; the settings dialog is GTK 3 on its X11 backend.
// LIMITATIONS: no colour depth changes (RandR sizes only); no desktop password (locking is the
// screen locker's job); no swap control under Xvfb and some software renderers, where a timer
// paces the frames instead; no sound device means silence, without a word.
// DEPENDENCIES: libX11, libXrandr, libGLX (libGL and libGLU loaded by name at run time), SDL2
// (audio, loaded by name on the first sound; libasound, when present, only to hush it), GTK 3, libjpeg.
#include <unistd.h>

#include <cstdlib>

#include "platform/posix/file_options_store.h"
#include "platform/posix/flock_guard.h"
#include "platform/posix/posix_host.h"
#include "platform/gtk/gtk_window_system.h"
#include "platform/posix/sdl_sound_player.h"
#include "platform/services.h"
#include "platform/x11/x11_saver_system.h"
#include "platform/x11/x11_window_system.h"
#include "platform/x11/xrandr_driver.h"

std::unique_ptr<IProcessLauncher> CreatePosixProcessLauncher();

std::unique_ptr<IApplicationHost> CreateApplicationHost(std::vector<std::string> args) {
    return std::make_unique<TPosixHost>(std::move(args));
}
std::unique_ptr<IRegistryStore> CreateOptionsStore() { return std::make_unique<TFileOptionsStore>(); }
std::unique_ptr<IInstanceGuard> CreateInstanceGuard() { return std::make_unique<TFlockGuard>(); }
std::unique_ptr<ISaverSystem> CreateSaverSystem() { return std::make_unique<TX11SaverSystem>(); }
std::unique_ptr<IProcessLauncher> CreateProcessLauncher() { return CreatePosixProcessLauncher(); }
std::unique_ptr<IDisplayModeDriver> CreateDisplayModeDriver() { return std::make_unique<TXRandrDriver>(); }
std::unique_ptr<ISoundPlayer> CreateSoundPlayer(TResourceLookup lookup) {
    return std::make_unique<TSdlSoundPlayer>(std::move(lookup));
}
// GTK's loop takes over once the settings dialog exists.
std::unique_ptr<IWindowSystem> CreateWindowSystem() {
    return std::make_unique<TGtkWindowSystem>(std::make_unique<TX11WindowSystem>());
}

std::string SceneDescriptionFile(const std::string& installPath, const std::string& exeBaseName) {
    const std::string beside = installPath + exeBaseName + ".ini";
    if (access(beside.c_str(), F_OK) == 0) return beside;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const std::string root = config && *config ? config : std::string(home && *home ? home : "/tmp") + "/.config";
    return root + "/3dtidewell/" + exeBaseName + ".ini";
}
