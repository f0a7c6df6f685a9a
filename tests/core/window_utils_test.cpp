// Window text and the placing of a window beside its anchor.
#include "core/window_utils.h"

#include "test_window.h"

#include <gtest/gtest.h>

using testsupport::TestWindow;

namespace {

int g_moves = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_WINDOWPOSCHANGED && !(reinterpret_cast<WINDOWPOS*>(lParam)->flags & SWP_NOMOVE))
        ++g_moves;
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND Child(HWND parent, const wchar_t* className, int x, int y, int width, int height)
{
    return CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE, x, y, width, height, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

} // namespace

TEST(WindowText, IsReadInFullWhateverItsLength)
{
    TestWindow window;
    EXPECT_EQ(GetWindowTextStr(window.get()), L"owner");
    std::wstring longText(5000, L'ж');
    longText += L"конец";
    SetWindowTextW(window.get(), longText.c_str());
    EXPECT_EQ(GetWindowTextStr(window.get()), longText);
    SetWindowTextW(window.get(), L"");
    EXPECT_EQ(GetWindowTextStr(window.get()), L"");
}

TEST(PlaceWindow, PutsTheRightEdgeEightPixelsLeftOfTheAnchorKeepingSizeAndTopAndMovesOnlyOnce)
{
    WNDCLASSW description = {};
    description.lpfnWndProc = CountingProc;
    description.hInstance = GetModuleHandleW(nullptr);
    description.lpszClassName = L"NormsetCountingMoves";
    RegisterClassW(&description);

    TestWindow parent;
    HWND anchor = Child(parent.get(), L"STATIC", 200, 30, 80, 20);
    HWND moved = Child(parent.get(), L"NormsetCountingMoves", 10, 60, 50, 24);
    ASSERT_NE(moved, nullptr);
    RECT before = {};
    GetWindowRect(moved, &before);

    g_moves = 0;
    PlaceWindow(anchor, moved);
    RECT anchorRect = {};
    RECT after = {};
    GetWindowRect(anchor, &anchorRect);
    GetWindowRect(moved, &after);
    EXPECT_EQ(anchorRect.left - after.right, 8);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_EQ(after.right - after.left, 50);
    EXPECT_EQ(g_moves, 1);

    PlaceWindow(anchor, moved);
    EXPECT_EQ(g_moves, 1);
}

TEST(PlaceWindow, DoesNothingWhenARectangleCannotBeRead)
{
    TestWindow parent;
    HWND moved = Child(parent.get(), L"STATIC", 10, 60, 50, 24);
    RECT before = {};
    GetWindowRect(moved, &before);
    PlaceWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7ffe1234)), moved);
    RECT after = {};
    GetWindowRect(moved, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
}
