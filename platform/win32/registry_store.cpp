#include "platform/win32/registry_store.h"

#include <windows.h>

#include <vector>

#include "app/exception.h"

namespace {

class WinKey final : public IRegistryKey {
public:
    explicit WinKey(HKEY key) : key_(key) {}
    ~WinKey() override { RegCloseKey(key_); }

    std::optional<TRegValue> Read(const std::string& name) override {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
        std::vector<BYTE> data(size + 1, 0);
        if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return std::nullopt;
        if (type == REG_DWORD && size == sizeof(DWORD)) {
            DWORD value = 0;
            memcpy(&value, data.data(), sizeof value);
            return TRegValue::Int(static_cast<std::int32_t>(value));
        }
        std::string text(reinterpret_cast<const char*>(data.data()), size);
        if ((type == REG_SZ || type == REG_EXPAND_SZ) && !text.empty() && text.back() == '\0') text.pop_back();
        // Anything but a DWORD reads as text, so reading it as an integer is a data-type error.
        return TRegValue::Str(text);
    }

    void Write(const std::string& name, const TRegValue& value) override {
        LONG result;
        if (value.kind == TRegValue::Kind::Integer) {
            const DWORD data = static_cast<DWORD>(value.integer);
            result = RegSetValueExA(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
        } else {
            result = RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                                    static_cast<DWORD>(value.text.size() + 1));
        }
        if (result != ERROR_SUCCESS) throw Exception("Failed to set data for '" + name + "'");
    }

private:
    HKEY key_;
};

}  // namespace

std::unique_ptr<IRegistryKey> TWinRegistryStore::OpenKey(TRootKey root, const std::string& path, bool writable) {
    const HKEY rootKey = root == TRootKey::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    HKEY key = nullptr;
    LONG result;
    if (writable)
        result = RegCreateKeyExA(rootKey, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    else
        result = RegOpenKeyExA(rootKey, path.c_str(), 0, KEY_READ, &key);
    if (result != ERROR_SUCCESS) return nullptr;
    return std::make_unique<WinKey>(key);
}
