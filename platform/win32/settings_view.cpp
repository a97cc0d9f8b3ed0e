// The settings dialog and the About box on Windows.
//
// LIMITATIONS: the layout is the form's table in units of the system's message font (as dialog
// units are), so a larger font grows the whole dialog; long translations are not reflowed.
// DEPENDENCIES: user32, gdi32, comctl32 (track bars, tooltips; version 6 through the program's
// manifest for the visual styles), shell32 for the link (platform/services.h OpenWithDesktop).
#include "platform/win32/settings_view.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "app/exception.h"
#include "form/dialog_layout.h"
#include "platform/services.h"
#include "platform/win32/win32_display.h"
#include "platform/win32/program_icon.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_window_system.h"
#include "scene/scene_settings.h"

namespace {

const COLORREF kBackground = RGB(92, 175, 224);
const COLORREF kLinkColour = RGB(0, 0, 255);

// Under a high-contrast theme the dialogs take the system's colours instead of their own.
bool HighContrast() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) && (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

}  // namespace

// The dialogs' colours: the form's light blue, or the system's under high contrast.
struct TDialogColours {
    bool system = HighContrast();
    HBRUSH own = system ? nullptr : CreateSolidBrush(kBackground);

    TDialogColours() = default;
    TDialogColours(const TDialogColours&) = delete;
    TDialogColours& operator=(const TDialogColours&) = delete;
    ~TDialogColours() {
        if (own) DeleteObject(own);
    }
    HBRUSH Brush() const { return system ? GetSysColorBrush(COLOR_BTNFACE) : own; }
    COLORREF Background() const { return system ? GetSysColor(COLOR_BTNFACE) : kBackground; }
    COLORREF Link() const { return system ? GetSysColor(COLOR_HOTLIGHT) : kLinkColour; }
    // A static's or button's colours on the dialog's background.
    INT_PTR Paint(HDC dc, bool seeThrough) const {
        SetBkColor(dc, Background());
        SetBkMode(dc, TRANSPARENT);
        if (system) SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        return reinterpret_cast<INT_PTR>(seeThrough ? GetStockObject(NULL_BRUSH) : Brush());
    }
};

// The message font as the system answers and as it is stored for the user.
struct TFontSources {
    LOGFONTW System{};
    LOGFONTW Stored{};
    static TFontSources Now() {
        TFontSources now;
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) now.System = metrics.lfMessageFont;
        DWORD size = sizeof now.Stored;
        if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop\\WindowMetrics", L"MessageFont", RRF_RT_REG_BINARY, nullptr,
                         &now.Stored, &size) != ERROR_SUCCESS || size != sizeof now.Stored)
            now.Stored = now.System;
        return now;
    }
};

namespace {

const wchar_t kPanelClass[] = L"TidewellPreviewPanel";
const DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
const DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The DPI functions of Windows 10, absent on older systems (and in some Wine versions).
struct TDpiApi {
    UINT(WINAPI* ForWindow)(HWND) = nullptr;
    UINT(WINAPI* ForSystem)() = nullptr;
    BOOL(WINAPI* AdjustRect)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
    BOOL(WINAPI* ParametersForDpi)(UINT, UINT, void*, UINT, UINT) = nullptr;

    TDpiApi() {
        const HMODULE user32 = GetModuleHandleW(L"user32.dll");
        if (!user32) return;
        Load(user32, "GetDpiForWindow", ForWindow);
        Load(user32, "GetDpiForSystem", ForSystem);
        Load(user32, "AdjustWindowRectExForDpi", AdjustRect);
        Load(user32, "SystemParametersInfoForDpi", ParametersForDpi);
    }
    template <typename F>
    static void Load(HMODULE module, const char* name, F& fn) {
        fn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
};

const TDpiApi& Dpi() {
    static const TDpiApi api;
    return api;
}

UINT WindowDpi(HWND hwnd) {
    UINT dpi = 0;
    if (Dpi().ForWindow && hwnd) dpi = Dpi().ForWindow(hwnd);
    if (!dpi && Dpi().ForSystem) dpi = Dpi().ForSystem();
    return dpi ? dpi : 96;
}

int Scale(int value, UINT dpi) { return MulDiv(value, static_cast<int>(dpi), 96); }

bool SameFont(const LOGFONTW& a, const LOGFONTW& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The system's message font (Segoe UI on current Windows) at this DPI, at the size the user set.
// `changed`: the user's new font, which the system's answer does not show yet.
HFONT MessageFont(UINT dpi, const TFontChange* changed = nullptr) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (Dpi().ParametersForDpi && Dpi().ParametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        font = metrics.lfMessageFont;
    } else if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        font = metrics.lfMessageFont;
        const HDC screen = GetDC(nullptr);
        const int systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), systemDpi > 0 ? systemDpi : 96);
    } else {
        font.lfHeight = -Scale(12, dpi);
        std::wcscpy(font.lfFaceName, L"Segoe UI");
    }
    if (changed && changed->Before.lfHeight) {
        // The new face, at the size the system's answer would have grown to.
        const LONG height = MulDiv(font.lfHeight, changed->After.lfHeight, changed->Before.lfHeight);
        font = changed->After;
        font.lfHeight = height;
    }
    return CreateFontIndirectW(&font);
}

