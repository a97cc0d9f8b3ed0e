#include "model/resource_finder.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/exception.h"
#include "app/utf8_path.h"

namespace {

class TNoResources final : public IResourceFinder {
public:
    bool Find(TResourceKind, std::string_view, TResourceBytes&) override { return false; }
};

IResourceFinder* g_finder = nullptr;

}  // namespace

IResourceFinder& ResourceFinder() {
    static TNoResources none;
    return g_finder ? *g_finder : none;
}

void SetResourceFinder(IResourceFinder* finder) { g_finder = finder; }

TScopedResourceFinder::TScopedResourceFinder(IResourceFinder& finder) : previous_(g_finder) { g_finder = &finder; }

TScopedResourceFinder::~TScopedResourceFinder() { g_finder = previous_; }

std::string ResourceNameFromFileName(std::string_view fileName) {
    // "/" counts too: on Linux the directories in front of a name use it.
    const std::size_t cut = fileName.find_last_of("\\/:");
    std::string name(cut == std::string_view::npos ? fileName : fileName.substr(cut + 1));
    const std::size_t dot = name.find('.');
    if (dot != std::string::npos) name[dot] = '_';
    return name;
}

TResourceBytes FindResourceBytes(TResourceKind kind, std::string_view name) {
    TResourceBytes bytes;
    if (!ResourceFinder().Find(kind, name, bytes)) throw Exception("Resource " + std::string(name) + " not found");
    return bytes;
}

std::string ReadFileBytes(const std::string& path) {
    std::error_code error;
    const std::filesystem::path file = Utf8Path(path);
    std::ifstream in(file, std::ios::binary);
    // A directory opens like a file on Linux and reads as nothing.
    if (!in || std::filesystem::is_directory(file, error)) throw Exception("Cannot open file \"" + path + "\"");
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadNamedText(const std::string& name, bool fromResource) {
    if (!fromResource) return ReadFileBytes(name);
    const TResourceBytes bytes = FindResourceBytes(rkRawData, ResourceNameFromFileName(name));
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}
