#include "platform/posix/embedded_resources.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <span>
#include <vector>

#include "platform/services.h"

namespace {

char UpperCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperCase(a[i]) != UpperCase(b[i])) return false;
    return true;
}

class EmbeddedResources final : public IResourceFinder {
public:
    void Register(const TEmbeddedResource* table, std::size_t count) { tables_.push_back({table, count}); }

    bool Find(TResourceKind kind, std::string_view name, TResourceBytes& bytes) override {
        for (const auto table : tables_) {
            for (const TEmbeddedResource& resource : table) {
                if (resource.kind != kind || !SameName(resource.name, name)) continue;
                bytes = {reinterpret_cast<const std::uint8_t*>(resource.data), resource.size};
                return true;
            }
        }
        return false;
    }

    // The resources are read-only data of the program file: pages dropped here are read again
    // from it if they are ever touched.
    void ReleaseMemory() override {
        const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        for (const auto table : tables_) {
            for (const TEmbeddedResource& resource : table) {
                const auto begin = (reinterpret_cast<std::uintptr_t>(resource.data) + page - 1) / page * page;
                const auto end = (reinterpret_cast<std::uintptr_t>(resource.data) + resource.size) / page * page;
                if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
            }
        }
    }

private:
    std::vector<std::span<const TEmbeddedResource>> tables_;
};

// Built on first use, so registrations from other files' static initialisers find it.
EmbeddedResources& Instance() {
    static EmbeddedResources resources;
    return resources;
}

}  // namespace

void RegisterEmbeddedResources(const TEmbeddedResource* table, std::size_t count) { Instance().Register(table, count); }

IResourceFinder& ProgramResources() { return Instance(); }
