// The catch-all of a command and the command entry: every failure kind's trace, title, message, box and
// dialog, against the modal seam (and once against the real error dialog under the test display).
#include "library/command_dispatch.h"

#include "core/com_convert.h"
#include "core/data_convert_error.h"
#include "core/debug_info_dlg.h"
#include "core/display_name.h"
#include "core/files.h"
#include "core/modal_seam.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "core/vbscript_host.h"
#include "library/exports.h"
#include "objects/bad_response.h"
#include "objects/cant_create_spc_obj.h"
#include "resources/resource.h"
#include "support/dialog_driver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <stdexcept>

using testhooks::ScopedLibCommand;
using testhooks::ScopedModalSeam;
using testing::HasSubstr;
using testing::Not;

namespace {

struct Box {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT style;
};

struct Dialog {
    int id;
    HWND owner;
    std::wstring message;
    std::wstring details;
    bool logOpen;   // the command's root log was still current while the dialog ran
};

// Answers every message box and dialog of the library and records them.
class Seam {
public:
    Seam()
        : scoped_([this] {
              ModalSeam seam;
              seam.messageBox = [this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT style) {
                  boxes.push_back({owner, text, caption, style});
                  return IDOK;
              };
              seam.dialogBox = [this](HINSTANCE, int id, HWND owner, DLGPROC, LPARAM param) -> INT_PTR {
                  const auto* report = reinterpret_cast<const DebugInfoDlg*>(param);
                  dialogs.push_back({id, owner, report->Message(), report->Details(), TraceLog::Current() != nullptr});
                  return IDCANCEL;
              };
              return seam;
          }())
    {
    }

    std::vector<Box> boxes;
    std::vector<Dialog> dialogs;

private:
    ScopedModalSeam scoped_;
};

struct Outcome {
    bool result;
    std::wstring title;
    std::wstring message;
    std::wstring log;
};

// Runs the command under the catch-all with a log of its own; title and message start as markers, so
// that "unchanged" shows.
Outcome Execute(const LibCommandFunction& command)
{
    TraceLog log(L"test", false);
    Outcome outcome{false, L"(title)", L"(message)", L""};
    outcome.result = ExecuteLibCommand(command, outcome.title, outcome.message);
    outcome.log = log.Text();
    return outcome;
}

class CommandDispatchTest : public testing::Test {
protected:
    void SetUp() override { SetLibraryDisplayName(L"Нормсет"); }
    void TearDown() override
    {
        SetLibraryDisplayName(L"");
        testhooks::ResetLanguage();
        testhooks::ResetCurrentTraceLog();
    }

    Seam seam_;
};

} // namespace

TEST_F(CommandDispatchTest, ACommandThatReturnsChangesNothing)
{
    bool ran = false;
    const Outcome outcome = Execute([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.title, L"(title)");
    EXPECT_EQ(outcome.message, L"(message)");
    EXPECT_TRUE(seam_.boxes.empty());
}

TEST_F(CommandDispatchTest, TracesTheLibraryAndHostVersionsAndThePlatform)
{
    const Outcome outcome = Execute([] {});
    const std::wstring version = GetFileVersionString(GetModulePath());
    ASSERT_FALSE(version.empty());
    // Without Velmar's application its version reads as zeros.
    EXPECT_THAT(outcome.log, HasSubstr(L"{ExecuteLibCommand\r\n\tclient_ver=" + version +
                                       L"\r\n\tvelmar_ver=0.0.0.0\r\n\tx64\r\n"));
}

TEST_F(CommandDispatchTest, WarningIsShownAtOnceOverTheDesktopAndEndsQuietly)
{
    const Outcome outcome = Execute([] { throw _bstr_t(L"Нет активного документа."); });
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.title, L"(title)");
    EXPECT_EQ(outcome.message, L"Нет активного документа.");
    ASSERT_EQ(seam_.boxes.size(), 1u);
    EXPECT_EQ(seam_.boxes[0].owner, nullptr);
    EXPECT_EQ(seam_.boxes[0].text, L"Нет активного документа.");
    EXPECT_EQ(seam_.boxes[0].caption, L"Нормсет");
    EXPECT_EQ(seam_.boxes[0].style, static_cast<UINT>(0x30));
    EXPECT_THAT(outcome.log, HasSubstr(L"\tWarning!\r\n\taErrMsg=\"Нет активного документа.\"\r\n"));
}

