// How velmar-sim answers the library's real dialogs: message boxes from the scripted user's answers,
// the error dialog by saving its archive, whose trace log it then reads back.
#include "core/display_name.h"
#include "core/modal_seam.h"
#include "core/progress_wnd.h"
#include "core/trace_log.h"
#include "library/command_table.h"
#include "library/exports.h"
#include "objects/bad_response.h"
#include "sim/app/debug_archive.h"
#include "sim/app/dialog_answerer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::HasSubstr;

TEST(RunnerDialogs, ErrorDialogIsSavedAndItsTraceLogReadBack)
{
    testhooks::ScopedModalSeam real(RealModalSeam());
    sim::ScriptedUser user;
    int flushes = 0;
    velmar_sim::DialogAnswerer answerer(user, [&] { ++flushes; });
    testhooks::ScopedLibCommand command(2, [] {
        TraceScope scope(L"Finder::Run");
        throw BadResponse(L"No location");
    });
    LIBRARYENTRY(2);
    const std::optional<std::wstring> archive = answerer.TakeSavedArchive();
    ASSERT_TRUE(archive.has_value());
    const std::optional<std::wstring> log = velmar_sim::ReadDebugLog(*archive);
    ASSERT_TRUE(log.has_value());
    EXPECT_THAT(*log, testing::StartsWith(L"LIBRARYENTRY\r\n{ExecuteLibCommand\r\n"));
    EXPECT_THAT(*log, HasSubstr(L"\t{Finder::Run\r\n\t\tEXCEPTION!\r\n"));
    EXPECT_THAT(*log, HasSubstr(L"\tBad response!\r\n"));
    EXPECT_FALSE(answerer.TakeSavedArchive().has_value());
    EXPECT_GT(flushes, 0);
}

TEST(RunnerDialogs, MessageBoxTakesTheQueuedAnswerElseItsDefault)
{
    testhooks::ScopedModalSeam real(RealModalSeam());
    SetLibraryDisplayName(L"Нормсет");
    sim::ScriptedUser user;
    user.Answer("message", _variant_t(static_cast<long>(IDNO)));
    velmar_sim::DialogAnswerer answerer(user, [] {});
    EXPECT_EQ(ShowMessageBox(nullptr, L"Продолжить?", L"Нормсет", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(ShowMessageBox(nullptr, L"Готово.", L"Нормсет", MB_OK), IDOK);
    // Unanswered, a question takes the button it was asked with as its default.
    EXPECT_EQ(ShowMessageBox(nullptr, L"Обновить?", L"Нормсет", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(ShowMessageBox(nullptr, L"Удалить?", L"Нормсет", MB_YESNO | MB_DEFBUTTON2), IDNO);
    ASSERT_EQ(user.Questions().size(), 4u);
    EXPECT_EQ(user.Questions()[0].text, L"Продолжить?");
    EXPECT_EQ(user.Questions()[0].caption, L"Нормсет");
    EXPECT_EQ(user.Questions()[0].flags, MB_YESNO);
    EXPECT_TRUE(user.Questions()[0].answered);
    EXPECT_EQ(user.Questions()[1].text, L"Готово.");
    EXPECT_FALSE(user.Questions()[1].answered);
    SetLibraryDisplayName(L"");
}

TEST(RunnerDialogs, ProgressWindowStaysOpenPastTheWaitForAnUnansweredDialog)
{
    sim::ScriptedUser user;
    int seen = 0;
    velmar_sim::DialogAnswerer answerer(user, [&] { ++seen; }, 0);
    ProgressWnd progress(nullptr, 2, L"Нормсет");
    ASSERT_NE(progress.Window(), nullptr);
    // The pass pumps only its window's messages; a question over the window lets the answerer's timer
    // run, as this loop does until the answerer has seen the window.
    MSG message;
    while (seen == 0 && GetMessageW(&message, nullptr, 0, 0))
        DispatchMessageW(&message);
    EXPECT_TRUE(IsWindowVisible(progress.Window()));
    progress.Step();
    progress.Step();
    EXPECT_FALSE(progress.Cancelled());
    EXPECT_TRUE(IsWindowVisible(progress.Window()));
}
