#pragma once
// The fish and the bubbles read the size of the current drawing window at every start. The
// scene answers for whichever window it draws into; tests and benchmarks use a fixed size.
#include <algorithm>
#include <cstdint>

class TDrawingWindowSize {
public:
    virtual ~TDrawingWindowSize() = default;
    // Client size in pixels (the drawing window is borderless).
    virtual std::int32_t ClientWidth() const = 0;
    virtual std::int32_t ClientHeight() const = 0;
};

class TFixedWindowSize final : public TDrawingWindowSize {
public:
    TFixedWindowSize(std::int32_t width, std::int32_t height) : Width(width), Height(height) {}
    std::int32_t ClientWidth() const override { return Width; }
    std::int32_t ClientHeight() const override { return Height; }
    std::int32_t Width;
    std::int32_t Height;
};

// The width over height used to place particles. A window that is momentarily zero-sized (or
// reports nonsense) counts as 0 wide and 1 high, so nothing divides by zero.
struct TViewShape {
    double Width;
    double Height;
};

inline TViewShape ViewShapeOf(const TDrawingWindowSize& window) {
    return {static_cast<double>(std::max<std::int32_t>(window.ClientWidth(), 0)),
            static_cast<double>(std::max<std::int32_t>(window.ClientHeight(), 1))};
}