// The same face as `font`, 13/11 as large (the design's headings against its 8-point text).
HFONT HeadingFont(HFONT font, bool bold, bool underline) {
    LOGFONTW face{};
    GetObjectW(font, sizeof face, &face);
    face.lfHeight = MulDiv(face.lfHeight, 13, 11);
    face.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    face.lfUnderline = underline ? TRUE : FALSE;
    return CreateFontIndirectW(&face);
}

// The layout units of a font as the dialog shows it.
TDialogUnits FontUnits(HWND hwnd, HFONT font) {
    const HDC dc = GetDC(hwnd);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE sample{};
    const std::wstring text = WideText(kAverageCharSample);
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &sample);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return TDialogUnits::FromFont(sample.cx, metrics.tmHeight);
}

RECT ToRect(const TDialogRect& rect) { return {rect.Left, rect.Top, rect.Left + rect.Width, rect.Top + rect.Height}; }

void DeleteFont(HFONT& font) {
    if (font) DeleteObject(font);
    font = nullptr;
}

// The window rectangle for a client area of width x height at this DPI.
RECT FramedRect(HWND hwnd, int width, int height, UINT dpi) {
    RECT rect{0, 0, width, height};
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    if (!Dpi().AdjustRect || !Dpi().AdjustRect(&rect, style, FALSE, exStyle, dpi)) AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return rect;
}

