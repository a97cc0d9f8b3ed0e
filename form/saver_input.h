#pragma once
// What ends a running saver: any button, any key, or a clear mouse move, after the password
// check. The settings form owns one TSaverInput per run and routes the saver window's input here.
#include <functional>
#include <string>

#include "app/screen_saver_app.h"

// Ignores the first moves after a start (the window appearing under the mouse sends some) and
// stops only on a move of more than 2 pixels on both axes from the reference point.
class TMoveFilter {
public:
    static constexpr int kSkipMoves = 5;

    void Reset() {
        skipCount_ = kSkipMoves;
        refX_ = refY_ = -1;
    }
    // True when this move asks the saver to stop.
    bool Move(int x, int y);

    int SkipCount() const { return skipCount_; }
    bool HasReference() const { return refX_ != -1 || refY_ != -1; }

private:
    int skipCount_ = kSkipMoves;
    int refX_ = -1;
    int refY_ = -1;
};

// "Full Screen mode: %dX%dX%d  FPS:%d"
std::string FullScreenLogLine(int width, int height, int depth, int fps);

// The steps of a stop request that belong to the form and the scene.
struct TStopActions {
    std::function<void()> StopSound;
    std::function<void()> CloseSaverWindow;
    // The log line with the mode in use and the last frame rate.
    std::function<std::string()> StopLogLine;
    std::function<void()> CloseForm;
};

class TSaverInput {
public:
    TSaverInput(TScreenSaverApp& app, TStopActions actions) : app_(app), actions_(std::move(actions)) {}

    // After the saver window opens.
    void Start() { filter_.Reset(); }
    void MouseButton() { RequestStop(); }
    void Key() { RequestStop(); }
    void MouseMove(int x, int y) {
        if (filter_.Move(x, y)) RequestStop();
    }
    // Returns true when the saver stopped; false when the password was rejected.
    bool RequestStop();
    // A quit signal: the session ends the saver (or xscreensaver its hack), so no password is
    // asked, and the form closes in every mode.
    void Quit();

    const TMoveFilter& Filter() const { return filter_; }

private:
    TScreenSaverApp& app_;
    TStopActions actions_;
    TMoveFilter filter_;
};
