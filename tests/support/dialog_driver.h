#pragma once
// Drives the real dialogs of the library in a test the way a user would, without a person and without
// hanging: while a DialogDriver lives, every new top-level dialog of the test's thread (window class
// #32770: the library's dialogs, message boxes, the file dialogs) is handed to the test's answer as
// soon as it is visible. The answer reads the dialog's controls and presses its buttons (post
// WM_COMMAND so that the dialog's own loop handles it). It runs from a thread timer, which every modal
// loop dispatches. A dialog still open timeoutMs after it appeared is ended with IDCANCEL and counted
// as timed out, so a dialog the test did not answer fails the test instead of blocking the run.
#include "core/com.h"

#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace testsupport {

class DialogDriver {
public:
    using Answer = std::function<void(HWND dialog)>;

    explicit DialogDriver(Answer answer, DWORD timeoutMs = 10000) : answer_(std::move(answer)), timeoutMs_(timeoutMs)
    {
        previous_ = Active();
        Active() = this;
        timer_ = SetTimer(nullptr, 0, 10, &DialogDriver::OnTimer);
    }
    ~DialogDriver()
    {
        KillTimer(nullptr, timer_);
        Active() = previous_;
    }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // The dialogs handed to the answer, in the order they appeared.
    const std::vector<HWND>& Answered() const noexcept { return answered_; }
    bool TimedOut() const noexcept { return timedOut_; }

private:
    struct Seen {
        HWND window;
        DWORD since;
    };

    static DialogDriver*& Active()
    {
        static thread_local DialogDriver* active = nullptr;
        return active;
    }

    static BOOL CALLBACK Collect(HWND window, LPARAM found)
    {
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (std::wstring(className) == L"#32770" && IsWindowVisible(window))
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        return TRUE;
    }

    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        if (DialogDriver* self = Active())
            self->Poll();
    }

    void Poll()
    {
        // A handle may be reused by a later dialog once its window is gone.
        for (auto it = known_.begin(); it != known_.end();)
            it = IsWindow(*it) ? std::next(it) : known_.erase(it);
        // Its time goes with it, so that a later dialog under the same handle gets a timeout of its own.
        std::erase_if(seen_, [](const Seen& seen) { return !IsWindow(seen.window); });
        std::vector<HWND> open;
        EnumThreadWindows(GetCurrentThreadId(), &DialogDriver::Collect, reinterpret_cast<LPARAM>(&open));
        const DWORD now = GetTickCount();
        for (HWND window : open) {
            if (known_.count(window))
                continue;
            known_.insert(window);
            seen_.push_back({window, now});
            answered_.push_back(window);
            answer_(window); // may open a nested modal loop; the timer keeps serving it
        }
        for (const auto& seen : seen_) {
            if (IsWindow(seen.window) && IsWindowVisible(seen.window) && now - seen.since > timeoutMs_) {
                timedOut_ = true;
                EndDialog(seen.window, IDCANCEL);
            }
        }
    }

    Answer answer_;
    DWORD timeoutMs_;
    UINT_PTR timer_ = 0;
    DialogDriver* previous_ = nullptr;
    std::set<HWND> known_;
    std::vector<Seen> seen_;
    std::vector<HWND> answered_;
    bool timedOut_ = false;
};

// Presses a dialog's button the way a click does: the button's command reaches the dialog's loop.
inline void PressButton(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

inline std::wstring ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace testsupport