// Centres the window as it is on the primary monitor's work area.
void CentreWindow(HWND hwnd) {
    RECT rect{}, work{};
    GetWindowRect(hwnd, &rect);
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) GetWindowRect(GetDesktopWindow(), &work);
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    SetWindowPos(hwnd, nullptr, work.left + std::max(0, static_cast<int>((work.right - work.left - w) / 2)),
                 work.top + std::max(0, static_cast<int>((work.bottom - work.top - h) / 2)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Sizes the window for this client area; corrects what the frame's own DPI made of the estimate.
void SizeClientArea(HWND hwnd, int width, int height, UINT dpi) {
    const RECT estimate = FramedRect(hwnd, width, height, dpi);
    int w = estimate.right - estimate.left, h = estimate.bottom - estimate.top;
    for (int pass = 0; pass < 2; ++pass) {
        SetWindowPos(hwnd, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client{};
        GetClientRect(hwnd, &client);
        if (client.right == width && client.bottom == height) break;
        w += width - client.right;
        h += height - client.bottom;
    }
}

// An empty dialog template: the controls are made with CreateWindowExW in pixels, which a
// template's dialog units cannot express.
struct TEmptyTemplate {
    alignas(4) WORD words[16]{};
    explicit TEmptyTemplate(DWORD style) {
        DLGTEMPLATE head{};
        head.style = style;
        head.dwExtendedStyle = kDialogExStyle;
        std::memcpy(words, &head, sizeof head);  // then no menu, the default class, no title
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words); }
};

using K = TDialogItemKind;

// A drop-down list's window reaches down over its open list; its field is as high as its font.
const int kOpenListHeight = 200;

// The window class and style of an item's kind.
struct TWindowKind {
    const wchar_t* windowClass;
    DWORD style;
};

TWindowKind WindowKind(const TDialogItem& item) {
    switch (item.Kind) {
        case K::Label: return {WC_STATICW, SS_LEFTNOWORDWRAP};  // "&" marks its access key
        case K::NumberLabel:
            return {WC_STATICW, static_cast<DWORD>(SS_NOPREFIX | (item.Align == TDialogAlign::Left     ? SS_LEFT
                                                                  : item.Align == TDialogAlign::Centre ? SS_CENTER
                                                                                                       : SS_RIGHT))};
        case K::ComboBox: return {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP};
        case K::CheckBox: return {WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP};
        case K::PushButton: return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP};
        case K::DefaultPushButton: return {WC_BUTTONW, BS_DEFPUSHBUTTON | WS_TABSTOP};
        // Clipped by their siblings: the numbers reach into a track bar, a themed group box
        // paints its inside.
        case K::TrackBar: return {TRACKBAR_CLASSW, TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS | WS_TABSTOP | WS_CLIPSIBLINGS};
        case K::GroupBox: return {WC_BUTTONW, BS_GROUPBOX | WS_CLIPSIBLINGS};
        case K::PreviewPanel: return {kPanelClass, WS_CLIPCHILDREN};
    }
    return {WC_STATICW, 0};
}

bool IsPushButton(const TDialogItem& item) { return item.Kind == K::PushButton || item.Kind == K::DefaultPushButton; }

int ControlId(const TDialogItem& item, std::size_t index) {
    if (item.Control == TDialogControl::ButtonOk) return IDOK;
    if (item.Control == TDialogControl::ButtonCancel) return IDCANCEL;
    return 1000 + static_cast<int>(index);
}

bool SetHandCursor(HWND dialog, LPARAM lParam) {
    if (LOWORD(lParam) != HTCLIENT) return false;
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND, a narrow string here
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
    return true;
}

// The preview panel: black, an etched 2-pixel bevel outside its client area, and a caption that
// the preview window hides once it covers the client area.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCALCSIZE:
            if (wParam) {
                auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
                InflateRect(&params->rgrc[0], -kPreviewPanelBevel, -kPreviewPanelBevel);
                return 0;
            }
            break;
        case WM_NCPAINT: {
            const HDC dc = GetWindowDC(hwnd);
            RECT rect{};
            GetWindowRect(hwnd, &rect);
            OffsetRect(&rect, -rect.left, -rect.top);
            DrawEdge(dc, &rect, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
            ReleaseDC(hwnd, dc);
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            const HDC dc = BeginPaint(hwnd, &ps);
            RECT rect{};
            GetClientRect(hwnd, &rect);
            FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            const auto font = reinterpret_cast<HFONT>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
            const HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(255, 0, 0));
            wchar_t caption[64] = {};
            GetWindowTextW(hwnd, caption, static_cast<int>(std::size(caption)));
            DrawTextW(dc, caption, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            if (old) SelectObject(dc, old);
            EndPaint(hwnd, &ps);
            return 0;
        }
        default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void RegisterPanelClass() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = PanelProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.lpszClassName = kPanelClass;
    RegisterClassW(&windowClass);  // already registered by an earlier view: fine
}

}  // namespace

TWin32SettingsView::TWin32SettingsView(TWin32WindowSystem& windows) : windows_(windows), openLink_(OpenWithDesktop) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    RegisterPanelClass();
    colours_ = std::make_unique<TDialogColours>();
    fontSources_ = std::make_unique<TFontSources>(TFontSources::Now());
    const TEmptyTemplate dialogTemplate(kDialogStyle);
    CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate.Get(), nullptr, DialogProc,
                               reinterpret_cast<LPARAM>(this));
    if (!dialog_) {
        throw Exception("TWin32SettingsView: the dialog cannot be created!");
    }
    SetProgramIcon(dialog_);
    try {
        CreateControls();
    } catch (...) {
        DestroyWindow(dialog_);
        throw;
    }
    Relayout(WindowDpi(dialog_));
    SetPropW(dialog_, kSettingsDialogProperty, reinterpret_cast<HANDLE>(1));
    windows_.AddDialog(reinterpret_cast<std::intptr_t>(dialog_));
}

TWin32SettingsView::~TWin32SettingsView() {
    ReleaseOwner();
    windows_.RemoveDialog(reinterpret_cast<std::intptr_t>(dialog_));
    SetWindowLongPtrW(dialog_, DWLP_USER, 0);
    RemovePropW(dialog_, kSettingsDialogProperty);
    if (tooltip_) DestroyWindow(tooltip_);
    DestroyWindow(dialog_);
    DeleteFont(font_);
    DeleteFont(panelFont_);
}