TEST_F(CommandDispatchTest, ComErrorShowsItsCodeAndText)
{
    const Outcome outcome = Execute([] { throw _com_error(E_FAIL); });
    EXPECT_TRUE(outcome.result);
    EXPECT_EQ(outcome.title, L"Ошибка COM");
    EXPECT_EQ(outcome.message, ComErrorToWString(_com_error(E_FAIL)));
    EXPECT_THAT(outcome.message, testing::StartsWith(L"0x80004005"));
    EXPECT_THAT(outcome.log, HasSubstr(L"\tCOM Error!\r\n\taErrMsg=\"0x80004005"));
    EXPECT_TRUE(seam_.boxes.empty());
}

TEST_F(CommandDispatchTest, EmptyWideStringIsAPlannedRollbackWithNothingShown)
{
    const Outcome outcome = Execute([] { throw std::wstring(); });
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.title, L"(title)");
    EXPECT_EQ(outcome.message, L"(message)");
    EXPECT_THAT(outcome.log, HasSubstr(L"\tPlanned rollback!\r\n"));
    EXPECT_THAT(outcome.log, Not(HasSubstr(L"aErrMsg")));
    EXPECT_TRUE(seam_.boxes.empty());
}

TEST_F(CommandDispatchTest, InternalErrorsShowTheirText)
{
    const Outcome text = Execute([] { throw std::wstring(L"Ошибка при запуске Справочника (код ошибки 0x80040154)."); });
    EXPECT_TRUE(text.result);
    EXPECT_EQ(text.title, L"Внутренняя ошибка");
    EXPECT_EQ(text.message, L"Ошибка при запуске Справочника (код ошибки 0x80040154).");
    EXPECT_THAT(text.log, HasSubstr(L"\tInternal error!\r\n\taErrMsg=\"Ошибка при запуске"));

    const Outcome convert = Execute([] { throw DataConvertError(DataConvertError::InvalidArgument, L"StrToDouble", L"x"); });
    EXPECT_TRUE(convert.result);
    EXPECT_EQ(convert.title, L"Внутренняя ошибка");
    EXPECT_EQ(convert.message, L"StrToDouble(x) invalid argument.");
    EXPECT_THAT(convert.log, HasSubstr(L"\tData convert error!\r\n\taErrMsg=\"StrToDouble(x) invalid argument.\""));
}

TEST_F(CommandDispatchTest, BadResponseNamesItsReason)
{
    const Outcome outcome = Execute([] { throw BadResponse(L"No response"); });
    EXPECT_TRUE(outcome.result);
    EXPECT_EQ(outcome.title, L"Внутренняя ошибка");
    EXPECT_EQ(outcome.message, L"Данные об изделии некорректны (No response).");
    EXPECT_THAT(outcome.log, HasSubstr(L"\tBad response!\r\n\taErrMsg=\"Данные об изделии некорректны (No response).\""));
}

TEST_F(CommandDispatchTest, StandardLibraryFailureShowsItsDescription)
{
    const Outcome outcome = Execute([] { throw std::out_of_range("map::at"); });
    EXPECT_TRUE(outcome.result);
    EXPECT_EQ(outcome.title, L"Ошибка STL");
    EXPECT_EQ(outcome.message, L"map::at");
    EXPECT_THAT(outcome.log, HasSubstr(L"\tSTL Error!\r\n\taErrMsg=\"map::at\""));

    // A description the code page cannot carry still reaches the user.
    const Outcome bytes = Execute([] { throw std::runtime_error("bad \xff byte"); });
    EXPECT_EQ(bytes.title, L"Ошибка STL");
    EXPECT_THAT(bytes.message, HasSubstr(L"byte"));
}

