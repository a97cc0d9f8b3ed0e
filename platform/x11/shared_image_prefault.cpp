#include "platform/x11/shared_image_prefault.h"

#include <sys/mman.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

int PopulateSharedImages() {
    std::ifstream maps("/proc/self/maps");
    int populated = 0;
    std::string line;
    while (std::getline(maps, line)) {
        // "start-end perms offset dev inode path"; shmat's mappings are named /SYSV<key>.
        unsigned long start = 0, end = 0;
        char perms[5] = {};
        if (std::sscanf(line.c_str(), "%lx-%lx %4s", &start, &end, perms) != 3) continue;
        if (std::strcmp(perms, "rw-s") != 0 || line.find(" /SYSV") == std::string::npos || end <= start) continue;
        if (madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE) == 0) ++populated;
    }
    return populated;
}