void TWin32SettingsView::CreateControls() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog_, nullptr, instance, nullptr);
    for (std::size_t i = 0; i < std::size(kSettingsLayout); ++i) {
        const TDialogItem& item = kSettingsLayout[i];
        const TWindowKind kind = WindowKind(item);
        const HWND hwnd =
            CreateWindowExW(0, kind.windowClass, WideText(item.Caption ? item.Caption : "").c_str(),
                            WS_CHILD | (item.WaylandOnly || item.LinuxOnly ? 0 : WS_VISIBLE) | kind.style,
                            0, 0, 0, 0, dialog_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(item, i))), instance, nullptr);
        if (!hwnd) throw Exception("TWin32SettingsView: a control cannot be created!");
        items_.push_back(hwnd);
        if (item.Control) controls_[static_cast<std::size_t>(*item.Control)] = hwnd;
        if (item.Kind == K::PreviewPanel) panel_ = hwnd;
        if (item.Kind == K::TrackBar) {
            // Its window text is its name for screen readers; a track bar shows none.
            if (const char* label = LabelOf(*item.Control)) SetWindowTextW(hwnd, WideText(WithoutAccessKey(label)).c_str());
            SendMessageW(hwnd, TBM_SETRANGE, FALSE, MAKELPARAM(0, item.Range.Max));
            SendMessageW(hwnd, TBM_SETLINESIZE, 0, item.Range.Line);
            SendMessageW(hwnd, TBM_SETPAGESIZE, 0, item.Range.Page);
            SendMessageW(hwnd, TBM_SETTICFREQ, item.Range.Tick, 0);
        }
        // A static caption takes no mouse input, so only the controls show their hints.
        if (item.Hint && item.Control && tooltip_) {
            std::wstring hint = WideText(item.Hint);
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = dialog_;
            tool.uId = reinterpret_cast<UINT_PTR>(hwnd);
            tool.lpszText = hint.data();
            SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    const HWND themes = Control(TDialogControl::ComboBoxThemes);
    SendMessageW(themes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(kAutoThemeItem).c_str()));
    for (const char* theme : kThemeNames) SendMessageW(themes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(theme).c_str()));
    // Enter presses OK unless a focused button takes it: the dialog manager's default button.
    SendMessageW(dialog_, DM_SETDEFID, IDOK, 0);
}

const TDialogItem* TWin32SettingsView::ItemOf(HWND control) const {
    const auto at = std::find(items_.begin(), items_.end(), control);
    return at == items_.end() ? nullptr : &kSettingsLayout[at - items_.begin()];
}

void TWin32SettingsView::Relayout(UINT dpi) {
    dpi_ = dpi ? dpi : 96;
    DeleteFont(font_);
    DeleteFont(panelFont_);
    font_ = MessageFont(dpi_, fontChanged_ ? &fontChange_ : nullptr);
    units_ = FontUnits(dialog_, font_);
    // The panel's caption: the same face, bold and larger.
    panelFont_ = HeadingFont(font_, true, false);
    SetWindowLongPtrW(panel_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(panelFont_));
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const TDialogItem& item = kSettingsLayout[i];
        TDialogRect rect = item.Placed();
        if (item.Kind == K::ComboBox) rect.Height = kOpenListHeight;
        const TDialogRect at = units_.Scaled(rect);
        SendMessageW(items_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        MoveWindow(items_[i], at.Left, at.Top, at.Width, at.Height, TRUE);
        // A group box comes before its controls in the tab order, so above them: it keeps only
        // its frame and caption, and cannot paint over them.
        if (item.Kind == K::GroupBox) {
            const HRGN frame = CreateRectRgn(0, 0, at.Width, at.Height);
            const HRGN inside = CreateRectRgn(units_.Horizontal(3), units_.Vertical(13), at.Width - units_.Horizontal(3),
                                              at.Height - units_.Vertical(3));
            CombineRgn(frame, frame, inside, RGN_DIFF);
            DeleteObject(inside);
            SetWindowRgn(items_[i], frame, TRUE);  // the window owns the region now
        }
    }
    SizeClientArea(dialog_, units_.Horizontal(kSettingsDialogWidth), units_.Vertical(kSettingsDialogHeight), dpi_);
    InvalidateRect(dialog_, nullptr, TRUE);
}

