// Balloon tips that point at a control with an input error.
#include "core/balloon_tip.h"

#include "test_window.h"

#include <commctrl.h>
#include <windowsx.h>
#include <gtest/gtest.h>

using testsupport::TestWindow;

namespace {

// What the tool tip was told, noted by a subclass in front of the control's own procedure.
struct Told {
    std::wstring title;
    WPARAM titleIcon = 0;
    LPARAM trackPosition = 0;
    int activations = 0;
};
Told g_told;
WNDPROC g_toolTipProc = nullptr;

LRESULT CALLBACK Noting(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TTM_SETTITLEW) {
        g_told.title = reinterpret_cast<const wchar_t*>(lParam);
        g_told.titleIcon = wParam;
    } else if (message == TTM_TRACKPOSITION) {
        g_told.trackPosition = lParam;
    } else if (message == TTM_TRACKACTIVATE && wParam) {
        ++g_told.activations;
    }
    return CallWindowProcW(g_toolTipProc, window, message, wParam, lParam);
}

std::wstring ClassName(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

} // namespace

TEST(BalloonTip, IsATopmostBalloonToolTipOwnedByTheDialog)
{
    TestWindow parent;
    HWND tip = CreateBalloonToolTip(parent.get());
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(ClassName(tip), TOOLTIPS_CLASSW);
    EXPECT_EQ(GetWindow(tip, GW_OWNER), parent.get());
    const DWORD style = static_cast<DWORD>(GetWindowLongW(tip, GWL_STYLE));
    EXPECT_EQ(style & 0x80000042u, 0x80000042u); // popup, balloon, no prefix
    EXPECT_TRUE(GetWindowLongW(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
    DestroyWindow(tip);
}

TEST(BalloonTip, ShowsTheTextUnderAnErrorTitleStartsTheParentsTimerAndHidesForGood)
{
    TestWindow parent;
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 20, 40, 160, 24, parent.get(),
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    HWND tip = CreateBalloonToolTip(parent.get());
    ASSERT_NE(tip, nullptr);
    g_told = Told();
    g_toolTipProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(tip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Noting)));
    ShowBalloonTip(tip, edit, L"Ошибка ввода", L"Недопустимый символ");

    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    wchar_t text[128] = {};
    TOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.lpszText = text;
    ASSERT_TRUE(SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(std::wstring(text), L"Недопустимый символ");
    EXPECT_EQ(tool.hwnd, edit);
    EXPECT_TRUE(tool.uFlags & TTF_TRACK);

    EXPECT_EQ(g_told.title, L"Ошибка ввода");
    EXPECT_EQ(g_told.titleIcon, static_cast<WPARAM>(TTI_ERROR));
    // A quarter of the way into the control, at its bottom edge, on the screen.
    RECT rect = {};
    GetWindowRect(edit, &rect);
    EXPECT_EQ(GET_X_LPARAM(g_told.trackPosition), rect.left + (rect.right - rect.left) / 4);
    EXPECT_EQ(GET_Y_LPARAM(g_told.trackPosition), rect.bottom);
    EXPECT_EQ(g_told.activations, 1);
    EXPECT_TRUE(IsWindowVisible(tip));

    // Timer 1 is running on the parent: killing it succeeds exactly once.
    EXPECT_TRUE(KillTimer(parent.get(), BalloonTimerId));
    EXPECT_FALSE(KillTimer(parent.get(), BalloonTimerId));

    HideBalloonTip(tip);
    EXPECT_FALSE(IsWindow(tip));
}
