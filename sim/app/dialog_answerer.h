#pragma once
// The person in front of the stand-in Velmar: answers every dialog the library opens on this thread.
// Message boxes take the next queued answer of the scripted user (kind "message"), else their default
// button; another dialog (kind "dialog": the settings) is answered by its default button; the error
// dialog is answered by saving its debug archive, so that its trace log can be printed; anything still
// open after a few seconds is cancelled, so that a run never waits for a person. A bulk pass's progress
// window, seen while the pass asks a question over it, asks nothing: it is named and left to the pass.
#include "core/com.h"
#include "sim/scripted_user.h"

#include <functional>
#include <optional>
#include <set>
#include <string>

namespace velmar_sim {

class DialogAnswerer {
public:
    // flush prints what happened before a dialog (and the question a dialog asked), in order. A dialog
    // still open giveUpAfterMs after it was answered is cancelled.
    DialogAnswerer(sim::ScriptedUser& user, std::function<void()> flush, DWORD giveUpAfterMs = 5000);
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // The debug archive saved from the last error dialog, once; none when none was saved.
    std::optional<std::wstring> TakeSavedArchive();

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Poll();
    // Whether the dialog waits for an answer.
    bool Handle(HWND dialog);
    void AnswerMessageBox(HWND dialog);
    void AnswerErrorDialog(HWND dialog);
    void AnswerFileDialog(HWND dialog);
    void NoteErrorDialogClosed();

    sim::ScriptedUser& user_;
    std::function<void()> flush_;
    DWORD giveUpAfterMs_;
    UINT_PTR timer_ = 0;
    std::set<HWND> known_;
    HWND errorDialog_ = nullptr;
    std::wstring archive_;           // where the error dialog's archive is being saved
    bool archiveRequested_ = false;
    std::optional<std::wstring> saved_;
    std::vector<std::pair<HWND, DWORD>> seen_;
};

} // namespace velmar_sim