void TWin32SettingsView::Show(std::intptr_t owner) {
    HWND ownerWindow = reinterpret_cast<HWND>(owner);
    if (ownerWindow && !IsWindow(ownerWindow)) ownerWindow = nullptr;
    if (ownerWindow != owner_) ReleaseOwner();
    SetWindowLongPtrW(dialog_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerWindow));
    // Centre, then once more when the move brought the dialog to a monitor of another DPI.
    for (int pass = 0; pass < 2; ++pass) {
        CentreWindow(dialog_);
        const UINT dpi = WindowDpi(dialog_);
        if (dpi == dpi_) break;
        Relayout(dpi);
    }
    // Modal to the owner: it takes no input until Hide. An owner that was disabled already stays so.
    if (ownerWindow && !owner_ && IsWindowEnabled(ownerWindow)) {
        EnableWindow(ownerWindow, FALSE);
        owner_ = ownerWindow;
    }
    ShowWindow(dialog_, SW_SHOW);
    SetForegroundWindow(dialog_);
    windows_.RaiseDeferred();
}

void TWin32SettingsView::ReleaseOwner() {
    if (!owner_) return;
    if (IsWindow(owner_)) EnableWindow(owner_, TRUE);
    owner_ = nullptr;
}

void TWin32SettingsView::Hide() {
    // The owner first, so that the system activates it rather than another program's window.
    ReleaseOwner();
    ShowWindow(dialog_, SW_HIDE);
}

void TWin32SettingsView::SetCaption(const std::string& text) { SetWindowTextW(dialog_, WideText(text).c_str()); }

void TWin32SettingsView::SetListItems(TDialogControl list, const std::vector<std::string>& items) {
    const HWND combo = Control(list);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(item).c_str()));
}

