// The Linux implementations behind platform/services.h.
#include "platform/posix/file_options_store.h"
#include "platform/posix/flock_guard.h"
#include "platform/posix/posix_host.h"
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
std::unique_ptr<IWindowSystem> CreateWindowSystem() { return std::make_unique<TX11WindowSystem>(); }
