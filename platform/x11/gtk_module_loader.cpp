#include "platform/x11/gtk_module_loader.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

struct TLoadState {
    bool tried = false;
    IGtkModule* module = nullptr;
    std::string error;
};

TLoadState& State() {
    static TLoadState state;
    return state;
}

std::vector<std::string> Candidates() {
    std::vector<std::string> paths;
    std::error_code error;
    // The real file: a link to the program (xscreensaver's hack folder) counts where it points.
    const auto exe = std::filesystem::canonical("/proc/self/exe", error);
    if (!error) {
        const auto dir = exe.parent_path();
        paths.push_back((dir / kGtkModuleFile).string());
        paths.push_back((dir / TIDEWELL_GTK_MODULE_FROM_BINDIR / kGtkModuleFile).lexically_normal().string());
    }
    paths.emplace_back(TIDEWELL_GTK_MODULE_INSTALLED);
    return paths;
}

}  // namespace

IGtkModule* LoadGtkModule(std::string* error) {
    TLoadState& state = State();
    if (!state.tried) {
        state.tried = true;
        std::string reasons;
        std::vector<std::string> seen;
        for (const auto& path : Candidates()) {
            if (std::find(seen.begin(), seen.end(), path) != seen.end()) continue;
            seen.push_back(path);
            // Kept for the life of the process: GTK cannot be unloaded.
            void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!handle) {
                const char* why = dlerror();
                reasons += (reasons.empty() ? "" : "; ") + (why ? std::string(why) : path + ": cannot be loaded");
                continue;
            }
            auto entry = reinterpret_cast<TGtkModuleEntry>(dlsym(handle, kGtkModuleEntry));
            IGtkModule* module = entry ? entry(kGtkModuleVersion) : nullptr;
            if (module) {
                state.module = module;
                break;
            }
            reasons += (reasons.empty() ? "" : "; ") + path + ": " +
                       (entry ? "from another build of the program" : std::string("no entry point ") + kGtkModuleEntry);
            dlclose(handle);
        }
        if (!state.module) state.error = "Cannot load the GTK module " + std::string(kGtkModuleFile) + " (" + reasons + ").";
    }
    if (!state.module && error) *error = state.error;
    return state.module;
}

IGtkModule* LoadedGtkModule() { return State().module; }
