// Profile files on Windows: the system's own profile functions.
#include <windows.h>

#include <vector>

#include "platform/services.h"
#include "platform/win32/wide_text.h"

namespace {

class WindowsProfile final : public IProfileReader {
public:
    explicit WindowsProfile(const std::string& path) : path_(WideText(path)) {}

    std::optional<std::string> Read(const std::string& section, const std::string& key) override {
        // A default no file can contain tells a missing entry from an empty one.
        static const wchar_t kMissing[] = L"\x01\x02missing\x02\x01";
        std::vector<wchar_t> buffer(32768);
        GetPrivateProfileStringW(WideText(section).c_str(), WideText(key).c_str(), kMissing, buffer.data(),
                                 static_cast<DWORD>(buffer.size()), path_.c_str());
        const std::wstring value(buffer.data());
        if (value == kMissing) return std::nullopt;
        return Utf8Text(value);
    }

private:
    std::wstring path_;
};

}  // namespace

std::unique_ptr<IProfileReader> OpenProfileFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(WideText(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return nullptr;
    return std::make_unique<WindowsProfile>(path);
}
