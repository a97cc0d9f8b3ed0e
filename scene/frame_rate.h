#pragma once
// Frames per second over windows of at least one second, the OpenGL driver summary, and the
// texts the scene reports with.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/timing.h"

class TFrameRate {
public:
    explicit TFrameRate(TTimerPro& rateClock) : rateClock_(rateClock) {}

    // End of every frame. Once the window has lasted a second the rate is taken; in the dialog
    // preview (not full screen) showCaption then receives the new caption text.
    void CountFrame(bool fullScreenDrawing, const std::string& exeName,
                    const std::function<void(const std::string&)>& showCaption);
    // At every drawing start.
    void Reset() { frameCounter_ = frameRate_ = 0; }

    std::int32_t FrameCounter() const { return frameCounter_; }
    std::int32_t FrameRate() const { return frameRate_; }

private:
    TTimerPro& rateClock_;
    std::int32_t frameCounter_ = 0;
    std::int32_t frameRate_ = 0;
};

// What the driver of a rendering context says about itself. Strings the driver does not
// return are empty.
struct GLDriverInfo {
    std::string vendor;
    std::string renderer;
    std::string version;
    std::string extensions;
    std::int32_t maxLights = 0;
    std::int32_t maxModelViewStack = 0;
    std::int32_t maxNameStack = 0;
    std::int32_t maxTextureSize = 0;
    std::int32_t maxViewport[2] = {0, 0};
};

// The three-line summary shown by the About box.
std::string GLInfoText(const GLDriverInfo& info);
// The log lines written once per run, from "*** Start OpenGL Info ***" to its end marker.
std::vector<std::string> GLInfoLogLines(const GLDriverInfo& info);
// The stop line: "Full Screen mode: WxHxD  FPS:n".
std::string FullScreenStopLogLine(int width, int height, int colorDepth, std::int32_t frameRate);

extern const char* const kSoftwareRenderingWarning;
