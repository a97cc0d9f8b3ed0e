// The settings dialog and the About box under Wine, driven with the messages a user's input makes.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/exception.h"
#include "form/dialog_layout.h"
#include "platform/win32/settings_view.h"
#include "platform/win32/win32_window_system.h"

namespace {

using C = TDialogControl;

struct FakeEvents final : ISettingsViewEvents {
    std::vector<C> changed;
    int closes = 0;
    bool fail = false;
    void ControlChanged(C control) override {
        if (fail) throw Exception("handler failed");
        changed.push_back(control);
    }
    void CloseRequested() override { ++closes; }
};

// Pumps until nothing is queued (a few empty turns, for the messages a handler posts).
void Drain(TWin32WindowSystem& system) {
    for (int idle = 0; idle < 5;)
        if (system.ProcessOne())
            idle = 0;
        else {
            ++idle;
            Sleep(5);
        }
}

std::wstring Text(HWND hwnd) {
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    return text;
}

std::wstring Wide(const char* text) { return std::wstring(text, text + std::strlen(text)); }

// Where a control's text goes in its own font, laid out from `within` as DrawText would, and
// that font's metrics.
RECT TextRect(HWND control, RECT within, UINT format, TEXTMETRICW* metrics = nullptr) {
    const HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    DrawTextW(dc, Text(control).c_str(), -1, &within, DT_CALCRECT | format);
    if (metrics) GetTextMetricsW(dc, metrics);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return within;
}

RECT ClientRectOf(HWND hwnd, HWND dialog) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

COLORREF PixelAt(HWND hwnd, int x, int y) {
    UpdateWindow(hwnd);
    const HDC dc = GetDC(hwnd);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return pixel;
}

const COLORREF kBackground = RGB(92, 175, 224);

struct SettingsViewTest : ::testing::Test {
    TWin32WindowSystem system;
    TWin32SettingsView view{system};
    FakeEvents events;

