#pragma once
// Named resources built into the program (models, frame lists, pictures, the sound) and the
// text sources of the model readers.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

enum TResourceKind {
    rkRawData,  // Win32 RT_RCDATA: models, frame lists, JPEG pictures
    rkBitmap,   // Win32 RT_BITMAP: a packed bitmap without its 14-byte file header
    rkWave,     // the resource type "WAVE"
};

using TResourceBytes = std::span<const std::uint8_t>;

class IResourceFinder {
public:
    virtual ~IResourceFinder() = default;
    // The bytes of the resource of that kind and name, letter case ignored; false when there
    // is none. The bytes stay valid as long as the finder lives.
    virtual bool Find(TResourceKind kind, std::string_view name, TResourceBytes& bytes) = 0;
    // Nothing will be read from the resources for a long while: the system may take their pages
    // out of the process's memory. They stay valid; a later read brings them back from the
    // program file.
    virtual void ReleaseMemory() {}
};

// The finder model import reads from: the one set last (the program sets its own resources at
// start, tests their fakes); until then, or when none is set, nothing is found.
IResourceFinder& ResourceFinder();
void SetResourceFinder(IResourceFinder* finder);

// Sets a finder for the lifetime of the object, then restores the previous one.
class TScopedResourceFinder {
public:
    explicit TScopedResourceFinder(IResourceFinder& finder);
    ~TScopedResourceFinder();
    TScopedResourceFinder(const TScopedResourceFinder&) = delete;
    TScopedResourceFinder& operator=(const TScopedResourceFinder&) = delete;

private:
    IResourceFinder* previous_;
};

// The file-name part of a name (after the last backslash, slash or drive colon) with its
// first "." turned into "_": "C:\art\dnoK00f.3dm" gives "dnoK00f_3dm".
std::string ResourceNameFromFileName(std::string_view fileName);

// The resource's bytes; raises "Resource NAME not found" when there is none.
TResourceBytes FindResourceBytes(TResourceKind kind, std::string_view name);

// A whole file; raises "Cannot open file "name"" when it cannot be read.
std::string ReadFileBytes(const std::string& path);

// A text by name: the raw-data resource ResourceNameFromFileName(name) when fromResource is
// true, else the file of that path.
std::string ReadNamedText(const std::string& name, bool fromResource);
