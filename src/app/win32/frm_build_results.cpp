#include "app/win32/frm_build_results.h"

#include <algorithm>

#include "platform/win32/handles_win.h"

namespace {

const wchar_t kPlacementName[] = L"Build results";
constexpr int kListId = 100;
// Column stops of the rows "kind <tab> line <tab> text", in quarters of the
// font's average character.
constexpr int kTabStops[] = {44, 110};
// A first opening, in twips: below and right of the main window's corner.
constexpr int kDefaultWidth = 8400, kDefaultHeight = 2700;
constexpr int kDefaultOffset = 600;
// Rows measured for the horizontal scroll bar: the longest by characters.
constexpr std::size_t kRowsMeasured = 64;

std::wstring RowText(const ResultRow& row) {
    return row.kind + L"\t" + row.where + L"\t" + row.text;
}

// A saved place that no monitor shows any more (a screen unplugged) is not used.
bool OnSomeMonitor(const RECT& r) {
    return MonitorFromRect(&r, MONITOR_DEFAULTTONULL) != nullptr;
}

}  // namespace

FrmBuildResults::FrmBuildResults(UserSettings& user, GoToLine goToLine)
    : user_(user), goToLine_(std::move(goToLine)) {}

bool FrmBuildResults::Open(HWND owner) {
    if (Hwnd())
        return true;
    RegisterWindowClass(kBuildResultsClass);
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
    if (!Create(kBuildResultsClass, L"Build results", style, WS_EX_TOOLWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                CW_USEDEFAULT, CW_USEDEFAULT, owner))
        return false;
    RECT place{};
    const auto saved = user_.WindowPlace(kPlacementName);
    if (saved)
        place = {saved->left, saved->top, saved->left + saved->width, saved->top + saved->height};
    if (!saved || !OnSomeMonitor(place)) {
        RECT ownerRect{};
        GetWindowRect(owner, &ownerRect);
        place.left = ownerRect.left + Px(kDefaultOffset);
        place.top = ownerRect.top + Px(kDefaultOffset) * 3;
        place.right = place.left + Px(kDefaultWidth);
        place.bottom = place.top + Px(kDefaultHeight);
    }
    SetWindowPos(Hwnd(), nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY |
                                LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT,
                            0, 0, 0, 0, Hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)),
                            GetModuleHandleW(nullptr), nullptr);
    SetListFont();
    FollowOwnerEnabled();
    Layout();
    return true;
}

// The face of the system's small dialogs for the window's DPI; the tab stops,
// counted in the font's average character, go with it.
void FrmBuildResults::SetListFont() {
    font_.Reset(MakeMessageFont(8.25, Dpi()));
    SetControlFont(list_, font_.Get());
    SendMessageW(list_, LB_SETTABSTOPS, std::size(kTabStops), reinterpret_cast<LPARAM>(kTabStops));
}

void FrmBuildResults::Show(HWND owner, const BuildResults& results) {
    if (!Open(owner))
        return;
    Fill(results);
    ShowWindow(Hwnd(), SW_SHOWNORMAL);
    SetForegroundWindow(Hwnd());
    SetFocus(list_);
}

void FrmBuildResults::Update(const BuildResults& results) {
    if (Hwnd())
        Fill(results);
}

void FrmBuildResults::Fill(const BuildResults& results) {
    rows_ = results.rows;
    build_ = results.build;
    documentGeneration_ = results.documentGeneration;
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    std::vector<std::wstring> texts;
    texts.reserve(rows_.size());
    SendMessageW(list_, LB_INITSTORAGE, rows_.size(), rows_.size() * 64 * sizeof(wchar_t));
    for (const ResultRow& row : rows_) {
        texts.push_back(RowText(row));
        SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(texts.back().c_str()));
    }
    // The scroll bar's width comes from the rows with the most characters:
    // measuring every one of thousands would hold up this thread.
    std::vector<std::size_t> longest(texts.size());
    for (std::size_t i = 0; i < longest.size(); ++i)
        longest[i] = i;
    const std::size_t measured = std::min<std::size_t>(longest.size(), kRowsMeasured);
    std::partial_sort(longest.begin(), longest.begin() + static_cast<std::ptrdiff_t>(measured), longest.end(),
                      [&](std::size_t a, std::size_t b) { return texts[a].size() > texts[b].size(); });
    ScopedWindowDC windowDc(list_);
    const HDC dc = windowDc.Get();
    ScopedSelection font(dc, font_.Get());
    // The stops in pixels, for measuring the widest row for the scroll bar.
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int stops[] = {MulDiv(kTabStops[0], metrics.tmAveCharWidth, 4),
                         MulDiv(kTabStops[1], metrics.tmAveCharWidth, 4)};
    LONG widest = 0;
    for (std::size_t i = 0; i < measured; ++i) {
        const std::wstring& text = texts[longest[i]];
        const DWORD extent =
            GetTabbedTextExtentW(dc, text.c_str(), static_cast<int>(text.size()), std::size(stops), stops);
        widest = std::max<LONG>(widest, LOWORD(extent));
    }
    SendMessageW(list_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
    SendMessageW(list_, LB_SETCURSEL, 0, 0);
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

// A row without a line of the document (another file, no line, the output)
// has nowhere to go: a beep says so.
void FrmBuildResults::ActivateRow(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= rows_.size() || rows_[index].line == 0) {
        MessageBeep(MB_OK);
        return;
    }
    goToLine_(rows_[index].line, build_, documentGeneration_);
}

void FrmBuildResults::Layout() {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    MoveWindow(list_, 0, 0, client.right, client.bottom, TRUE);
}

void FrmBuildResults::SavePlace() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(Hwnd(), &placement))
        return;
    // A tool window's normal place is in screen coordinates.
    const RECT& r = placement.rcNormalPosition;
    user_.SetWindowPlace(kPlacementName, {r.left, r.top, r.right - r.left, r.bottom - r.top});
}

LRESULT FrmBuildResults::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            // Enter and Esc come as IDOK and IDCANCEL through the message
            // loop's dialog navigation.
            if (LOWORD(wParam) == IDCANCEL) {
                DestroyWindow(Hwnd());
            } else if (LOWORD(wParam) == IDOK ||
                       (LOWORD(wParam) == kListId && HIWORD(wParam) == LBN_DBLCLK)) {
                ActivateRow(static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0)));
            }
            return 0;
        case WM_SIZE:
            Layout();
            return 0;
        case WM_DPICHANGED: {
            // Moved to a monitor of another scale: the place Windows proposes, the font for it.
            const RECT& proposed = *reinterpret_cast<const RECT*>(lParam);
            SetListFont();
            SetWindowPos(Hwnd(), nullptr, proposed.left, proposed.top, proposed.right - proposed.left,
                         proposed.bottom - proposed.top, SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_SETFOCUS:
            SetFocus(list_);
            return 0;
        case WM_CLOSE:
            DestroyWindow(Hwnd());
            return 0;
        case WM_DESTROY:
            SavePlace();
            list_ = nullptr;
            return 0;
        default:
            return WindowBase::HandleMessage(message, wParam, lParam);
    }
}
