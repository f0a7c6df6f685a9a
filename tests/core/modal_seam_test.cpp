// The modal seam: the library's message boxes, dialogs and file dialogs go through one replaceable table.
#include "core/modal_seam.h"

#include "core/module.h"
#include "resources/resource.h"
#include "support/dialog_driver.h"

#include <gtest/gtest.h>

using testhooks::ScopedModalSeam;
using testsupport::DialogDriver;

namespace {

INT_PTR CALLBACK PlainDialog(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(window, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

} // namespace

TEST(ModalSeam, AnswersMessageBoxesWithTheTestsFunctionAndRestoresTheRealOneAfterwards)
{
    std::wstring seenText, seenCaption;
    UINT seenStyle = 0;
    {
        ModalSeam answers;
        answers.messageBox = [&](HWND owner, const std::wstring& text, const std::wstring& caption, UINT style) {
            EXPECT_EQ(owner, nullptr);
            seenText = text;
            seenCaption = caption;
            seenStyle = style;
            return IDYES;
        };
        ScopedModalSeam scope(answers);
        EXPECT_EQ(ShowMessageBox(nullptr, L"Продолжить?", L"Нормсет", MB_YESNO | MB_ICONQUESTION), IDYES);
        // Members the test left empty keep the real functions.
        EXPECT_TRUE(static_cast<bool>(CurrentModalSeam().saveFileName));
        EXPECT_TRUE(static_cast<bool>(CurrentModalSeam().htmlHelp));
    }
    EXPECT_EQ(seenText, L"Продолжить?");
    EXPECT_EQ(seenCaption, L"Нормсет");
    EXPECT_EQ(seenStyle, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));

    // Back to the real message box: a user answers it.
    std::wstring caption;
    DialogDriver driver([&](HWND box) {
        caption.resize(64);
        caption.resize(static_cast<size_t>(GetWindowTextW(box, caption.data(), 64)));
        PostMessageW(box, WM_COMMAND, IDNO, 0);
    });
    EXPECT_EQ(ShowMessageBox(nullptr, L"Продолжить?", L"Нормсет", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(caption, L"Нормсет");
    EXPECT_EQ(driver.Answered().size(), 1u);
    EXPECT_FALSE(driver.TimedOut());
}

TEST(ModalSeam, NestedReplacementsUnwindInOrder)
{
    ModalSeam outer;
    outer.messageBox = [](HWND, const std::wstring&, const std::wstring&, UINT) { return 1; };
    ScopedModalSeam outerScope(outer);
    {
        ModalSeam inner;
        inner.messageBox = [](HWND, const std::wstring&, const std::wstring&, UINT) { return 2; };
        ScopedModalSeam innerScope(inner);
        EXPECT_EQ(ShowMessageBox(nullptr, L"", L"", MB_OK), 2);
    }
    EXPECT_EQ(ShowMessageBox(nullptr, L"", L"", MB_OK), 1);
}

TEST(ModalSeam, DialogsComeFromTheModuleHoldingTheLibrarysResources)
{
    // Linked statically, the library's resources are the program's own.
    EXPECT_EQ(ResourceModule(), GetModuleHandleW(nullptr));

    HINSTANCE module = nullptr;
    int dialogId = 0;
    ModalSeam answers;
    answers.dialogBox = [&](HINSTANCE from, int id, HWND, DLGPROC, LPARAM param) -> INT_PTR {
        module = from;
        dialogId = id;
        return param;
    };
    ScopedModalSeam scope(answers);
    EXPECT_EQ(RunModalDialog(IDD_DEBUG_INFO, nullptr, PlainDialog, 77), 77);
    EXPECT_EQ(module, GetModuleHandleW(nullptr));
    EXPECT_EQ(dialogId, IDD_DEBUG_INFO);

    // Inside the DLL the stored module handle is the one.
    const HINSTANCE fake = reinterpret_cast<HINSTANCE>(0x7f0000);
    testhooks::SetModuleHandle(fake);
    EXPECT_EQ(ResourceModule(), fake);
    testhooks::SetModuleHandle(nullptr);
}

TEST(ModalSeam, TheRealDialogBoxLoadsTheTemplateFromTheResources)
{
    ASSERT_EQ(ResourceModule(), GetModuleHandleW(nullptr));
    std::wstring okText;
    DialogDriver driver([&](HWND dialog) {
        okText = testsupport::ControlText(dialog, IDOK);
        testsupport::PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(RunModalDialog(IDD_DEBUG_INFO, nullptr, PlainDialog, 0), IDCANCEL);
    EXPECT_EQ(okText, L"Сохранить..."); // the resource script's Cyrillic survives compilation
    ASSERT_EQ(driver.Answered().size(), 1u);
    EXPECT_FALSE(driver.TimedOut());
}