    void SetUp() override {
        view.SetEvents(&events);
        view.SetCaption("3D Tidewell Screen Saver");
        view.SetListItems(C::ComboBoxDepth, {"16 bits", "32 bits"});
        view.SetListItems(C::ComboBoxResolution, {"640x480", "800x600", "1024x768"});
        view.SetListItems(C::ComboBoxThemes, {"Auto", "Blue Water", "Aquamarine Water", "Green Water"});
        view.SetListItems(C::ComboBoxMonitors, {std::begin(kMonitorItems), std::end(kMonitorItems)});
        view.SelectListItem(C::ComboBoxDepth, 1);
        view.SelectListItem(C::ComboBoxResolution, 0);
        view.SelectListItem(C::ComboBoxThemes, 1);
        view.SetPosition(C::TrackBarFishCount, 20);
        view.SetPosition(C::TrackBarBubblesCount, 50);
        view.SetText(C::LabelFishCount, "20");
        view.SetChecked(C::CheckBoxSound, true);
        view.Show(0);
        Drain(system);
    }
    HWND Dialog() const { return view.Dialog(); }
};

TEST_F(SettingsViewTest, SettersRaiseNothingAndReadBack) {
    view.SetChecked(C::CheckBoxDesktop, true);
    view.SetPosition(C::TrackBarBubblesCount, 120);
    view.SetPosition(C::TrackBarFishCount, 150);  // the bar shows what fits
    view.SelectListItem(C::ComboBoxThemes, 0);
    Drain(system);
    EXPECT_TRUE(events.changed.empty());
    EXPECT_EQ(events.closes, 0);

    EXPECT_EQ(Text(Dialog()), L"3D Tidewell Screen Saver");
    EXPECT_EQ(view.SelectedListItem(C::ComboBoxDepth), 1);
    EXPECT_EQ(view.SelectedListItem(C::ComboBoxResolution), 0);
    EXPECT_EQ(view.SelectedListItem(C::ComboBoxThemes), 0);
    EXPECT_EQ(SendMessageW(view.Control(C::ComboBoxThemes), CB_GETCOUNT, 0, 0), 4);
    view.SetListItems(C::ComboBoxResolution, {"800x600"});
    EXPECT_EQ(SendMessageW(view.Control(C::ComboBoxResolution), CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(view.SelectedListItem(C::ComboBoxResolution), -1);
    EXPECT_EQ(view.Position(C::TrackBarBubblesCount), 120);
    EXPECT_EQ(view.Position(C::TrackBarFishCount), 100);
    EXPECT_TRUE(view.Checked(C::CheckBoxDesktop));
    EXPECT_TRUE(view.Checked(C::CheckBoxSound));
    EXPECT_FALSE(view.Checked(C::CheckBoxRunAsEXE));
    EXPECT_EQ(Text(view.Control(C::LabelFishCount)), L"20");
    view.SetText(C::LabelBubblesCount, "Ünïcode");
    EXPECT_EQ(Text(view.Control(C::LabelBubblesCount)), L"\u00dcn\u00efcode");
    view.SetEnabled(C::ComboBoxDepth, false);
    EXPECT_FALSE(IsWindowEnabled(view.Control(C::ComboBoxDepth)));

    // The drawing area of the preview panel: 316 x 236 inside a 2-pixel bevel at 8, 12.
    const auto panel = reinterpret_cast<HWND>(view.PreviewPanel());
    ASSERT_TRUE(IsChild(Dialog(), panel));
    RECT client{};
    GetClientRect(panel, &client);
    POINT origin{0, 0};
    MapWindowPoints(panel, Dialog(), &origin, 1);
    if (view.Dpi() == 96 && view.Units().X == 1.0 && view.Units().Y == 1.0) {
        EXPECT_EQ(client.right, 316);
        EXPECT_EQ(client.bottom, 236);
        EXPECT_EQ(origin.x, 10);
        EXPECT_EQ(origin.y, 14);
    }
}

TEST_F(SettingsViewTest, UserInputRaisesOneEventPerChange) {
    // A drop-down list changed with the keyboard, as the control notifies it.
    PostMessageW(view.Control(C::ComboBoxResolution), WM_KEYDOWN, VK_DOWN, 0);
    Drain(system);
    EXPECT_EQ(view.SelectedListItem(C::ComboBoxResolution), 1);
    // Track bars notify each step and the end of the move: one event per new position.
    PostMessageW(view.Control(C::TrackBarFishCount), WM_KEYDOWN, VK_RIGHT, 0);
    PostMessageW(view.Control(C::TrackBarFishCount), WM_KEYUP, VK_RIGHT, 0);
    PostMessageW(view.Control(C::TrackBarBubblesCount), WM_KEYDOWN, VK_RIGHT, 0);
    PostMessageW(view.Control(C::TrackBarBubblesCount), WM_KEYDOWN, VK_NEXT, 0);
    PostMessageW(view.Control(C::TrackBarBubblesCount), WM_KEYUP, VK_NEXT, 0);
    Drain(system);
    EXPECT_EQ(view.Position(C::TrackBarFishCount), 21);
    EXPECT_EQ(view.Position(C::TrackBarBubblesCount), 75);  // a line is 5, a page 20
    PostMessageW(view.Control(C::CheckBoxDesktop), BM_CLICK, 0, 0);
    PostMessageW(view.Control(C::ButtonDefault), BM_CLICK, 0, 0);
    PostMessageW(view.Control(C::ButtonPreview), BM_CLICK, 0, 0);
    PostMessageW(view.Control(C::ButtonOk), BM_CLICK, 0, 0);
    Drain(system);
    EXPECT_TRUE(view.Checked(C::CheckBoxDesktop));
    const std::vector<C> expected{C::ComboBoxResolution, C::TrackBarFishCount,  C::TrackBarBubblesCount, C::TrackBarBubblesCount,
                                  C::CheckBoxDesktop,    C::ButtonDefault,      C::ButtonPreview,        C::ButtonOk};
    EXPECT_EQ(events.changed, expected);
    EXPECT_EQ(events.closes, 0);

    // The keyboard through the pump: Tab moves on, Enter is OK, Escape and the close box cancel.
    events.changed.clear();
    SetFocus(view.Control(C::CheckBoxDesktop));
    PostMessageW(view.Control(C::CheckBoxDesktop), WM_KEYDOWN, VK_TAB, 0);
    Drain(system);
    EXPECT_EQ(GetFocus(), view.Control(C::ButtonDefault));
    // Enter presses a focused button, else OK.
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    Drain(system);
    EXPECT_EQ(events.changed, std::vector<C>{C::ButtonDefault});
    events.changed.clear();
    SetFocus(view.Control(C::ComboBoxThemes));
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    Drain(system);
    EXPECT_EQ(events.changed, std::vector<C>{C::ButtonOk});
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    Drain(system);
    EXPECT_EQ(events.closes, 1);
    PostMessageW(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Drain(system);
    EXPECT_EQ(events.closes, 2);
    PostMessageW(view.Control(C::ButtonCancel), BM_CLICK, 0, 0);
    Drain(system);
    EXPECT_EQ(events.closes, 3);
    EXPECT_EQ(events.changed.size(), 1u);
}

TEST_F(SettingsViewTest, AHandlersExceptionComesOutOfThePump) {
    events.fail = true;
    PostMessageW(view.Control(C::CheckBoxRunAsEXE), BM_CLICK, 0, 0);
    bool raised = false;
    for (int i = 0; i < 200 && !raised; ++i) {
        try {
            if (!system.ProcessOne()) Sleep(2);
        } catch (const Exception& e) {
            raised = std::string(e.what()) == "handler failed";
        }
    }
    EXPECT_TRUE(raised);
    events.fail = false;
    PostMessageW(view.Control(C::CheckBoxRunAsEXE), BM_CLICK, 0, 0);
    Drain(system);
    EXPECT_EQ(events.changed, std::vector<C>{C::CheckBoxRunAsEXE});
}

// Every control lies inside the client area, the controls of a group inside the group, and no
// two controls a user works overlap, at the usual display scalings.
TEST_F(SettingsViewTest, LayoutScalesWithTheDpiAndStaysInside) {
    for (const UINT dpi : {96u, 120u, 144u, 192u}) {
        SCOPED_TRACE(dpi);
        view.Relayout(dpi);
        // The font grows with the DPI, the layout with the font.
        const TDialogUnits units = view.Units();
        EXPECT_GE(units.Y * 96, dpi * 0.9);
        RECT client{};
        GetClientRect(Dialog(), &client);
        EXPECT_EQ(client.right, units.Horizontal(511));
        EXPECT_EQ(client.bottom, units.Vertical(387));
        std::vector<RECT> worked;
        for (HWND child = GetWindow(Dialog(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            const RECT rect = ClientRectOf(child, Dialog());
            EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right && rect.bottom <= client.bottom)
                << GetDlgCtrlID(child);
            // The idle watch's controls (Wayland sessions only) are made but never shown here.
            const LONG style = GetWindowLongW(child, GWL_STYLE);
            if ((style & WS_TABSTOP) && (style & WS_VISIBLE)) {
                for (const RECT& other : worked) {
                    RECT overlap{};
                    EXPECT_FALSE(IntersectRect(&overlap, &rect, &other)) << GetDlgCtrlID(child);
                }
                worked.push_back(rect);
            }
        }
        EXPECT_EQ(worked.size(), 15u);
        // The track bars and the theme list inside their groups, right of the preview.
        const RECT panel = ClientRectOf(reinterpret_cast<HWND>(view.PreviewPanel()), Dialog());
        for (const C control : {C::ComboBoxDepth, C::TrackBarFishCount, C::TrackBarBubblesCount, C::ComboBoxThemes})
            EXPECT_GT(ClientRectOf(view.Control(control), Dialog()).left, panel.right);
        EXPECT_EQ(panel.right - panel.left, units.Scaled(kSettingsLayout[0].Rect).Width);
    }
}

// Alt and a caption's access key reach its control through the pump: a label or a group's
// caption moves the focus to the list or track bar after it (which screen readers name by it; a
// track bar also carries the name as its text), a check box or button is pressed. F1 asks for help.
TEST_F(SettingsViewTest, EveryControlAnswersItsAccessKeyAndIsNamedByItsLabel) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(Dialog(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) children.push_back(child);
    ASSERT_EQ(children.size(), std::size(kSettingsLayout));
    for (std::size_t i = 0; i < children.size(); ++i) {
        const TDialogItem& item = kSettingsLayout[i];
        if (item.Kind == TDialogItemKind::ComboBox || item.Kind == TDialogItemKind::TrackBar) {
            SCOPED_TRACE(item.Name);
            const std::wstring label = Text(GetWindow(children[i], GW_HWNDPREV));
            EXPECT_EQ(label, Wide(LabelOf(*item.Control)));
            if (item.Kind == TDialogItemKind::TrackBar) {
                EXPECT_EQ(Text(children[i]), Wide(WithoutAccessKey(LabelOf(*item.Control)).c_str()));
            }
        }
        if (item.WaylandOnly || item.LinuxOnly) {  // made, never shown here: its keys reach nothing
            EXPECT_FALSE(GetWindowLongW(children[i], GWL_STYLE) & WS_VISIBLE) << item.Name;
            continue;
        }
        const char key = AccessKey(item.Caption);
        if (!key) continue;
        SCOPED_TRACE(item.Caption);
        events.changed.clear();
        events.closes = 0;
        SetFocus(view.Control(C::ButtonOk));
        PostMessageW(GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(key), 1 << 29);  // with Alt held
        Drain(system);
        if (!item.Control) {
            EXPECT_EQ(GetFocus(), children[i + 1]);
        } else if (item.Control == C::ButtonCancel) {
            EXPECT_EQ(events.closes, 1);
        } else {
            EXPECT_EQ(events.changed, std::vector<C>{*item.Control});
        }
    }
    events.changed.clear();
    SetFocus(view.Control(C::ComboBoxThemes));
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_F1, 0);
    Drain(system);
    EXPECT_EQ(events.changed, std::vector<C>{C::ButtonHelp});
    // A key really pressed: the system adds a help request of its own, and still one help opens.
    events.changed.clear();
    SetForegroundWindow(Dialog());
    SetFocus(view.Control(C::ComboBoxThemes));
    INPUT keys[2]{};
    for (INPUT& key : keys) {
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = VK_F1;
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
    Drain(system);
    EXPECT_EQ(events.changed, std::vector<C>{C::ButtonHelp});
}

// The system's message font for one test; the dialog hears of it as of a change in the settings.
struct MessageFont {
    NONCLIENTMETRICSW saved{};
    TWin32SettingsView& view;
    MessageFont(TWin32SettingsView& dialog, const wchar_t* face, double size) : view(dialog) {
        saved.cbSize = sizeof saved;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof saved, &saved, 0);
        NONCLIENTMETRICSW metrics = saved;
        if (face) std::wcscpy(metrics.lfMessageFont.lfFaceName, face);
        metrics.lfMessageFont.lfHeight = static_cast<LONG>(metrics.lfMessageFont.lfHeight * size);
        Apply(metrics);
    }
    ~MessageFont() { Apply(saved); }
    void Apply(NONCLIENTMETRICSW& metrics) {
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        SendMessageW(view.Dialog(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    }
};

// Each caption's text fits its control at the prefix's font, at a wider face than Tahoma (Wine
// without its own fonts draws DejaVu Sans) and at one and a half times the size: the layout grows
// with the font instead of clipping it.
TEST_F(SettingsViewTest, EveryCaptionFitsItsControlAtTheSystemsFont) {
    const struct {
        const wchar_t* face;
        double size;
    } fonts[] = {{nullptr, 1.0}, {L"DejaVu Sans", 1.0}, {nullptr, 1.5}};
    for (const auto& font : fonts) {
        SCOPED_TRACE(std::string(font.face ? "DejaVu Sans" : "the prefix's face") + " x" + std::to_string(font.size));
        MessageFont use(view, font.face, font.size);
        HWND child = GetWindow(Dialog(), GW_CHILD);
        for (const TDialogItem& item : kSettingsLayout) {
            const HWND control = child;
            child = GetWindow(child, GW_HWNDNEXT);
            if (!item.Caption || item.Kind == TDialogItemKind::PreviewPanel) continue;
            SCOPED_TRACE(item.Caption);
            TEXTMETRICW metrics{};
            const RECT text = TextRect(control, {}, DT_SINGLELINE, &metrics);
            RECT rect{};
            GetClientRect(control, &rect);
            // What the control itself draws beside its text: a check box's box and gap, a
            // button's edges, a group's indent on each side.
            int beside = 0;
            if (item.Kind == TDialogItemKind::CheckBox) beside = GetSystemMetrics(SM_CXMENUCHECK) + metrics.tmAveCharWidth;
            if (item.Kind == TDialogItemKind::PushButton || item.Kind == TDialogItemKind::DefaultPushButton) beside = 6;
            if (item.Kind == TDialogItemKind::GroupBox) beside = 2 * metrics.tmAveCharWidth;
            EXPECT_LE(text.right + beside, rect.right);
            if (item.Kind != TDialogItemKind::GroupBox) {
                EXPECT_LE(text.bottom, rect.bottom);
            }
        }
    }
}

BOOL CALLBACK FindTooltip(HWND hwnd, LPARAM found) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (std::wstring(name) == TOOLTIPS_CLASSW) *reinterpret_cast<HWND*>(found) = hwnd;
    return TRUE;
}

// The dialog's children are the layout table's items in its order (the tab order), each with
// its caption, rectangle and, for a control, its hint; the track bars with their ranges.
TEST_F(SettingsViewTest, BuildsEveryItemOfTheLayoutTable) {
    view.Relayout(96);
    HWND tooltip = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindTooltip, reinterpret_cast<LPARAM>(&tooltip));
    ASSERT_NE(tooltip, nullptr);
    HWND child = GetWindow(Dialog(), GW_CHILD);
    for (const TDialogItem& item : kSettingsLayout) {
        SCOPED_TRACE(item.Name ? item.Name : item.Caption);
        ASSERT_NE(child, nullptr);
        if (item.Control) {
            EXPECT_EQ(child, view.Control(*item.Control));
        }
        if (item.Caption) {
            EXPECT_EQ(Text(child), Wide(item.Caption));
        }
        const RECT rect = ClientRectOf(child, Dialog());
        const TDialogRect placed = view.Units().Scaled(item.Placed());
        EXPECT_EQ(rect.left, placed.Left);
        EXPECT_EQ(rect.top, placed.Top);
        EXPECT_EQ(rect.right, placed.Left + placed.Width);
        if (item.Kind != TDialogItemKind::ComboBox) {  // a drop-down list's field is as high as its font
            EXPECT_EQ(rect.bottom, placed.Top + placed.Height);
        }
        if (item.Control) {
            wchar_t hint[256] = {};
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.hwnd = Dialog();
            tool.uId = reinterpret_cast<UINT_PTR>(child);
            tool.lpszText = hint;
            SendMessageW(tooltip, TTM_GETTEXTW, std::size(hint), reinterpret_cast<LPARAM>(&tool));
            EXPECT_EQ(std::wstring(hint), Wide(item.Hint ? item.Hint : ""));
        }
        if (item.Kind == TDialogItemKind::TrackBar) {
            EXPECT_EQ(SendMessageW(child, TBM_GETRANGEMAX, 0, 0), item.Range.Max);
            EXPECT_EQ(SendMessageW(child, TBM_GETLINESIZE, 0, 0), item.Range.Line);
            EXPECT_EQ(SendMessageW(child, TBM_GETPAGESIZE, 0, 0), item.Range.Page);
            EXPECT_EQ(SendMessageW(child, TBM_GETNUMTICS, 0, 0), item.Range.Max / item.Range.Tick + 1);
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr);
}

TEST_F(SettingsViewTest, PaintsTheBackgroundEverywhereAndTheBlackPanel) {
    EXPECT_EQ(PixelAt(Dialog(), 3, 3), kBackground);
    // Right of a check box's caption, still inside the box: no grey patch.
    const RECT box = ClientRectOf(view.Control(C::CheckBoxSound), Dialog());
    EXPECT_EQ(PixelAt(Dialog(), box.right - 2, (box.top + box.bottom) / 2), kBackground);
    // Inside a group box and under a track bar's end label.
    const RECT bar = ClientRectOf(view.Control(C::TrackBarFishCount), Dialog());
    EXPECT_EQ(PixelAt(Dialog(), bar.right + 2, bar.top + 2), kBackground);
    const auto panel = reinterpret_cast<HWND>(view.PreviewPanel());
    EXPECT_EQ(PixelAt(panel, 4, 4), RGB(0, 0, 0));
}

TEST_F(SettingsViewTest, OwnerIsDisabledWhileTheDialogShows) {
    const HWND owner = CreateWindowExW(0, L"STATIC", L"display settings", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    view.Show(reinterpret_cast<std::intptr_t>(owner));
    EXPECT_EQ(GetWindow(Dialog(), GW_OWNER), owner);
    EXPECT_FALSE(IsWindowEnabled(owner));
    view.Hide();
    EXPECT_FALSE(IsWindowVisible(Dialog()));
    EXPECT_TRUE(IsWindowEnabled(owner));
    view.Show(reinterpret_cast<std::intptr_t>(owner));
    EXPECT_FALSE(IsWindowEnabled(owner));
    {
        TWin32SettingsView second{system};
        second.Show(reinterpret_cast<std::intptr_t>(owner));  // the owner is disabled already
        EXPECT_EQ(GetWindow(second.Dialog(), GW_OWNER), owner);
        // The themes are the dialog's own items; the logic only selects one.
        const HWND themes = second.Control(C::ComboBoxThemes);
        ASSERT_EQ(SendMessageW(themes, CB_GETCOUNT, 0, 0), 4);
        wchar_t item[64] = {};
        SendMessageW(themes, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(item));
        EXPECT_STREQ(item, L"Aquamarine Water");
    }
    EXPECT_FALSE(IsWindowEnabled(owner));  // still the first dialog's
    view.Show(0x7FFF0001);                 // no such window: the desktop's
    EXPECT_EQ(GetWindow(Dialog(), GW_OWNER), nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner));

    // Centred on the work area.
    RECT work{}, rect{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(Dialog(), &rect);
    EXPECT_NEAR((rect.left + rect.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((rect.top + rect.bottom) / 2, (work.top + work.bottom) / 2, 1);

    view.Show(reinterpret_cast<std::intptr_t>(owner));
    EXPECT_FALSE(IsWindowEnabled(owner));
    {
        TWin32SettingsView gone{system};
        gone.Show(0);
    }
    DestroyWindow(owner);
}

// The About box is modal: ShowAbout returns once a closing message reaches it. A thread timer,
// served by the box's own loop, looks at the box and posts that message.
struct AboutProbe {
    static inline UINT message = 0;
    static inline WPARAM wParam = 0;
    static inline bool toFocus = false;
    static inline int ticks = 0;
    static inline HWND seen = nullptr;
    static inline RECT client{};
    static inline COLORREF picture = 0, background = 0;
    static inline bool topmost = false;
    static inline RECT summary{}, ok{};
    static inline int summaryNeeds = 0;  // the summary's height with every line

    static BOOL CALLBACK Find(HWND hwnd, LPARAM) {
        if (IsWindowVisible(hwnd) && Text(hwnd) == L"About 3D Tidewell Screen Saver") seen = hwnd;
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        seen = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), Find, 0);
        if (++ticks > 250) {  // never seen: end the box all the same, and fail
            if (const HWND active = GetActiveWindow()) PostMessageW(active, WM_CLOSE, 0, 0);
        }
        if (!seen) return;
        KillTimer(nullptr, id);
        GetClientRect(seen, &client);
        topmost = GetWindowLongW(seen, GWL_EXSTYLE) & WS_EX_TOPMOST;
        picture = PixelAt(seen, 80, 70);
        for (HWND child = GetWindow(seen, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (Text(child).starts_with(L"Vendor:")) {
                summary = ClientRectOf(child, seen);
                const RECT needed = TextRect(child, summary, DT_WORDBREAK | DT_NOPREFIX);
                summaryNeeds = needed.bottom - needed.top;
            }
            if (GetDlgCtrlID(child) == IDOK) ok = ClientRectOf(child, seen);
        }
        background = PixelAt(seen, 4, 4);
        PostMessageW(toFocus ? GetFocus() : seen, message, wParam, 0);
    }
    static HWND Run(TWin32SettingsView& view, UINT closeMessage, WPARAM closeParam, bool viaFocus) {
        message = closeMessage;
        wParam = closeParam;
        toFocus = viaFocus;
        ticks = 0;
        seen = nullptr;
        SetTimer(nullptr, 0, 20, Tick);
        TAboutInfo about;
        about.Caption = "About 3D Tidewell Screen Saver";
        about.ProductName = "3D Tidewell Screen Saver";
        about.Version = "Version 1.5";
        about.Comments = "Vendor: Wine\nVideo: llvmpipe (LLVM 15.0.6, 256 bits)\nOpenGL: 4.5 (Compatibility Profile) Mesa "
                         "22.3.6, a version line long enough to wrap to a fourth and a fifth line in the box";
        about.LinkText = "www.example.com";
        about.LinkTarget = "https://www.example.com/?product=3dtidewell";
        about.Picture.Width = 150;
        about.Picture.Height = 110;
        about.Picture.Rgb.assign(150 * 110 * 3, 0);
        for (std::size_t i = 0; i < about.Picture.Rgb.size(); i += 3) about.Picture.Rgb[i] = 200;  // red
        view.ShowAbout(about);
        return seen;
    }
};

TEST_F(SettingsViewTest, AboutBoxShowsAndClosesWithOkEscapeAndTheCloseBox) {
    ASSERT_NE(AboutProbe::Run(view, WM_COMMAND, IDOK, false), nullptr);
    EXPECT_EQ(AboutProbe::client.right, view.Units().Horizontal(414));
    EXPECT_GT(AboutProbe::client.bottom, view.Units().Vertical(279));  // the long summary grew it
    EXPECT_LE(AboutProbe::summary.bottom, AboutProbe::ok.top);
    EXPECT_GE(AboutProbe::summary.bottom - AboutProbe::summary.top, AboutProbe::summaryNeeds);
    EXPECT_TRUE(AboutProbe::topmost);
    EXPECT_EQ(AboutProbe::background, kBackground);
    if (view.Dpi() == 96) {
        EXPECT_EQ(AboutProbe::picture, RGB(200, 0, 0));
    }

    EXPECT_NE(AboutProbe::Run(view, WM_KEYDOWN, VK_ESCAPE, true), nullptr);
    EXPECT_NE(AboutProbe::Run(view, WM_KEYDOWN, VK_RETURN, true), nullptr);
    EXPECT_NE(AboutProbe::Run(view, WM_SYSCOMMAND, SC_CLOSE, false), nullptr);
    EXPECT_TRUE(IsWindowEnabled(Dialog()));  // the dialog takes input again
    Drain(system);
    EXPECT_TRUE(events.changed.empty());
    EXPECT_EQ(events.closes, 0);
}

// Keys and a click for the About box, one a tick, each sent to what has the focus then.
struct LinkProbe {
    static constexpr std::array<std::pair<UINT, WPARAM>, 5> script{
        {{WM_KEYDOWN, VK_TAB}, {WM_KEYDOWN, VK_RETURN}, {BM_CLICK, 0}, {WM_KEYDOWN, VK_TAB}, {WM_KEYDOWN, VK_RETURN}}};
    static inline std::vector<std::string> opened;
    static inline std::vector<std::wstring> focused;  // before each step
    static inline std::size_t step = 0;
    static inline int ticks = 0;

    static bool Open(const std::string& target) {
        opened.push_back(target);
        return true;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        const HWND focus = GetFocus();
        if (++ticks > 250 && GetActiveWindow()) PostMessageW(GetActiveWindow(), WM_CLOSE, 0, 0);  // stuck: end it, and fail
        if (!focus || step == script.size()) return;
        focused.push_back(Text(focus));
        PostMessageW(focus, script[step].first, script[step].second, 0);
        ++step;
    }
};

TEST_F(SettingsViewTest, AboutBoxLinkTakesTheFocusAndEnterFollowsIt) {
    view.SetLinkOpener(LinkProbe::Open);
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, LinkProbe::Tick);
    TAboutInfo about;
    about.Caption = "About";
    about.LinkText = "www.example.com";
    about.LinkTarget = "https://www.example.com/?product=3dtidewell";
    view.ShowAbout(about);
    KillTimer(nullptr, timer);
    // OK first; Tab to the link, where Enter and a click open it and leave the box open; Tab back
    // to OK, where Enter closes the box.
    const std::wstring link = L"www.example.com";
    EXPECT_EQ(LinkProbe::focused, (std::vector<std::wstring>{L"&OK", link, link, link, L"&OK"}));
    EXPECT_EQ(LinkProbe::opened, std::vector<std::string>(2, about.LinkTarget));
    EXPECT_LE(LinkProbe::ticks, 250);
}

}  // namespace
