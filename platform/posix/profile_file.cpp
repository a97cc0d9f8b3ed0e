// Profile files on Linux: our own reader, which follows the Windows profile functions' rules.
#include <fstream>
#include <sstream>

#include "platform/services.h"

std::unique_ptr<IProfileReader> OpenProfileFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return nullptr;
    std::ostringstream text;
    text << file.rdbuf();
    return std::make_unique<TProfileText>(text.str());
}
