#include "platform/posix/gl_driver_pin.h"

#include <dlfcn.h>
#include <link.h>

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> LoadedDriverPaths() {
    std::vector<std::string> paths;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            const std::string_view path = info->dlpi_name ? info->dlpi_name : "";
            if (path.ends_with("_dri.so")) static_cast<std::vector<std::string>*>(data)->emplace_back(path);
            return 0;
        },
        &paths);
    return paths;
}

}  // namespace

int KeepGlDriverLoaded() {
    static std::atomic<bool> done{false};
    if (done) return 0;
    int pinned = 0;
    for (const std::string& path : LoadedDriverPaths()) {
        // RTLD_NOLOAD only finds the mapped library; RTLD_NODELETE then keeps it past every dlclose.
        if (void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE)) {
            dlclose(handle);
            ++pinned;
        }
    }
    if (pinned > 0) done = true;
    return pinned;
}

bool GlDriverMapped() { return !LoadedDriverPaths().empty(); }
