// The progress window of long loops, as a user sees and closes it, under the test display.
#include "core/progress_wnd.h"

#include "core/trace_log.h"
#include "resources/resource.h"
#include "test_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

using testsupport::TestWindow;

namespace {

std::wstring WindowText(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// A loop as the library runs it: advance, update, stop when the user has cancelled.
int RunLoop(ProgressWnd& progress, int count, int cancelAt, HWND cancelTarget = nullptr)
{
    int done = 0;
    for (int i = 0; i < count && !progress.Cancelled(); ++i) {
        if (i == cancelAt)
            PostMessageW(cancelTarget ? cancelTarget : progress.Window(), WM_COMMAND, IDCANCEL, 0);
        ++done;
        progress.Step();
    }
    return done;
}

} // namespace

TEST(ProgressWnd, OpensVisibleWithCaptionRangeIconAndCancelOverAnEnabledOwner)
{
    TestWindow owner;
    ProgressWnd progress(owner.get(), 40, L"Нормсет");
    HWND window = progress.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetWindow(window, GW_OWNER), owner.get());
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
    EXPECT_EQ(WindowText(window), L"Нормсет");
    EXPECT_EQ(WindowText(GetDlgItem(window, IDCANCEL)), L"Отмена");
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);

    HWND bar = GetDlgItem(window, IDC_PROGRESS_BAR);
    EXPECT_EQ(progress.Bar(), bar);
    PBRANGE range = {};
    SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 40);
    EXPECT_EQ(progress.Position(), 0);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 0);
    EXPECT_FALSE(progress.Cancelled());
    EXPECT_EQ(ProgressWnd::Current(), &progress);
}

TEST(ProgressWnd, StepsShowThePositionAndAPositionBeyondTheMaximumShowsFull)
{
    TestWindow owner;
    ProgressWnd progress(owner.get(), 10, L"x");
    progress.Step();
    progress.Step();
    EXPECT_EQ(progress.Position(), 2);
    EXPECT_EQ(SendMessageW(progress.Bar(), PBM_GETPOS, 0, 0), 2);
    progress.SetPosition(25);
    progress.Update();
    EXPECT_EQ(SendMessageW(progress.Bar(), PBM_GETPOS, 0, 0), 10);
    EXPECT_FALSE(progress.Cancelled());
}

TEST(ProgressWnd, ClickingCancelStopsTheLoopAtTheNextUpdateAndTheDestructorDestroysNothingTwice)
{
    TestWindow owner;
    HWND window = nullptr;
    {
        ProgressWnd progress(owner.get(), 100, L"x");
        window = progress.Window();
        HWND cancel = GetDlgItem(window, IDCANCEL);
        int done = 0;
        for (int i = 0; i < 100 && !progress.Cancelled(); ++i) {
            if (i == 3)
                PostMessageW(cancel, BM_CLICK, 0, 0);
            ++done;
            progress.Step();
        }
        EXPECT_EQ(done, 4);
        EXPECT_TRUE(progress.Cancelled());
        EXPECT_EQ(progress.Window(), nullptr);
        EXPECT_FALSE(IsWindow(window));
        // Cancelled stays cancelled; updating a closed window does nothing.
        progress.Update();
        EXPECT_TRUE(progress.Cancelled());
    }
    EXPECT_TRUE(IsWindow(owner.get()));
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
}

TEST(ProgressWnd, ACancelCommandEscapeAndTheCloseBoxAllCancel)
{
    TestWindow owner;
    {
        ProgressWnd progress(owner.get(), 5, L"x");
        EXPECT_EQ(RunLoop(progress, 5, 1), 2);
        EXPECT_TRUE(progress.Cancelled());
    }
    {
        ProgressWnd progress(owner.get(), 5, L"x");
        PostMessageW(progress.Window(), WM_CLOSE, 0, 0);
        progress.Update();
        EXPECT_TRUE(progress.Cancelled());
        EXPECT_EQ(progress.Window(), nullptr);
    }
    {
        ProgressWnd progress(owner.get(), 5, L"x");
        HWND cancel = GetDlgItem(progress.Window(), IDCANCEL);
        SetFocus(cancel);
        PostMessageW(cancel, WM_KEYDOWN, VK_ESCAPE, 0);
        progress.Update();
        EXPECT_TRUE(progress.Cancelled());
    }
}

