#include "sim/app/dialog_answerer.h"

#include "resources/resource.h"
#include "sim/app/event_output.h"

#include <iterator>
#include <utility>
#include <vector>

namespace velmar_sim {

namespace {

DialogAnswerer* g_active = nullptr;

constexpr int MessageBoxTextId = 0xFFFF;     // the static text of a message box
constexpr int FileNameComboId = 0x47C;       // cmb13: the file name of an explorer-style file dialog
constexpr int FileNameEditId = 0x480;        // edt1: the same in the older layout

std::wstring WindowText(HWND window)
{
    if (!window)
        return std::wstring();
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Press(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

BOOL CALLBACK CollectDialogs(HWND window, LPARAM found)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (std::wstring(className) == L"#32770" && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

// The style a message box was asked with is not kept by the window; its buttons tell the kind.
long ButtonsOf(HWND dialog)
{
    const bool yes = GetDlgItem(dialog, IDYES) != nullptr;
    const bool cancel = GetDlgItem(dialog, IDCANCEL) != nullptr;
    if (yes)
        return cancel ? MB_YESNOCANCEL : MB_YESNO;
    return cancel ? MB_OKCANCEL : MB_OK;
}

// The button a person answers with by pressing Enter: the one drawn as the default push button, else
// the one the dialog names, else Cancel.
long DefaultButtonOf(HWND dialog)
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        if (_wcsicmp(className, L"Button") == 0 && IsWindowVisible(child) &&
            (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return GetDlgCtrlID(child);
    }
    const LRESULT named = SendMessageW(dialog, DM_GETDEFID, 0, 0);
    return HIWORD(named) == DC_HASDEFID ? LOWORD(named) : IDCANCEL;
}

} // namespace

DialogAnswerer::DialogAnswerer(sim::ScriptedUser& user, std::function<void()> flush, DWORD giveUpAfterMs)
    : user_(user), flush_(std::move(flush)), giveUpAfterMs_(giveUpAfterMs)
{
    g_active = this;
    timer_ = SetTimer(nullptr, 0, 20, &DialogAnswerer::OnTimer);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    archive_ = std::wstring(temp) + L"velmar-sim-" + std::to_wstring(GetCurrentProcessId()) + L"-debug.zip";
}

DialogAnswerer::~DialogAnswerer()
{
    KillTimer(nullptr, timer_);
    g_active = nullptr;
    DeleteFileW(archive_.c_str());
}

std::optional<std::wstring> DialogAnswerer::TakeSavedArchive()
{
    // The error dialog's loop may end before the timer looks again.
    if (errorDialog_ && !IsWindow(errorDialog_))
        NoteErrorDialogClosed();
    return std::exchange(saved_, std::nullopt);
}

void DialogAnswerer::NoteErrorDialogClosed()
{
    if (archiveRequested_ && GetFileAttributesW(archive_.c_str()) != INVALID_FILE_ATTRIBUTES)
        saved_ = archive_;
    errorDialog_ = nullptr;
    archiveRequested_ = false;
}

void CALLBACK DialogAnswerer::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_active)
        g_active->Poll();
}

void DialogAnswerer::Poll()
{
    for (auto it = known_.begin(); it != known_.end();)
        it = IsWindow(*it) ? std::next(it) : known_.erase(it);
    std::vector<HWND> open;
    EnumThreadWindows(GetCurrentThreadId(), &CollectDialogs, reinterpret_cast<LPARAM>(&open));
    const DWORD now = GetTickCount();
    for (HWND dialog : open) {
        if (known_.insert(dialog).second && Handle(dialog))
            seen_.push_back({dialog, now});
    }
    // The archive was written once the error dialog closed by its save button.
    if (errorDialog_ && !IsWindow(errorDialog_))
        NoteErrorDialogClosed();
    for (const auto& [dialog, since] : seen_) {
        if (IsWindow(dialog) && IsWindowVisible(dialog) && now - since >= giveUpAfterMs_) {
            PrintEvent("dialog", Quote(WindowText(dialog)) + " left unanswered; cancelled");
            EndDialog(dialog, IDCANCEL);
        }
    }
}

bool DialogAnswerer::Handle(HWND dialog)
{
    // Its Cancel would end the pass: a person leaves it alone and answers the question.
    if (GetDlgItem(dialog, IDC_PROGRESS_BAR)) {
        flush_();
        PrintEvent("progress window", "caption=" + Quote(WindowText(dialog)) + ", left to its pass");
        return false;
    }
    if (GetDlgItem(dialog, IDC_DEBUG_DETAILS) && GetDlgItem(dialog, IDC_DEBUG_MESSAGE))
        AnswerErrorDialog(dialog);
    else if (GetDlgItem(dialog, FileNameComboId) || GetDlgItem(dialog, FileNameEditId))
        AnswerFileDialog(dialog);
    else
        AnswerMessageBox(dialog);
    return true;
}

void DialogAnswerer::AnswerMessageBox(HWND dialog)
{
    flush_();
    sim::Question question;
    // A dialog of the library's own (the settings) has no message text: it is answered by its default
    // button, and the queued answers stay for the message boxes.
    const HWND text = GetDlgItem(dialog, MessageBoxTextId);
    question.kind = text ? "message" : "dialog";
    question.caption = WindowText(dialog);
    question.text = WindowText(text);
    question.flags = ButtonsOf(dialog);
    const long answer = static_cast<long>(user_.Ask(question, _variant_t(DefaultButtonOf(dialog))));
    flush_();
    Press(dialog, answer);
}

void DialogAnswerer::AnswerErrorDialog(HWND dialog)
{
    flush_();
    PrintEvent("error dialog", "title=" + Quote(WindowText(GetDlgItem(dialog, IDC_DEBUG_MESSAGE))) +
                                   " message=" + Quote(WindowText(GetDlgItem(dialog, IDC_DEBUG_DETAILS))));
    errorDialog_ = dialog;
    DeleteFileW(archive_.c_str());
    archiveRequested_ = true;
    Press(dialog, IDOK);   // "Save...": the archive holds the trace log
}

void DialogAnswerer::AnswerFileDialog(HWND dialog)
{
    if (!archiveRequested_) {
        Press(dialog, IDCANCEL);
        return;
    }
    HWND name = GetDlgItem(dialog, FileNameComboId);
    if (!name)
        name = GetDlgItem(dialog, FileNameEditId);
    SetWindowTextW(name, archive_.c_str());
    Press(dialog, IDOK);
}

} // namespace velmar_sim