TEST_F(CommandDispatchTest, ScriptErrorIsNotTakenForAStandardLibraryFailure)
{
    const Outcome outcome = Execute([] { throw VBScriptError(L"Line 3, position 7: Type mismatch"); });
    EXPECT_TRUE(outcome.result);
    EXPECT_EQ(outcome.title, L"Ошибка выполнения");
    EXPECT_EQ(outcome.message, L"Не удалось построить элемент.\r\n\r\nLine 3, position 7: Type mismatch");
    EXPECT_THAT(outcome.log, HasSubstr(L"\tVB Script Error!\r\n\terr_msg=\"Line 3, position 7: Type mismatch\"\r\n"));
    EXPECT_THAT(outcome.log, Not(HasSubstr(L"aErrMsg")));
}

TEST_F(CommandDispatchTest, FailedSpecificationObjectIsAKnownInternalError)
{
    const Outcome outcome = Execute([] { throw CantCreateSpcObj(); });
    EXPECT_TRUE(outcome.result);
    EXPECT_EQ(outcome.title, L"Внутренняя ошибка");
    EXPECT_EQ(outcome.message, L"Не удалось создать объект спецификации.");
    EXPECT_THAT(outcome.log, HasSubstr(L"\tInternal error!\r\n\taErrMsg=\"Не удалось создать объект спецификации.\""));
}

TEST_F(CommandDispatchTest, AnythingElseIsUnexpectedWithAnEmptyMessage)
{
    const Outcome outcome = Execute([] { throw 42; });
    EXPECT_TRUE(outcome.result);
    EXPECT_EQ(outcome.title, L"Неизвестная ошибка");
    EXPECT_EQ(outcome.message, L"(message)");
    EXPECT_THAT(outcome.log, HasSubstr(L"\tUnexpected Error!\r\n"));
    EXPECT_THAT(outcome.log, Not(HasSubstr(L"aErrMsg")));
}

TEST_F(CommandDispatchTest, TheTraceOfACaughtFailureNamesEveryKindTheCatchTableKnows)
{
    struct Row {
        std::function<void()> raise;
        const wchar_t* line;
    };
    const Row rows[] = {
        {[] { throw _bstr_t(L"Осторожно"); }, L"at: Осторожно"},
        {[] { throw BadResponse(L"No response"); }, L"at: Данные об изделии некорректны (No response)."},
        {[] { throw CantCreateSpcObj(); }, L"at: Не удалось создать объект спецификации."},
        {[] { throw VBScriptError(L"Type mismatch"); }, L"at: Не удалось построить элемент.\r\n\r\nType mismatch"},
        {[] { throw std::wstring(); }, L"at: Planned rollback!"},
    };
    for (const Row& row : rows) {
        TraceLog log(L"LOG", false);
        try {
            row.raise();
        } catch (...) {
            TraceCurrentException(L"at");
        }
        EXPECT_EQ(log.Text(), L"LOG\r\n" + std::wstring(row.line) + L"\r\n");
    }
}

TEST_F(CommandDispatchTest, TitlesAndFixedMessagesAreTranslatedButThrownTextsAreNot)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"normset_dispatch_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(WriteUnicodeFile(L"\r\n#I\r\n1 Внутренняя ошибка\r\n2 Данные об изделии некорректны\r\n"
                                 L"3 Ошибка выполнения\r\n4 Не удалось построить элемент.\r\n",
                                 folder + L"default.lng"));
    ASSERT_TRUE(WriteUnicodeFile(L"\r\n#I\r\n1 Internal error\r\n2 Bad part data\r\n3 Run-time error\r\n"
                                 L"4 The element could not be built.\r\n",
                                 folder + L"english.lng"));
    LoadLanguage(folder, L"english");
    std::filesystem::remove_all(folder);

    const Outcome bad = Execute([] { throw BadResponse(L"No response"); });
    EXPECT_EQ(bad.title, L"Internal error");
    EXPECT_EQ(bad.message, L"Bad part data (No response).");
    const Outcome text = Execute([] { throw std::wstring(L"Внутренняя ошибка"); });
    EXPECT_EQ(text.message, L"Внутренняя ошибка");
    const Outcome script = Execute([] { throw VBScriptError(L"x"); });
    EXPECT_EQ(script.title, L"Run-time error");
    EXPECT_EQ(script.message, L"The element could not be built.\r\n\r\nx");
}

