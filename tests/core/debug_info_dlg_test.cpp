// The error dialog with the debug report, driven as a user would under the test display.
#include "core/debug_info_dlg.h"

#include "core/display_name.h"
#include "core/files.h"
#include "core/modal_seam.h"
#include "core/translate.h"
#include "resources/resource.h"
#include "support/dialog_driver.h"
#include "scratch_folder.h"
#include "zip_reader.h"

#include <gtest/gtest.h>

using namespace testsupport;
using testhooks::ScopedModalSeam;

namespace {

const std::wstring LogText = L"\xFEFF" L"LIBRARYENTRY\r\n{Normset::Run\r\n}\r\n";

class DebugInfoDlgTest : public ::testing::Test {
protected:
    void SetUp() override { SetLibraryDisplayName(L"Нормсет"); }
    void TearDown() override
    {
        SetLibraryDisplayName(L"");
        testhooks::ResetLanguage();
    }

    // The file dialog's answer: records the request and chooses `choice`, or cancels when it is empty.
    std::function<BOOL(OPENFILENAMEW&)> SaveAnswer(const std::wstring& choice)
    {
        return [this, choice](OPENFILENAMEW& request) -> BOOL {
            ++saveCalls_;
            saveOwner_ = request.hwndOwner;
            saveName_ = request.lpstrFile;
            saveExtension_ = request.lpstrDefExt ? request.lpstrDefExt : L"";
            saveFlags_ = request.Flags;
            saveFilter_.clear();
            for (const wchar_t* item = request.lpstrFilter; item && *item; item += wcslen(item) + 1)
                saveFilter_.push_back(item);
            if (choice.empty())
                return FALSE;
            wcscpy(request.lpstrFile, choice.c_str());
            return TRUE;
        };
    }

    int saveCalls_ = 0;
    HWND saveOwner_ = nullptr;
    std::wstring saveName_;
    std::wstring saveExtension_;
    DWORD saveFlags_ = 0;
    std::vector<std::wstring> saveFilter_;
};

} // namespace

TEST(NormalizeLineEnds, GivesCrLfAtEveryLineEndWhateverMixtureItCameWith)
{
    EXPECT_EQ(NormalizeLineEnds(L"a\nb\nc"), L"a\r\nb\r\nc");
    EXPECT_EQ(NormalizeLineEnds(L"a\r\nb\r\n"), L"a\r\nb\r\n");
    EXPECT_EQ(NormalizeLineEnds(L"a\n\rb"), L"a\r\nb");
    EXPECT_EQ(NormalizeLineEnds(L"a\r\n\nb\n"), L"a\r\n\r\nb\r\n");
    EXPECT_EQ(NormalizeLineEnds(L"a\r\n\r\nb\rc"), L"a\r\n\r\nb\r\nc");
    EXPECT_EQ(NormalizeLineEnds(L"без переводов строк"), L"без переводов строк");
    EXPECT_EQ(NormalizeLineEnds(L""), L"");
}

TEST_F(DebugInfoDlgTest, ShowsTheDisplayNameTheBoldMessageTheDetailsWithCrLfAndTheHint)
{
    DebugInfoDlg dialog(L"Ошибка выполнения", L"Строка 1\nСтрока 2", LogText);
    EXPECT_EQ(dialog.Details(), L"Строка 1\r\nСтрока 2");
    std::wstring caption, message, details, hint, ok, cancel;
    LONG weight = 0;
    HICON icon = nullptr;
    DialogDriver driver([&](HWND window) {
        wchar_t text[64] = {};
        GetWindowTextW(window, text, 64);
        caption = text;
        message = ControlText(window, IDC_DEBUG_MESSAGE);
        details = ControlText(window, IDC_DEBUG_DETAILS);
        hint = ControlText(window, IDC_DEBUG_HINT);
        ok = ControlText(window, IDOK);
        cancel = ControlText(window, IDCANCEL);
        LOGFONTW font = {};
        GetObjectW(reinterpret_cast<HFONT>(SendDlgItemMessageW(window, IDC_DEBUG_MESSAGE, WM_GETFONT, 0, 0)),
                   sizeof(font), &font);
        weight = font.lfWeight;
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        PressButton(window, IDCANCEL);
    });
    EXPECT_EQ(dialog.Show(nullptr), IDCANCEL);
    ASSERT_EQ(driver.Answered().size(), 1u);
    EXPECT_EQ(caption, L"Нормсет");
    EXPECT_EQ(message, L"Ошибка выполнения");
    EXPECT_EQ(details, L"Строка 1\r\nСтрока 2");
    EXPECT_EQ(hint, L"Чтобы сохранить отладочную информацию, нажмите кнопку \"Сохранить\".");
    EXPECT_EQ(ok, L"Сохранить...");
    EXPECT_EQ(cancel, L"Не сохранять");
    EXPECT_EQ(weight, 700);
    EXPECT_NE(icon, nullptr);
    EXPECT_EQ(dialog.Window(), nullptr);
}

