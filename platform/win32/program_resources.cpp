// The program's resources on Windows: the resources of its own module, compiled in from the
// generated .rc file (cmake/resources.cmake). FindResourceW ignores letter case in names.
#include <windows.h>

#include <string>

#include "platform/services.h"
#include "platform/win32/wide_text.h"

namespace {

class ModuleResources final : public IResourceFinder {
public:
    bool Find(TResourceKind kind, std::string_view name, TResourceBytes& bytes) override {
        // A name starting with "#" would be read as a resource number.
        if (name.empty() || name.front() == '#' || name.find('\0') != std::string_view::npos) return false;
        const std::string text(name);
        LPCWSTR type = kind == rkRawData ? MAKEINTRESOURCEW(10) : kind == rkBitmap ? MAKEINTRESOURCEW(2) : L"WAVE";
        HRSRC found = FindResourceW(nullptr, WideText(text).c_str(), type);
        if (!found) return false;
        HGLOBAL loaded = LoadResource(nullptr, found);
        const void* data = loaded ? LockResource(loaded) : nullptr;
        if (!data) return false;
        bytes = {static_cast<const std::uint8_t*>(data), SizeofResource(nullptr, found)};
        return true;
    }
};

}  // namespace

IResourceFinder& ProgramResources() {
    static ModuleResources resources;
    return resources;
}