TEST_F(CommandDispatchTest, EntryShowsTheErrorDialogWithTheCommandsLog)
{
    ScopedLibCommand command(2, [] { throw std::wstring(L"Сбой"); });
    LIBRARYENTRY(2);
    EXPECT_TRUE(seam_.boxes.empty());
    ASSERT_EQ(seam_.dialogs.size(), 1u);
    const Dialog& dialog = seam_.dialogs[0];
    EXPECT_EQ(dialog.id, IDD_DEBUG_INFO);
    EXPECT_EQ(dialog.owner, nullptr);   // no application: the desktop
    EXPECT_EQ(dialog.message, L"Внутренняя ошибка");
    EXPECT_EQ(dialog.details, L"Сбой");
    EXPECT_TRUE(dialog.logOpen);
    EXPECT_EQ(TraceLog::Current(), nullptr);   // the root log is closed afterwards
}

TEST_F(CommandDispatchTest, EntryGivesTheDialogTheRootLogWithItsMark)
{
    std::wstring logSeen;
    ScopedModalSeam capture([&] {
        ModalSeam answers;
        answers.dialogBox = [&](HINSTANCE, int, HWND, DLGPROC, LPARAM) -> INT_PTR {
            logSeen = TraceLog::Current() ? TraceLog::Current()->Text() : L"(no log)";
            return IDCANCEL;
        };
        return answers;
    }());
    ScopedLibCommand command(68, [] {
        TraceScope scope(L"Relink");
        throw BadResponse(L"No location");
    });
    LIBRARYENTRY(68);
    EXPECT_THAT(logSeen, testing::StartsWith(L"\xFEFF" L"LIBRARYENTRY\r\n{ExecuteLibCommand\r\n"));
    EXPECT_THAT(logSeen, HasSubstr(L"\t{Relink\r\n\t\tEXCEPTION!\r\n"));
    EXPECT_THAT(logSeen, HasSubstr(L"\tBad response!\r\n"));
}

TEST_F(CommandDispatchTest, EntryShowsOnlyTheBoxForAWarningAndNothingForARollback)
{
    {
        ScopedLibCommand command(1, [] { throw _bstr_t(L"Документ не подходит."); });
        LIBRARYENTRY(1);
    }
    ASSERT_EQ(seam_.boxes.size(), 1u);
    EXPECT_EQ(seam_.boxes[0].text, L"Документ не подходит.");
    EXPECT_TRUE(seam_.dialogs.empty());
    {
        ScopedLibCommand command(4, [] { throw std::wstring(); });
        LIBRARYENTRY(4);
    }
    EXPECT_EQ(seam_.boxes.size(), 1u);
    EXPECT_TRUE(seam_.dialogs.empty());
}

TEST_F(CommandDispatchTest, EntryRunsNothingForNumbersThatAreNoCommands)
{
    int calls = 0;
    ScopedLibCommand zero(0, [&] { ++calls; throw 1; });
    ScopedLibCommand eight(8, [&] { ++calls; throw 1; });
    ScopedLibCommand sixtySix(66, [&] { ++calls; throw 1; });
    for (unsigned number : {0u, 8u, 66u, 69u, 0xFFFFFFFFu})
        LIBRARYENTRY(number);
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(seam_.boxes.empty());
    EXPECT_TRUE(seam_.dialogs.empty());
    EXPECT_EQ(TraceLog::Current(), nullptr);
}