TEST_F(DebugInfoDlgTest, ButtonHintAndFilterTextsAreTranslatedButNotTheFilterPatterns)
{
    ScratchFolder folder;
    const std::wstring header = L"language file\r\n#I\r\n";
    ASSERT_TRUE(WriteUnicodeFile(header + L"1 Сохранить...\r\n2 Не сохранять\r\n3 Архив ZIP (*.zip)\r\n"
                                          L"4 Все файлы (*.*)\r\n5 *.zip\r\n6 *.*\r\n"
                                          L"7 Чтобы сохранить отладочную информацию, нажмите кнопку \"Сохранить\".\r\n",
                                 folder.Path() + L"default.lng"));
    ASSERT_TRUE(WriteUnicodeFile(header + L"1 Save...\r\n2 Don't save\r\n3 ZIP archive (*.zip)\r\n"
                                          L"4 All files (*.*)\r\n5 *.ZIPPED\r\n6 *.ANY\r\n"
                                          L"7 To save the debug information, press \"Save\".\r\n",
                                 folder.Path() + L"english.lng"));
    LoadLanguage(folder.Path(), L"english");
    ASSERT_EQ(Translate(L"Сохранить..."), L"Save...");

    ModalSeam answers;
    answers.saveFileName = SaveAnswer(L"");
    ScopedModalSeam scope(answers);
    DebugInfoDlg dialog(L"m", L"d", LogText);
    std::wstring ok, cancel, hint;
    DialogDriver driver([&](HWND window) {
        ok = ControlText(window, IDOK);
        cancel = ControlText(window, IDCANCEL);
        hint = ControlText(window, IDC_DEBUG_HINT);
        PressButton(window, IDOK);
        PressButton(window, IDCANCEL);
    });
    EXPECT_EQ(dialog.Show(nullptr), IDCANCEL);
    EXPECT_EQ(ok, L"Save...");
    EXPECT_EQ(cancel, L"Don't save");
    EXPECT_EQ(hint, L"To save the debug information, press \"Save\".");
    EXPECT_EQ(saveFilter_, (std::vector<std::wstring>{L"ZIP archive (*.zip)", L"*.zip", L"All files (*.*)", L"*.*"}));
}

TEST_F(DebugInfoDlgTest, DecliningClosesWithoutAskingForAFile)
{
    ModalSeam answers;
    answers.saveFileName = SaveAnswer(L"C:\\never.zip");
    ScopedModalSeam scope(answers);
    for (UINT close : {0u, 1u}) {
        DebugInfoDlg dialog(L"m", L"d", LogText);
        DialogDriver driver([close](HWND window) {
            if (close)
                PostMessageW(window, WM_CLOSE, 0, 0); // the close box
            else
                PressButton(window, IDCANCEL);
        });
        EXPECT_EQ(dialog.Show(nullptr), IDCANCEL);
        EXPECT_FALSE(driver.TimedOut());
    }
    EXPECT_EQ(saveCalls_, 0);
}

TEST_F(DebugInfoDlgTest, ACancelledSaveDialogKeepsTheReportOpen)
{
    ModalSeam answers;
    answers.saveFileName = SaveAnswer(L"");
    ScopedModalSeam scope(answers);
    DebugInfoDlg dialog(L"m", L"d", LogText);
    HWND shown = nullptr;
    DialogDriver driver([&](HWND window) {
        shown = window;
        // If Save closed the dialog, the second press would find it gone and Show would answer IDOK.
        PressButton(window, IDOK);
        PressButton(window, IDCANCEL);
    });
    EXPECT_EQ(dialog.Show(nullptr), IDCANCEL);
    EXPECT_EQ(saveCalls_, 1);
    EXPECT_EQ(saveOwner_, shown);
    EXPECT_EQ(saveName_, L"debug.zip");
    EXPECT_EQ(saveExtension_, L"zip");
    EXPECT_EQ(saveFlags_, 0x80006u);
}

TEST_F(DebugInfoDlgTest, SavingWritesTheArchiveOfTheLogAndClosesTheReport)
{
    ScratchFolder folder;
    const std::wstring path = folder.Path() + L"отладка.zip";
    ModalSeam answers;
    answers.saveFileName = SaveAnswer(path);
    ScopedModalSeam scope(answers);
    DebugInfoDlg dialog(L"m", L"d", LogText);
    DialogDriver driver([](HWND window) { PressButton(window, IDOK); });
    EXPECT_EQ(dialog.Show(nullptr), IDOK);
    const auto entries = ReadZip(FileBytes(path));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "debug.txt");
    EXPECT_EQ(entries[0].bytes, Utf16Bytes(LogText));
}

TEST_F(DebugInfoDlgTest, AFailedWriteIsShownWithPathAndReasonAndTheReportStaysOpen)
{
    ScratchFolder folder;
    const std::wstring path = folder.Path() + L"нет\\debug.zip";
    std::wstring shownText, shownCaption;
    UINT shownStyle = 0;
    HWND shownOwner = nullptr;
    ModalSeam answers;
    answers.saveFileName = SaveAnswer(path);
    answers.messageBox = [&](HWND owner, const std::wstring& text, const std::wstring& caption, UINT style) {
        shownOwner = owner;
        shownText = text;
        shownCaption = caption;
        shownStyle = style;
        return IDOK;
    };
    ScopedModalSeam scope(answers);
    DebugInfoDlg dialog(L"m", L"d", LogText);
    HWND report = nullptr;
    DialogDriver driver([&](HWND window) {
        report = window;
        PressButton(window, IDOK);
        PressButton(window, IDCANCEL);
    });
    EXPECT_EQ(dialog.Show(nullptr), IDCANCEL);
    EXPECT_EQ(saveCalls_, 1);
    EXPECT_EQ(shownOwner, report);
    EXPECT_EQ(shownCaption, L"Нормсет");
    EXPECT_EQ(shownStyle, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    const std::wstring head = L"Не удалось сохранить файл.\r\n" + path + L"\r\n";
    ASSERT_EQ(shownText.substr(0, head.size()), head);
    // The system's reason: the error code and its text.
    EXPECT_EQ(shownText.substr(head.size(), 11), L"0x80070003 ");
    EXPECT_EQ(GetFileLength(path), -1);
}
