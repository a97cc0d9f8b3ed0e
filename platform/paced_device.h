#pragma once
// A device that forwards to the platform's own and runs a hook the first time each of its
// contexts is made current: where the swap interval is requested, since that needs a current
// context.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gl/gl_device.h"

class TPacedDevice final : public IGLDevice {
public:
    TPacedDevice(std::unique_ptr<IGLDevice> inner, std::function<void()> onFirstCurrent)
        : inner_(std::move(inner)), onFirstCurrent_(std::move(onFirstCurrent)) {}

    IGLDevice& Inner() { return *inner_; }

    std::uint32_t ObjectType() override { return inner_->ObjectType(); }
    int ChoosePixelFormat(const TPixelFormatDescriptor& request) override { return inner_->ChoosePixelFormat(request); }
    bool SetPixelFormat(int format, const TPixelFormatDescriptor& request) override {
        return inner_->SetPixelFormat(format, request);
    }
    bool DescribePixelFormat(int format, TPixelFormatDescriptor& described) override {
        return inner_->DescribePixelFormat(format, described);
    }
    std::unique_ptr<IGLPalette> CreatePalette(const std::vector<TPaletteEntry>& entries) override {
        return inner_->CreatePalette(entries);
    }
    void SelectPalette(IGLPalette& palette) override { inner_->SelectPalette(palette); }
    std::unique_ptr<IGLRenderContext> CreateContext() override {
        auto context = inner_->CreateContext();
        if (!context) return nullptr;
        return std::make_unique<Context>(*this, std::move(context));
    }
    bool SwapBuffers() override { return inner_->SwapBuffers(); }

private:
    class Context final : public IGLRenderContext {
    public:
        Context(TPacedDevice& owner, std::unique_ptr<IGLRenderContext> inner) : owner_(owner), inner_(std::move(inner)) {}
        bool MakeCurrent(IGLDevice& device) override {
            // The platform's context only knows the platform's device.
            IGLDevice& target = &device == &owner_ ? *owner_.inner_ : device;
            const bool ok = inner_->MakeCurrent(target);
            if (ok && !paced_) {
                paced_ = true;
                if (owner_.onFirstCurrent_) owner_.onFirstCurrent_();
            }
            return ok;
        }
        bool ReleaseCurrent() override { return inner_->ReleaseCurrent(); }
        std::string LastErrorText() override { return inner_->LastErrorText(); }

    private:
        TPacedDevice& owner_;
        std::unique_ptr<IGLRenderContext> inner_;
        bool paced_ = false;
    };

    std::unique_ptr<IGLDevice> inner_;
    std::function<void()> onFirstCurrent_;
};

// Whether a space-separated extension list names an extension.
inline bool HasExtension(const char* list, const std::string& name) {
    if (!list || name.empty()) return false;
    const std::string text = std::string(" ") + list + " ";
    return text.find(" " + name + " ") != std::string::npos;
}
