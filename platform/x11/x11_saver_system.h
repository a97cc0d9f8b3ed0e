#pragma once
// The saver's system services on Linux/X11. There are no desktop password libraries (locking
// is the screen locker's job), so verification lets the saver close; the "saver running" flags
// have no X counterpart. The cursor count is kept here and the saver window hides the cursor.
#include <string>

#include "app/screen_saver_app.h"

struct _XDisplay;

class TX11SaverSystem final : public ISaverSystem {
public:
    explicit TX11SaverSystem(const std::string& displayName = {});
    ~TX11SaverSystem() override;
    TX11SaverSystem(const TX11SaverSystem&) = delete;
    TX11SaverSystem& operator=(const TX11SaverSystem&) = delete;

    void SetSystemParameter(std::uint32_t, std::uint32_t) override {}
    int ShowCursor(bool show) override { return cursorCount_ += show ? 1 : -1; }
    TWindowHandle ForegroundWindow() override;
    bool WindowSize(TWindowHandle window, int& width, int& height) override;
    std::string SystemDirectory() override { return "/nonexistent"; }
    TLibraryHandle OpenLibrary(const std::string&) override { return 0; }
    void CloseLibrary(TLibraryHandle) override {}
    bool HasProcedure(TLibraryHandle, const std::string&) override { return false; }
    std::int32_t CallPwdChangePassword(TLibraryHandle, const std::string&, TWindowHandle) override { return 0; }
    std::int32_t CallVerifyScreenSavePwd(TLibraryHandle, TWindowHandle) override { return 1; }

    // Below 0 the cursor is hidden.
    int CursorCount() const { return cursorCount_; }

private:
    _XDisplay* display_ = nullptr;
    int cursorCount_ = 0;
};
