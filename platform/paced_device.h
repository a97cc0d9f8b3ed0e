#pragma once
// A device that forwards to the platform's own and runs a hook the first time each of its
// contexts is made current: where the swap interval is requested, since that needs a current
// context. Where the driver has no swap control (Xvfb, some software rasterisers) a timer at the
// display's refresh rate paces the swaps instead, so frames nobody can see are not drawn.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gl/gl_device.h"

// True when TIDEWELL_UNPACED=1 asks for buffer swaps that do not wait for the display.
bool SwapPacingDisabled();

// Waits so that calls to Wait come at most `rate` times a second. A late frame is not made up
// for with a burst of quick ones.
class TFrameTimer {
public:
    using Clock = std::chrono::steady_clock;
    std::function<Clock::time_point()> Now = [] { return Clock::now(); };
    std::function<void(Clock::time_point)> SleepUntil = [](Clock::time_point until) {
        std::this_thread::sleep_until(until);
    };

    // 0 (or less) turns the timer off.
    void SetRate(double rate) {
        period_ = rate > 0 ? std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / rate))
                           : Clock::duration::zero();
    }
    bool On() const { return period_ > Clock::duration::zero(); }
    Clock::duration Period() const { return period_; }
    void Wait() {
        if (!On()) return;
        const auto now = Now();
        if (started_ && deadline_ > now) {
            SleepUntil(deadline_);
            deadline_ += period_;
        } else {
            deadline_ = now + period_;
        }
        started_ = true;
    }

private:
    Clock::duration period_ = Clock::duration::zero();
    Clock::time_point deadline_{};
    bool started_ = false;
};

class TPacedDevice final : public IGLDevice {
public:
    TPacedDevice(std::unique_ptr<IGLDevice> inner, std::function<void()> onFirstCurrent)
        : inner_(std::move(inner)) {
        onFirstCurrent_ = [this, hook = std::move(onFirstCurrent)] {
            if (hook) hook();
            PaceKnown(true);
        };
    }
    // swapsPaced returns whether the driver now paces the swaps; when it does not, the
    // swaps follow a timer at fallbackRate a second (0: they do not wait at all).
    TPacedDevice(std::unique_ptr<IGLDevice> inner, std::function<bool()> swapsPaced, double fallbackRate)
        : inner_(std::move(inner)), fallbackRate_(fallbackRate) {
        onFirstCurrent_ = [this, paced = std::move(swapsPaced)] { PaceKnown(paced()); };
    }

    TPacedDevice(const TPacedDevice&) = delete;
    TPacedDevice& operator=(const TPacedDevice&) = delete;

    IGLDevice& Inner() { return *inner_; }
    TFrameTimer Timer;

    // At most rate swaps a second whatever the driver's pacing (an xscreensaver hack's -delay);
    // the lower of this and the fallback timer's rate counts. 0 takes the limit away.
    void LimitRate(double rate) {
        limit_ = rate > 0 ? rate : 0;
        if (paceKnown_) UpdateTimer();
    }

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
    TGLLibrary Library() override { return inner_->Library(); }
    bool SwapBuffers() override {
        Timer.Wait();
        return inner_->SwapBuffers();
    }

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

    void PaceKnown(bool driverPaces) {
        driverPaces_ = driverPaces;
        paceKnown_ = true;
        UpdateTimer();
    }
    void UpdateTimer() {
        double rate = driverPaces_ ? 0 : fallbackRate_;
        if (limit_ > 0 && (rate <= 0 || limit_ < rate)) rate = limit_;
        Timer.SetRate(rate);
    }

    std::unique_ptr<IGLDevice> inner_;
    std::function<void()> onFirstCurrent_;
    double fallbackRate_ = 0;
    double limit_ = 0;
    bool driverPaces_ = true;
    bool paceKnown_ = false;
};

// Whether a space-separated extension list names an extension.
inline bool HasExtension(const char* list, const std::string& name) {
    if (!list || name.empty()) return false;
    const std::string text = std::string(" ") + list + " ";
    return text.find(" " + name + " ") != std::string::npos;
}
