// libFuzzer target: the stored options file on Linux. Whatever the file holds is either
// refused with a clear error or read; what was read is written back and read again unchanged.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "app/exception.h"
#include "app/registry.h"
#include "platform/posix/file_options_store.h"

namespace {

const std::string& Root() {
    static const std::string root = [] {
        char pattern[] = "/tmp/tidewell-fuzz-options.XXXXXX";
        const char* dir = mkdtemp(pattern);
        if (!dir) std::abort();
        return std::string(dir);
    }();
    return root;
}

const char* const kNames[] = {"BubblesCount", "FishCount", "Theme", "ColorDepth", "ScreenWidth",
                              "ScreenHeight", "SoundEnabled", "DesktopOnly", "RunAsExe", "Path"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFileOptionsStore store(Root() + "/user", Root() + "/machine");
    const std::string keyPath = "Software\\Korvane Software\\3D Tidewell";
    const std::string file = store.KeyFile(TRootKey::CurrentUser, keyPath);
    std::string dir = file.substr(0, file.rfind('/'));
    (void)std::system(("mkdir -p '" + dir + "'").c_str());
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                   static_cast<std::streamsize>(size));
    // Everything is read first; a refusal must leave the user's file exactly as it was.
    std::vector<std::pair<const char*, TRegValue>> read;
    try {
        auto key = store.OpenKey(TRootKey::CurrentUser, keyPath, false);
        for (const char* name : kNames)
            if (auto value = key ? key->Read(name) : std::nullopt) read.emplace_back(name, *value);
    } catch (const Exception&) {
        std::ifstream in(file, std::ios::binary);
        const std::string kept{std::istreambuf_iterator<char>(in), {}};
        if (kept != std::string(reinterpret_cast<const char*>(data), size)) __builtin_trap();
        return 0;
    }
    // What was read is written back and reads back unchanged.
    for (const auto& [name, value] : read) {
        store.OpenKey(TRootKey::CurrentUser, keyPath, true)->Write(name, value);
        const auto back = store.OpenKey(TRootKey::CurrentUser, keyPath, false)->Read(name);
        if (!back || back->kind != value.kind || back->integer != value.integer || back->text != value.text)
            __builtin_trap();
    }
    return 0;
}