void TWin32SettingsView::SelectListItem(TDialogControl list, int index) {
    SendMessageW(Control(list), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int TWin32SettingsView::SelectedListItem(TDialogControl list) {
    return static_cast<int>(SendMessageW(Control(list), CB_GETCURSEL, 0, 0));
}

void TWin32SettingsView::SetPosition(TDialogControl trackBar, int position) {
    const HWND bar = Control(trackBar);
    SendMessageW(bar, TBM_SETPOS, TRUE, position);
    positions_[trackBar == TDialogControl::TrackBarFishCount ? 0 : 1] = static_cast<int>(SendMessageW(bar, TBM_GETPOS, 0, 0));
}

int TWin32SettingsView::Position(TDialogControl trackBar) {
    return static_cast<int>(SendMessageW(Control(trackBar), TBM_GETPOS, 0, 0));
}

void TWin32SettingsView::SetChecked(TDialogControl checkBox, bool checked) {
    SendMessageW(Control(checkBox), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TWin32SettingsView::Checked(TDialogControl checkBox) {
    return SendMessageW(Control(checkBox), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TWin32SettingsView::SetEnabled(TDialogControl control, bool enabled) { EnableWindow(Control(control), enabled ? TRUE : FALSE); }

void TWin32SettingsView::SetHint(TDialogControl control, const std::string& text) {
    if (!tooltip_) return;
    std::wstring hint = WideText(text);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog_;
    tool.uId = reinterpret_cast<UINT_PTR>(Control(control));
    tool.lpszText = hint.data();
    // Made afresh: a control without a hint of its own has no tool yet.
    SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TWin32SettingsView::SetText(TDialogControl label, const std::string& text) {
    const HWND control = Control(label);
    SetWindowTextW(control, WideText(text).c_str());
    // A transparent number leaves the old one behind: the dialog repaints what lies under it.
    const TDialogItem* item = ItemOf(control);
    if (!item || item->Kind != K::NumberLabel) return;
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&rect), 2);
    RedrawWindow(dialog_, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TWin32SettingsView::ShowMessage(const std::string& text, const std::string& caption) {
    MessageBoxW(dialog_, WideText(text).c_str(), WideText(caption).c_str(), MB_OK | MB_ICONERROR);
}

void TWin32SettingsView::Raise(TDialogControl control) {
    if (events_) events_->ControlChanged(control);
}

void TWin32SettingsView::FollowFontChange() {
    // Wine answers each process with the value it read first: another program's change shows
    // only in the stored value. Where the system's answer follows, it is taken as it is.
    const TFontSources now = TFontSources::Now();
    if (SameFont(now.System, fontSources_->System) && !SameFont(now.Stored, fontSources_->Stored)) {
        fontChange_ = {fontSources_->Stored, now.Stored};
        fontChanged_ = true;
    } else {
        *fontSources_ = now;
        fontChanged_ = false;
    }
}

INT_PTR CALLBACK TWin32SettingsView::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* view = reinterpret_cast<TWin32SettingsView*>(lParam);
        view->dialog_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        return FALSE;
    }
    auto* view = reinterpret_cast<TWin32SettingsView*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!view) return FALSE;
    // C++ exceptions must not unwind through the system's frames: the pump raises them again.
    try {
        return view->Handle(message, wParam, lParam);
    } catch (...) {
        view->windows_.Defer(std::current_exception());
        return TRUE;
    }
}

INT_PTR TWin32SettingsView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(colours_->Brush());
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            // Drop-down lists keep the system's colours.
            const auto control = reinterpret_cast<HWND>(lParam);
            const TDialogItem* item = ItemOf(control);
            if (item && item->Kind == K::ComboBox) return FALSE;
            return colours_->Paint(reinterpret_cast<HDC>(wParam), item && item->Kind == K::NumberLabel);
        }
        case WM_HELP:
            Raise(TDialogControl::ButtonHelp);
            return TRUE;
        case WM_SETTINGCHANGE:
            if (wParam != SPI_SETNONCLIENTMETRICS && wParam != SPI_SETHIGHCONTRAST) return FALSE;
            if (wParam == SPI_SETNONCLIENTMETRICS) FollowFontChange();
            [[fallthrough]];
        case WM_SYSCOLORCHANGE:
            // High contrast switched, or the message font changed.
            colours_ = std::make_unique<TDialogColours>();
            Relayout(dpi_);
            return FALSE;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if (id == IDCANCEL) {
                if (events_) events_->CloseRequested();
                return TRUE;
            }
            if (id == IDOK) {
                Raise(TDialogControl::ButtonOk);
                return TRUE;
            }
            const TDialogItem* item = ItemOf(reinterpret_cast<HWND>(lParam));
            if (!item || !item->Control) return FALSE;
            if (item->Kind == K::ComboBox ? code == CBN_SELCHANGE : code == BN_CLICKED) Raise(*item->Control);
            return TRUE;
        }
        case WM_HSCROLL: {
            // Track bars notify every step of a drag and once more at its end: report moves only.
            const auto bar = reinterpret_cast<HWND>(lParam);
            for (const TDialogControl control : {TDialogControl::TrackBarFishCount, TDialogControl::TrackBarBubblesCount}) {
                if (bar != Control(control)) continue;
                int& last = positions_[control == TDialogControl::TrackBarFishCount ? 0 : 1];
                const int position = Position(control);
                if (position == last) return TRUE;
                last = position;
                Raise(control);
                return TRUE;
            }
            return FALSE;
        }
        case WM_CLOSE:
            if (events_) events_->CloseRequested();
            return TRUE;
        case WM_SETCURSOR: {
            const TDialogItem* item = ItemOf(reinterpret_cast<HWND>(wParam));
            return item && IsPushButton(*item) && SetHandCursor(dialog_, lParam);
        }
        case WM_DPICHANGED: {
            Relayout(HIWORD(wParam));
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(dialog_, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return TRUE;
        }
        default: return FALSE;
    }
}

// The About box: a modal dialog box of its own, owned by the settings dialog.
namespace {

struct TAboutBox {
    const TAboutInfo& info;
    TWin32WindowSystem& windows;
    UINT dpi = 96;
    TDialogUnits units;
    TDialogColours colours;
    HFONT bold = nullptr, link = nullptr, comments = nullptr;
    const TLinkOpener openLink;
    std::wstring linkText;
    HWND linkLabel = nullptr, okButton = nullptr;
    int grown = 0;  // how much taller than the layout the summary made the box
    std::vector<std::uint32_t> pixels;  // the picture as 32-bit BGRX, top-down

    TAboutBox(const TAboutInfo& about, TWin32WindowSystem& system, TLinkOpener opener)
        : info(about), windows(system), openLink(opener) {}
    ~TAboutBox() {
        DeleteFont(bold);
        DeleteFont(link);
        DeleteFont(comments);
    }

    // A part's rectangle; the parts under the summary move down by what it grew.
    RECT S(TDialogRect rect, bool belowSummary = false) const {
        RECT at = ToRect(units.Scaled(rect));
        if (belowSummary) OffsetRect(&at, 0, grown);
        return at;
    }

    void Create(HWND hwnd) {
        dpi = WindowDpi(hwnd);
        comments = MessageFont(dpi);
        bold = HeadingFont(comments, true, false);
        link = HeadingFont(comments, false, true);
        units = FontUnits(hwnd, comments);
        const TDialogPicture& picture = info.Picture;
        if (picture.Width > 0 && picture.Height > 0 &&
            picture.Rgb.size() >= static_cast<std::size_t>(picture.Width) * static_cast<std::size_t>(picture.Height) * 3) {
            pixels.resize(static_cast<std::size_t>(picture.Width) * static_cast<std::size_t>(picture.Height));
            for (std::size_t i = 0; i < pixels.size(); ++i)
                pixels[i] = static_cast<std::uint32_t>(picture.Rgb[3 * i] << 16 | picture.Rgb[3 * i + 1] << 8 | picture.Rgb[3 * i + 2]);
        }
        SetWindowTextW(hwnd, WideText(info.Caption).c_str());
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        const auto label = [&](const std::string& text, const TDialogRect& rect, HFONT font) {
            const RECT at = S(rect);
            const HWND control = CreateWindowExW(0, WC_STATICW, WideText(text).c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_LEFT,
                                                 at.left, at.top, at.right - at.left, at.bottom - at.top, hwnd, nullptr,
                                                 instance, nullptr);
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            return control;
        };
        label(info.ProductName, kAboutLayout.ProductName, bold);
        label(info.Version, kAboutLayout.Version, bold);
        // The link is as wide as its text, so that only the text takes the click.
        SIZE extent{};
        const HDC dc = GetDC(hwnd);
        HGDIOBJ old = SelectObject(dc, link);
        linkText = WideText(info.LinkText);
        GetTextExtentPoint32W(dc, linkText.c_str(), static_cast<int>(linkText.size()), &extent);
        // The OpenGL summary wraps to as many lines as it needs: the box grows for them.
        SelectObject(dc, comments);
        const std::wstring summary = WideText(info.Comments);
        RECT needed = S(kAboutLayout.Comments);
        const int room = needed.bottom - needed.top;
        DrawTextW(dc, summary.c_str(), static_cast<int>(summary.size()), &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        grown = std::max(0, static_cast<int>(needed.bottom - needed.top) - room);
        SelectObject(dc, old);
        ReleaseDC(hwnd, dc);
        // A button drawn as a link, so that Tab reaches it; its name is the text with any '&' doubled,
        // lest the dialog take the next letter for an access key (the link's underline would hide one).
        std::wstring name;
        for (const wchar_t c : linkText) name.append(c == L'&' ? 2 : 1, c);
        const RECT at = S(kAboutLayout.Link);
        linkLabel = CreateWindowExW(0, WC_BUTTONW, name.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, at.left, at.top,
                                    std::min<int>(extent.cx + 2, at.right - at.left), at.bottom - at.top, hwnd, nullptr, instance,
                                    nullptr);
        SetWindowSubclass(linkLabel, LinkKeys, 0, 0);
        SendMessageW(linkLabel, WM_SETFONT, reinterpret_cast<WPARAM>(link), FALSE);
        TDialogRect summaryRect = kAboutLayout.Comments;
        const HWND summaryLabel = label(info.Comments, summaryRect, comments);
        const RECT summaryAt = S(summaryRect);
        SetWindowPos(summaryLabel, nullptr, 0, 0, summaryAt.right - summaryAt.left, summaryAt.bottom - summaryAt.top + grown,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const RECT ok = S(kAboutLayout.OkButton, true);
        okButton = CreateWindowExW(0, WC_BUTTONW, WideText(kAboutLayout.OkCaption).c_str(),
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, ok.left, ok.top, ok.right - ok.left,
                                   ok.bottom - ok.top, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), instance, nullptr);
        SendMessageW(okButton, WM_SETFONT, reinterpret_cast<WPARAM>(comments), FALSE);
        SendMessageW(hwnd, DM_SETDEFID, IDOK, 0);
        SizeClientArea(hwnd, units.Horizontal(kAboutLayout.Width), units.Vertical(kAboutLayout.Height) + grown, dpi);
        CentreWindow(hwnd);
        SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetFocus(okButton);
    }

    void Paint(HWND hwnd) {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(hwnd, &ps);
        RECT logo = S(kAboutLayout.Logo);
        DrawEdge(dc, &logo, EDGE_ETCHED, BF_RECT);
        RECT line = S(kAboutLayout.Line, true);
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        if (!pixels.empty()) {
            BITMAPINFO bitmap{};
            bitmap.bmiHeader.biSize = sizeof bitmap.bmiHeader;
            bitmap.bmiHeader.biWidth = info.Picture.Width;
            bitmap.bmiHeader.biHeight = -info.Picture.Height;  // top-down rows
            bitmap.bmiHeader.biPlanes = 1;
            bitmap.bmiHeader.biBitCount = 32;
            bitmap.bmiHeader.biCompression = BI_RGB;
            SetStretchBltMode(dc, HALFTONE);
            const RECT at = S(kAboutLayout.Picture);
            StretchDIBits(dc, at.left, at.top, at.right - at.left, at.bottom - at.top, 0, 0, info.Picture.Width, info.Picture.Height,
                          pixels.data(), &bitmap, DIB_RGB_COLORS, SRCCOPY);
        }
        EndPaint(hwnd, &ps);
    }

    // The link's text in its colour and font, and the focus rectangle around it while it has the focus.
    void DrawLink(const DRAWITEMSTRUCT& item) const {
        RECT rect = item.rcItem;
        FillRect(item.hDC, &rect, colours.Brush());
        const HGDIOBJ old = SelectObject(item.hDC, link);
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, colours.Link());
        RECT text = rect;
        text.left += 1;  // clear of the focus rectangle
        DrawTextW(item.hDC, linkText.c_str(), static_cast<int>(linkText.size()), &text, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(item.hDC, old);
        if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
            SetTextColor(item.hDC, RGB(0, 0, 0));
            SetBkColor(item.hDC, RGB(255, 255, 255));
            DrawFocusRect(item.hDC, &rect);
        }
    }

    // Enter on the link follows it, as Space and a click do: a dialog would give it to OK. Its
    // character comes here too, rather than to the dialog as a letter without a control.
    static LRESULT CALLBACK LinkKeys(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        if (message == WM_GETDLGCODE && key && (key->message == WM_KEYDOWN || key->message == WM_CHAR) && key->wParam == VK_RETURN)
            return DefSubclassProc(hwnd, message, wParam, lParam) | DLGC_WANTMESSAGE;
        if (message == WM_KEYDOWN && wParam == VK_RETURN) {
            SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
            return 0;
        }
        if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, LinkKeys, 0);
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }

    INT_PTR Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(colours.Brush());
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN: return colours.Paint(reinterpret_cast<HDC>(wParam), false);
            case WM_DRAWITEM: {
                const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
                if (item->hwndItem != linkLabel) return FALSE;
                DrawLink(*item);
                return TRUE;
            }
            case WM_PAINT: Paint(hwnd); return TRUE;
            case WM_SETCURSOR: {
                const auto over = reinterpret_cast<HWND>(wParam);
                return (over == linkLabel || over == okButton) && SetHandCursor(hwnd, lParam);
            }
            case WM_COMMAND:
                if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                    EndDialog(hwnd, LOWORD(wParam));
                    return TRUE;
                }
                if (reinterpret_cast<HWND>(lParam) == linkLabel && HIWORD(wParam) == BN_CLICKED) {
                    openLink(info.LinkTarget);
                    return TRUE;
                }
                return FALSE;
            default: return FALSE;
        }
    }
};

