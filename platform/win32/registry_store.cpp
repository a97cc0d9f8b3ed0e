#include "platform/win32/registry_store.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "app/exception.h"
#include "platform/win32/wide_text.h"

namespace {

class WinKey final : public IRegistryKey {
public:
    explicit WinKey(HKEY key) : key_(key) {}
    ~WinKey() override { RegCloseKey(key_); }

    std::optional<TRegValue> Read(const std::string& name) override {
        const std::wstring wideName = WideText(name);
        DWORD type = 0, size = 0;
        if (RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
        std::vector<BYTE> data(size + sizeof(wchar_t), 0);
        if (RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return std::nullopt;
        if (type == REG_DWORD && size == sizeof(DWORD)) {
            DWORD value = 0;
            std::memcpy(&value, data.data(), sizeof value);
            return TRegValue::Int(static_cast<std::int32_t>(value));
        }
        // Anything but a DWORD reads as text, so reading it as an integer is a data-type error.
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            return TRegValue::Str(std::string(reinterpret_cast<const char*>(data.data()), size));
        std::wstring text(size / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
        // Stored with its terminator, or without one by a careless writer.
        if (const std::size_t end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
        return TRegValue::Str(Utf8Text(text));
    }

    void Write(const std::string& name, const TRegValue& value) override {
        const std::wstring wideName = WideText(name);
        LONG result;
        if (value.kind == TRegValue::Kind::Integer) {
            const DWORD data = static_cast<DWORD>(value.integer);
            result = RegSetValueExW(key_, wideName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
        } else {
            const std::wstring text = WideText(value.text);
            result = RegSetValueExW(key_, wideName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        }
        if (result != ERROR_SUCCESS) throw Exception("Failed to set data for '" + name + "'");
    }

private:
    HKEY key_;
};

}  // namespace

std::unique_ptr<IRegistryKey> TWinRegistryStore::OpenKey(TRootKey root, const std::string& path, bool writable) {
    const HKEY rootKey = root == TRootKey::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    const std::wstring widePath = WideText(path);
    HKEY key = nullptr;
    LONG result;
    if (writable)
        result = RegCreateKeyExW(rootKey, widePath.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    else
        result = RegOpenKeyExW(rootKey, widePath.c_str(), 0, KEY_READ, &key);
    if (result != ERROR_SUCCESS) return nullptr;
    return std::make_unique<WinKey>(key);
}
