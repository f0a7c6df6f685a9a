#include "core/modal_seam.h"

#include "core/html_help.h"
#include "core/module.h"

#include <utility>

namespace {

ModalSeam& Installed()
{
    static ModalSeam seam = RealModalSeam();
    return seam;
}

} // namespace

ModalSeam RealModalSeam()
{
    ModalSeam seam;
    seam.messageBox = [](HWND owner, const std::wstring& text, const std::wstring& caption, UINT style) {
        return MessageBoxW(owner, text.c_str(), caption.c_str(), style);
    };
    seam.dialogBox = [](HINSTANCE module, int dialogId, HWND owner, DLGPROC procedure, LPARAM param) {
        return DialogBoxParamW(module, MAKEINTRESOURCEW(dialogId), owner, procedure, param);
    };
    seam.openFileName = [](OPENFILENAMEW& request) { return GetOpenFileNameW(&request); };
    seam.saveFileName = [](OPENFILENAMEW& request) { return GetSaveFileNameW(&request); };
    seam.htmlHelp = &RealHtmlHelp;
    return seam;
}

const ModalSeam& CurrentModalSeam() noexcept
{
    return Installed();
}

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style)
{
    // A copy: the answer may replace the table while it runs.
    const auto answer = Installed().messageBox;
    return answer(owner, text, caption, style);
}

bool AskYesNo(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style)
{
    const int answer = ShowMessageBox(owner, text, caption, style);
    if (answer == 0)
        throw std::wstring(L"Can't show the message box");
    return answer == IDYES;
}

INT_PTR RunModalDialog(int dialogId, HWND owner, DLGPROC procedure, LPARAM param)
{
    const auto answer = Installed().dialogBox;
    return answer(ResourceModule(), dialogId, owner, procedure, param);
}

BOOL ShowOpenFileDialog(OPENFILENAMEW& request)
{
    const auto answer = Installed().openFileName;
    return answer(request);
}

BOOL ShowSaveFileDialog(OPENFILENAMEW& request)
{
    const auto answer = Installed().saveFileName;
    return answer(request);
}

HWND ShowHtmlHelp(HWND owner, const std::wstring& path, UINT command, DWORD_PTR data)
{
    const auto answer = Installed().htmlHelp;
    return answer(owner, path, command, data);
}

HINSTANCE ResourceModule() noexcept
{
    if (HINSTANCE module = ModuleHandle())
        return module;
    return GetModuleHandleW(nullptr);
}

namespace testhooks {

ScopedModalSeam::ScopedModalSeam(ModalSeam seam) : previous_(Installed())
{
    ModalSeam real = RealModalSeam();
    if (!seam.messageBox)
        seam.messageBox = std::move(real.messageBox);
    if (!seam.dialogBox)
        seam.dialogBox = std::move(real.dialogBox);
    if (!seam.openFileName)
        seam.openFileName = std::move(real.openFileName);
    if (!seam.saveFileName)
        seam.saveFileName = std::move(real.saveFileName);
    if (!seam.htmlHelp)
        seam.htmlHelp = std::move(real.htmlHelp);
    Installed() = std::move(seam);
}

ScopedModalSeam::~ScopedModalSeam()
{
    Installed() = std::move(previous_);
}

ScopedHtmlHelp::ScopedHtmlHelp(decltype(ModalSeam::htmlHelp) answer)
    : previous_(std::exchange(Installed().htmlHelp, std::move(answer)))
{
}

ScopedHtmlHelp::~ScopedHtmlHelp()
{
    Installed().htmlHelp = std::move(previous_);
}

void ResetModalSeam()
{
    Installed() = RealModalSeam();
}

} // namespace testhooks
