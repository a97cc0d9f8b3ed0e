#include "platform/x11/shared_image_prefault.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

int PopulateSharedImages() {
    std::ifstream maps("/proc/self/maps");
    int populated = 0;
    std::string line;
    while (std::getline(maps, line)) {
        // "start-end perms offset dev inode path"; shmat's mappings are named /SYSV<key>.
        std::istringstream fields(line);
        std::string range, perms, offset, device, inode, path;
        if (!(fields >> range >> perms >> offset >> device >> inode >> path)) continue;
        if (perms != "rw-s" || path.rfind("/SYSV", 0) != 0) continue;
        const std::size_t dash = range.find('-');
        if (dash == std::string::npos) continue;
        const auto start = static_cast<std::uintptr_t>(std::strtoull(range.c_str(), nullptr, 16));
        const auto end = static_cast<std::uintptr_t>(std::strtoull(range.c_str() + dash + 1, nullptr, 16));
        if (end <= start) continue;
        if (madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE) == 0) ++populated;
    }
    return populated;
}
