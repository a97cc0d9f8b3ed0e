// Profile files on Windows: the system's own profile functions.
#include <windows.h>

#include <vector>

#include "platform/services.h"

namespace {

class WindowsProfile final : public IProfileReader {
public:
    explicit WindowsProfile(std::string path) : path_(std::move(path)) {}

    std::optional<std::string> Read(const std::string& section, const std::string& key) override {
        // A default no file can contain tells a missing entry from an empty one.
        static const char kMissing[] = "\x01\x02missing\x02\x01";
        std::vector<char> buffer(32768);
        GetPrivateProfileStringA(section.c_str(), key.c_str(), kMissing, buffer.data(),
                                 static_cast<DWORD>(buffer.size()), path_.c_str());
        std::string value(buffer.data());
        if (value == kMissing) return std::nullopt;
        return value;
    }

private:
    std::string path_;
};

}  // namespace

std::unique_ptr<IProfileReader> OpenProfileFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return nullptr;
    return std::make_unique<WindowsProfile>(path);
}
