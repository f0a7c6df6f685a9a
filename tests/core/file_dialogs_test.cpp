// The Open and Save file dialogs: what they are asked, and what a confirmed or cancelled choice does.
#include "core/file_dialogs.h"

#include "core/modal_seam.h"
#include "support/dialog_driver.h"
#include "test_window.h"

#include <gtest/gtest.h>

#include <new>

using testhooks::ScopedModalSeam;

namespace {

struct Request {
    DWORD size = 0;
    HWND owner = nullptr;
    std::wstring filter;
    std::wstring initialName;
    DWORD maxFile = 0;
    std::wstring defaultExtension;
    DWORD flags = 0;
};

// Answers the file dialog by recording the request and choosing `choice` (none: cancel).
std::function<BOOL(OPENFILENAMEW&)> Chooser(Request& seen, const wchar_t* choice, int& calls)
{
    return [&seen, choice, &calls](OPENFILENAMEW& request) -> BOOL {
        ++calls;
        seen.size = request.lStructSize;
        seen.owner = request.hwndOwner;
        if (request.lpstrFilter) {
            const wchar_t* end = request.lpstrFilter;
            while (end[0] || end[1])
                ++end;
            seen.filter.assign(request.lpstrFilter, end + 2);
        }
        seen.initialName = request.lpstrFile;
        seen.maxFile = request.nMaxFile;
        seen.defaultExtension = request.lpstrDefExt ? request.lpstrDefExt : L"";
        seen.flags = request.Flags;
        // A user who typed a name and then cancelled: the buffer changed, the answer is no.
        wcscpy(request.lpstrFile, choice ? choice : L"typed then cancelled");
        return choice != nullptr;
    };
}

} // namespace

TEST(FileDialogs, SaveAsksWithExplorerOverwritePromptAndTheJoinedFilterAndReturnsTheChoice)
{
    testsupport::TestWindow owner;
    Request seen;
    int calls = 0;
    ModalSeam answers;
    answers.saveFileName = Chooser(seen, L"C:\\Отчёты\\debug.zip", calls);
    ScopedModalSeam scope(answers);

    std::wstring path = L"debug.zip";
    EXPECT_TRUE(SaveFileDlg(owner.get(), path, {L"Архив ZIP (*.zip)", L"*.zip", L"Все файлы (*.*)", L"*.*"}, L"zip"));
    EXPECT_EQ(path, L"C:\\Отчёты\\debug.zip");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen.size, sizeof(OPENFILENAMEW));
    EXPECT_EQ(seen.owner, owner.get());
    const std::wstring nul(1, L'\0');
    EXPECT_EQ(seen.filter, L"Архив ZIP (*.zip)" + nul + L"*.zip" + nul + L"Все файлы (*.*)" + nul + L"*.*" + nul + nul);
    EXPECT_EQ(seen.initialName, L"debug.zip");
    EXPECT_EQ(seen.maxFile, 260u);
    EXPECT_EQ(seen.defaultExtension, L"zip");
    EXPECT_EQ(seen.flags, 0x80006u);
}

TEST(FileDialogs, OpenAsksForAnExistingFileAndACancelLeavesThePathAsItWas)
{
    Request seen;
    int calls = 0;
    ModalSeam answers;
    answers.openFileName = Chooser(seen, nullptr, calls);
    ScopedModalSeam scope(answers);

    std::wstring path = L"C:\\presets.ini";
    EXPECT_FALSE(OpenFileDlg(nullptr, path, {L"INI", L"*.ini"}, L"ini"));
    EXPECT_EQ(path, L"C:\\presets.ini");
    EXPECT_EQ(seen.flags, 0x81004u);
    EXPECT_EQ(seen.initialName, L"C:\\presets.ini");
}

TEST(FileDialogs, APathOf260CharactersOrMoreIsRefusedBeforeAnyDialog)
{
    Request seen;
    int calls = 0;
    ModalSeam answers;
    answers.saveFileName = Chooser(seen, L"x", calls);
    ScopedModalSeam scope(answers);

    std::wstring path(260, L'a');
    EXPECT_THROW(SaveFileDlg(nullptr, path, {}, L""), std::bad_alloc);
    EXPECT_EQ(calls, 0);
    std::wstring fits(259, L'a');
    EXPECT_TRUE(SaveFileDlg(nullptr, fits, {}, L""));
    EXPECT_EQ(seen.initialName, std::wstring(259, L'a'));
}

TEST(FileDialogs, TheRealOpenDialogCancelledByTheUserReturnsFalse)
{
    testsupport::DialogDriver driver([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
    std::wstring path = L"C:\\windows\\win.ini";
    EXPECT_FALSE(OpenFileDlg(nullptr, path, {L"INI", L"*.ini"}, L"ini"));
    EXPECT_EQ(path, L"C:\\windows\\win.ini");
    EXPECT_EQ(driver.Answered().size(), 1u);
    EXPECT_FALSE(driver.TimedOut());
}