INT_PTR CALLBACK AboutProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
            SetProgramIcon(hwnd);
            reinterpret_cast<TAboutBox*>(lParam)->Create(hwnd);
            return FALSE;  // the focus is on OK already
        }
        auto* box = reinterpret_cast<TAboutBox*>(GetWindowLongPtrW(hwnd, DWLP_USER));
        return box ? box->Handle(hwnd, message, wParam, lParam) : FALSE;
    } catch (...) {
        // The box is known from WM_INITDIALOG on, before any handler of ours can throw.
        if (auto* box = reinterpret_cast<TAboutBox*>(GetWindowLongPtrW(hwnd, DWLP_USER)))
            box->windows.Defer(std::current_exception());
        EndDialog(hwnd, IDCANCEL);
        return TRUE;
    }
}

}  // namespace

void TWin32SettingsView::ShowAbout(const TAboutInfo& about) {
    TAboutBox box(about, windows_, openLink_);
    const TEmptyTemplate aboutTemplate(kDialogStyle);
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), aboutTemplate.Get(), dialog_, AboutProc, reinterpret_cast<LPARAM>(&box));
}

std::unique_ptr<ISettingsView> CreateSettingsView(IWindowSystem& windows) {
    auto* system = dynamic_cast<TWin32WindowSystem*>(&windows);
    if (!system) throw Exception("TWin32SettingsView: the dialog needs the Windows window system!");
    return std::make_unique<TWin32SettingsView>(*system);
}
