#include "form/saver_input.h"

#include <cstdio>
#include <cstdlib>

bool TMoveFilter::Move(int x, int y) {
    if (skipCount_ > 0) {
        --skipCount_;
        return false;
    }
    if (!HasReference()) {
        refX_ = x;
        refY_ = y;
        return false;
    }
    if (std::abs(x - refX_) > 2 && std::abs(y - refY_) > 2) {
        refX_ = x;
        refY_ = y;
        return true;
    }
    return false;
}

std::string FullScreenLogLine(int width, int height, int depth, int fps) {
    char text[96];
    std::snprintf(text, sizeof text, "Full Screen mode: %dX%dX%d  FPS:%d", width, height, depth, fps);
    return text;
}

bool TSaverInput::RequestStop() {
    filter_.Reset();
    const TRunNeeds& needs = app_.Needs();
    if (needs.AsksPassword && !app_.VerifyPassword()) return false;
    if (actions_.StopSound) actions_.StopSound();
    if (actions_.CloseSaverWindow) actions_.CloseSaverWindow();
    if (actions_.StopLogLine) app_.WriteLog(actions_.StopLogLine());
    // Otherwise the saver window was the dialog's "Preview...": the dialog goes on.
    if (needs.EndsOnInput && actions_.CloseForm) actions_.CloseForm();
    return true;
}

void TSaverInput::Quit() {
    if (actions_.StopSound) actions_.StopSound();
    if (actions_.CloseSaverWindow) actions_.CloseSaverWindow();
    if (actions_.StopLogLine) app_.WriteLog(actions_.StopLogLine());
    if (actions_.CloseForm) actions_.CloseForm();
}
