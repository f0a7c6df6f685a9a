#pragma once
// The one road of the library's modal user interface: message boxes, dialogs from the library's
// resources, the Open and Save file dialogs and HTML Help. The process-wide table below holds the
// functions that answer them; it holds the real Windows functions unless a test has put its own answers
// in place, so that commands run unattended in tests while the real dialogs stay testable on their own.
#include "core/com.h"

#include <commdlg.h>

#include <functional>
#include <string>

struct ModalSeam {
    // MessageBoxW(owner, text, caption, style).
    std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style)> messageBox;
    // DialogBoxParamW(module, MAKEINTRESOURCEW(dialogId), owner, procedure, param).
    std::function<INT_PTR(HINSTANCE module, int dialogId, HWND owner, DLGPROC procedure, LPARAM param)> dialogBox;
    // GetOpenFileNameW / GetSaveFileNameW on the filled-in structure.
    std::function<BOOL(OPENFILENAMEW& request)> openFileName;
    std::function<BOOL(OPENFILENAMEW& request)> saveFileName;
    // HtmlHelpW(owner, path, command, data); null when HTML Help is not available or shows nothing.
    std::function<HWND(HWND owner, const std::wstring& path, UINT command, DWORD_PTR data)> htmlHelp;
};

// The table of the real Windows functions.
ModalSeam RealModalSeam();

// The table in force.
const ModalSeam& CurrentModalSeam() noexcept;

// Shows a message box through the table in force.
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style);

// Asks a Yes/No question in a message box through the table in force: true for Yes, false for any other
// button. A box that gives no answer (0: it could not be shown) throws the internal error "Can't show
// the message box", so that a question nobody saw never passes for No.
bool AskYesNo(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style);

// Runs the dialog template dialogId of the library's resources (ResourceModule) modally.
INT_PTR RunModalDialog(int dialogId, HWND owner, DLGPROC procedure, LPARAM param);

// The common file dialogs on a prepared request.
BOOL ShowOpenFileDialog(OPENFILENAMEW& request);
BOOL ShowSaveFileDialog(OPENFILENAMEW& request);

// HTML Help through the table in force.
HWND ShowHtmlHelp(HWND owner, const std::wstring& path, UINT command, DWORD_PTR data);

// The module that holds the library's dialogs, icons and bitmaps: the library's own module, or the
// program itself when the library is linked into it statically.
HINSTANCE ResourceModule() noexcept;

namespace testhooks {

// Puts a table in force for the lifetime of the object and restores the previous one afterwards.
// Members left empty answer with the real function.
class ScopedModalSeam {
public:
    explicit ScopedModalSeam(ModalSeam seam);
    ~ScopedModalSeam();
    ScopedModalSeam(const ScopedModalSeam&) = delete;
    ScopedModalSeam& operator=(const ScopedModalSeam&) = delete;

private:
    ModalSeam previous_;
};

// Answers HTML Help for the lifetime of the object; the rest of the table in force stays.
class ScopedHtmlHelp {
public:
    explicit ScopedHtmlHelp(decltype(ModalSeam::htmlHelp) answer);
    ~ScopedHtmlHelp();
    ScopedHtmlHelp(const ScopedHtmlHelp&) = delete;
    ScopedHtmlHelp& operator=(const ScopedHtmlHelp&) = delete;

private:
    decltype(ModalSeam::htmlHelp) previous_;
};

// Back to the real functions.
void ResetModalSeam();

} // namespace testhooks