TEST(ProgressWnd, UpdateTakesOnlyItsOwnMessagesAndLeavesTheOwnersInTheQueue)
{
    TestWindow owner;
    ProgressWnd progress(owner.get(), 5, L"x");
    const UINT probe = WM_APP + 17;
    MSG drained;
    while (PeekMessageW(&drained, owner.get(), probe, probe, PM_REMOVE)) {
    }
    PostMessageW(owner.get(), probe, 1, 2);
    progress.Step();
    MSG message = {};
    ASSERT_TRUE(PeekMessageW(&message, owner.get(), probe, probe, PM_REMOVE));
    EXPECT_EQ(message.wParam, 1u);
    EXPECT_EQ(message.lParam, 2);
}

TEST(ProgressWnd, DestructorClosesAnOpenWindow)
{
    TestWindow owner;
    HWND window = nullptr;
    {
        ProgressWnd progress(owner.get(), 5, L"x");
        window = progress.Window();
        ASSERT_TRUE(IsWindow(window));
    }
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(ProgressWnd::Current(), nullptr);
}

TEST(ProgressWnd, AWindowThatCannotBeCreatedIsNoCancelAndTheLoopRunsToItsEnd)
{
    TraceLog log(L"test", false);
    // A handle that names no window: creation fails as it does without a display.
    HWND noWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7ffe1234));
    ASSERT_FALSE(IsWindow(noWindow));
    ProgressWnd progress(noWindow, 7, L"x");
    EXPECT_EQ(progress.Window(), nullptr);
    EXPECT_FALSE(progress.Cancelled());
    int done = 0;
    for (int i = 0; i < 7 && !progress.Cancelled(); ++i) {
        ++done;
        progress.Step();
    }
    EXPECT_EQ(done, 7);
    EXPECT_NE(log.Text().find(L"could not be created"), std::wstring::npos) << log.Text();
}

TEST(ProgressWnd, AnInnerWindowNeitherCancelsNorHidesTheOuterOneWhichIsCurrentAgainAfterIt)
{
    TestWindow owner;
    ProgressWnd outer(owner.get(), 3, L"outer");
    HWND outerWindow = outer.Window();
    {
        ProgressWnd inner(owner.get(), 4, L"inner");
        EXPECT_EQ(ProgressWnd::Current(), &inner);
        EXPECT_NE(inner.Window(), outerWindow);
        // The user cancels the inner loop only.
        EXPECT_EQ(RunLoop(inner, 4, 0), 1);
        EXPECT_TRUE(inner.Cancelled());
        outer.Step();
        EXPECT_FALSE(outer.Cancelled());
        EXPECT_EQ(outer.Window(), outerWindow);
        EXPECT_TRUE(IsWindowVisible(outerWindow));
    }
    EXPECT_EQ(ProgressWnd::Current(), &outer);
    {
        // An inner loop that runs to its end leaves the outer one as it was, too.
        ProgressWnd inner(owner.get(), 2, L"inner");
        EXPECT_EQ(RunLoop(inner, 2, -1), 2);
    }
    outer.Step();
    EXPECT_FALSE(outer.Cancelled());
    EXPECT_TRUE(IsWindowVisible(outerWindow));
    EXPECT_EQ(SendMessageW(outer.Bar(), PBM_GETPOS, 0, 0), 2);
}

TEST(ProgressWnd, TheOuterWindowCancelledDuringAnInnerLoopStopsTheOuterLoopOnly)
{
    TestWindow owner;
    ProgressWnd outer(owner.get(), 3, L"outer");
    ProgressWnd inner(owner.get(), 3, L"inner");
    PostMessageW(outer.Window(), WM_COMMAND, IDCANCEL, 0);
    // The inner window pumps only its own messages; the outer one sees its Cancel at its own update.
    inner.Step();
    EXPECT_FALSE(inner.Cancelled());
    outer.Step();
    EXPECT_TRUE(outer.Cancelled());
    EXPECT_FALSE(inner.Cancelled());
    EXPECT_NE(inner.Window(), nullptr);
}
