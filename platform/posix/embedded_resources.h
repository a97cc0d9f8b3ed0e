#pragma once
// The program's resources on Linux: files compiled into the binary at build time. Each program
// links a generated table (cmake/resources.cmake) that registers itself before main.
#include <cstddef>

#include "model/resource_finder.h"

struct TEmbeddedResource {
    TResourceKind kind;
    const char* name;  // upper case, as the Windows resource compiler stores it
    const char* data;
    std::size_t size;
};

void RegisterEmbeddedResources(const TEmbeddedResource* table, std::size_t count);

struct TEmbeddedResourceRegistration {
    TEmbeddedResourceRegistration(const TEmbeddedResource* table, std::size_t count) {
        RegisterEmbeddedResources(table, count);
    }
};
