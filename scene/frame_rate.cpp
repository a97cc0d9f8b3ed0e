#include "scene/frame_rate.h"

const char* const kSoftwareRenderingWarning =
    "In this screen mode, hardware acceleration was not detected! The screen saver runs in Software mode with "
    "lower performance and quality!\r\nClick on Help button in the settings of screen saver to resolve this "
    "problem.";

void TFrameRate::CountFrame(bool fullScreenDrawing, const std::string& exeName,
                            const std::function<void(const std::string&)>& showCaption) {
    ++frameCounter_;
    if (rateClock_.Elapsed().AsSeconds() < 1.0L) return;
    frameRate_ = frameCounter_;
    if (!fullScreenDrawing && showCaption) showCaption(exeName + " FPS: " + std::to_string(frameRate_));
    rateClock_.Stop();
    rateClock_.Start();
    frameCounter_ = 0;
}

std::string GLInfoText(const GLDriverInfo& info) {
    return "Vendor:  " + info.vendor + "\r\nVideo:  " + info.renderer + "\r\nOpenGL:  " + info.version;
}

std::vector<std::string> GLInfoLogLines(const GLDriverInfo& info) {
    std::vector<std::string> lines = {
        "*** Start OpenGL Info ***",
        "OpenGL Version: " + info.version,
        "Vendor: " + info.vendor,
        "Video Card: " + info.renderer,
        "*** Start OpenGL Extensions ***",
    };
    std::string word;
    for (char c : info.extensions + ' ') {
        if (c == ' ' || c == ',') {
            if (!word.empty()) lines.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    lines.push_back("*** End OpenGL Extensions ***");
    lines.push_back("MaxLights: " + std::to_string(info.maxLights));
    lines.push_back("MaxModelViewStack: " + std::to_string(info.maxModelViewStack));
    lines.push_back("MaxNameStack: " + std::to_string(info.maxNameStack));
    lines.push_back("MaxTextureSize: " + std::to_string(info.maxTextureSize));
    lines.push_back("MaxViewportSize: " + std::to_string(info.maxViewport[0]) + " " + std::to_string(info.maxViewport[1]));
    lines.push_back("*** End OpenGL Info ***");
    return lines;
}

std::string FullScreenStopLogLine(int width, int height, int colorDepth, std::int32_t frameRate) {
    return "Full Screen mode: " + std::to_string(width) + "X" + std::to_string(height) + "X" +
           std::to_string(colorDepth) + "  FPS:" + std::to_string(frameRate);
}
