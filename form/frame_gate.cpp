#include "form/frame_gate.h"

#include <algorithm>

bool TFrameGate::Open(ISaverWindow& window) {
    // The display is asked last: where it is polled, a hidden window needs no answer.
    const bool seen = window.Visible() && !window.Unseen() && !windows_.DisplayAsleep();
    if (seen == paused_) {
        paused_ = !seen;
        if (paused_)
            aquarium_.PauseDrawing();
        else
            aquarium_.ResumeDrawing();
    }
    return seen;
}

bool WhollyCovered(const TScreenRect& area, const std::vector<TScreenRect>& covers) {
    // What each cover leaves of the pieces still seen, as up to four pieces around it.
    std::vector<TScreenRect> seen, left;
    if (!area.Empty()) seen.push_back(area);
    for (const TScreenRect& cover : covers) {
        if (seen.empty()) break;
        if (cover.Empty()) continue;
        left.clear();
        for (const TScreenRect& piece : seen) {
            if (cover.Left >= piece.Right || cover.Right <= piece.Left || cover.Top >= piece.Bottom ||
                cover.Bottom <= piece.Top) {
                left.push_back(piece);
                continue;
            }
            const int top = std::max(piece.Top, cover.Top), bottom = std::min(piece.Bottom, cover.Bottom);
            if (piece.Top < top) left.push_back({piece.Left, piece.Top, piece.Right, top});
            if (bottom < piece.Bottom) left.push_back({piece.Left, bottom, piece.Right, piece.Bottom});
            if (piece.Left < cover.Left) left.push_back({piece.Left, top, cover.Left, bottom});
            if (cover.Right < piece.Right) left.push_back({cover.Right, top, piece.Right, bottom});
        }
        seen.swap(left);
    }
    return seen.empty();
}