TEST_F(CommandDispatchTest, HiddenSelectionRunsWithoutLogAndSwallowsItsFailure)
{
    bool hadLog = true;
    ScopedLibCommand command(67, [&] {
        hadLog = TraceLog::Current() != nullptr;
        throw _bstr_t(L"Нет активного документа.");
    });
    LIBRARYENTRY(67);
    EXPECT_FALSE(hadLog);
    EXPECT_TRUE(seam_.boxes.empty());
    EXPECT_TRUE(seam_.dialogs.empty());
}

TEST_F(CommandDispatchTest, HelpOpensTopic60OfTheHelpFile)
{
    struct Call {
        HWND owner;
        std::wstring path;
        UINT command;
        DWORD_PTR data;
    };
    std::vector<Call> calls;
    bool hadLog = false;
    testhooks::ScopedHtmlHelp help([&](HWND owner, const std::wstring& path, UINT command, DWORD_PTR data) {
        calls.push_back({owner, path, command, data});
        hadLog = TraceLog::Current() != nullptr;
        return static_cast<HWND>(nullptr);
    });
    LIBRARYENTRY(7);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].owner, nullptr);
    EXPECT_EQ(calls[0].path, std::wstring(LIBRARYHELPFILEW()));
    EXPECT_THAT(calls[0].path, testing::EndsWith(L"\\VAZEZadAzuduv.chm"));
    EXPECT_EQ(calls[0].command, 15u);
    EXPECT_EQ(calls[0].data, 60u);
    EXPECT_TRUE(hadLog);
    EXPECT_TRUE(seam_.dialogs.empty());
}

TEST_F(CommandDispatchTest, FailuresOfHelpAndOfShowingTheFailureStayInsideTheLibrary)
{
    testhooks::ScopedHtmlHelp help([](HWND, const std::wstring&, UINT, DWORD_PTR) -> HWND { throw _com_error(E_POINTER); });
    EXPECT_NO_THROW(LIBRARYENTRY(7));

    ScopedModalSeam failing([] {
        ModalSeam answers;
        answers.messageBox = [](HWND, const std::wstring&, const std::wstring&, UINT) -> int { throw _com_error(E_POINTER); };
        answers.dialogBox = [](HINSTANCE, int, HWND, DLGPROC, LPARAM) -> INT_PTR { throw _com_error(E_POINTER); };
        return answers;
    }());
    {
        ScopedLibCommand command(1, [] { throw _bstr_t(L"warning"); });
        EXPECT_NO_THROW(LIBRARYENTRY(1));
    }
    {
        ScopedLibCommand command(1, [] { throw 1; });
        EXPECT_NO_THROW(LIBRARYENTRY(1));
    }
    EXPECT_EQ(TraceLog::Current(), nullptr);
}

TEST_F(CommandDispatchTest, RealErrorDialogShowsTitleAndMessageAndIsAnswered)
{
    ScopedModalSeam real(RealModalSeam());
    std::wstring shownTitle;
    std::wstring shownMessage;
    testsupport::DialogDriver driver([&](HWND dialog) {
        shownTitle = testsupport::ControlText(dialog, IDC_DEBUG_MESSAGE);
        shownMessage = testsupport::ControlText(dialog, IDC_DEBUG_DETAILS);
        testsupport::PressButton(dialog, IDCANCEL);
    });
    ScopedLibCommand command(3, [] { throw BadResponse(L"No objects in response"); });
    LIBRARYENTRY(3);
    EXPECT_FALSE(driver.TimedOut());
    ASSERT_EQ(driver.Answered().size(), 1u);
    EXPECT_EQ(shownTitle, L"Внутренняя ошибка");
    EXPECT_EQ(shownMessage, L"Данные об изделии некорректны (No objects in response).");
}
