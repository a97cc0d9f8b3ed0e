#pragma once
// A scripted device and library loader: the engine's context creation and loading without a
// real driver. Each records what the engine asked for.
#include <memory>
#include <string>
#include <vector>

#include "gl/gl_device.h"
#include "gl/gl_loader.h"

class FakeLibraryLoader final : public ILibraryLoader {
public:
    std::vector<std::string> missing;  // names that fail to open
    std::vector<std::string> opened;
    std::vector<std::string> open;  // currently open
    std::vector<std::string> closed;

    void* Open(const std::string& name) override {
        for (const auto& m : missing)
            if (m == name) return nullptr;
        opened.push_back(name);
        open.push_back(name);
        return new std::string(name);
    }
    void* Find(void*, const char*) override { return nullptr; }
    void* FindExtension(const char*) override { return nullptr; }
    void Close(void* library) override {
        auto* name = static_cast<std::string*>(library);
        closed.push_back(*name);
        std::erase(open, *name);
        delete name;
    }
};

class FakeGLDevice final : public IGLDevice {
public:
    struct Palette final : IGLPalette {
        std::vector<TPaletteEntry> entries;
        int* deleted;
        ~Palette() override { ++*deleted; }
    };
    struct Context final : IGLRenderContext {
        FakeGLDevice* owner;
        explicit Context(FakeGLDevice* o) : owner(o) {}
        ~Context() override { ++owner->contextsDeleted; }
        bool MakeCurrent(IGLDevice&) override {
            ++owner->makeCurrentCalls;
            return true;
        }
        bool ReleaseCurrent() override {
            ++owner->releaseCalls;
            return owner->releaseSucceeds;
        }
        std::string LastErrorText() override { return "The handle is invalid."; }
    };

    std::uint32_t objectType = kObjDC;
    int chooseResult = 7;
    bool setSucceeds = true;
    TPixelFormatDescriptor described{};  // what DescribePixelFormat reports
    bool paletteSucceeds = true;
    bool contextSucceeds = true;
    bool releaseSucceeds = true;

    TPixelFormatDescriptor requested{};
    int setFormat = 0;
    int swaps = 0;
    int makeCurrentCalls = 0;
    int releaseCalls = 0;
    int contextsDeleted = 0;
    int palettesDeleted = 0;
    Palette* selected = nullptr;

    std::uint32_t ObjectType() override { return objectType; }
    int ChoosePixelFormat(const TPixelFormatDescriptor& request) override {
        requested = request;
        return chooseResult;
    }
    bool SetPixelFormat(int format, const TPixelFormatDescriptor&) override {
        setFormat = format;
        return setSucceeds;
    }
    bool DescribePixelFormat(int, TPixelFormatDescriptor& d) override {
        d = described;
        return true;
    }
    std::unique_ptr<IGLPalette> CreatePalette(const std::vector<TPaletteEntry>& entries) override {
        if (!paletteSucceeds) return nullptr;
        auto palette = std::make_unique<Palette>();
        palette->entries = entries;
        palette->deleted = &palettesDeleted;
        return palette;
    }
    void SelectPalette(IGLPalette& palette) override { selected = static_cast<Palette*>(&palette); }
    std::unique_ptr<IGLRenderContext> CreateContext() override {
        if (!contextSucceeds) return nullptr;
        return std::make_unique<Context>(this);
    }
    TGLLibrary Library() override { return {nullptr, "fake-gl", "fake-glu"}; }
    bool SwapBuffers() override {
        ++swaps;
        return true;
    }
};
