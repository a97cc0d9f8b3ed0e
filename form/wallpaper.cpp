#include "form/wallpaper.h"

std::vector<TTankView> WallpaperViews(const TMonitorArrangement& arrangement, bool placed) {
    if (placed) return arrangement.Views;
    const TMonitor& window = arrangement.Layout.Saver;
    if (arrangement.Views.empty()) {
        const TViewRect whole{window.Left, window.Top, window.Width, window.Height};
        return {{whole, whole, 0}};
    }
    std::vector<TTankView> views = arrangement.Views;
    for (TTankView& view : views) {
        view.Part.Left += window.Left;
        view.Part.Top += window.Top;
        view.Whole.Left += window.Left;
        view.Whole.Top += window.Top;
    }
    return views;
}
