#pragma once
// The small modeless window with a progress bar and a Cancel button that a long loop shows. It pumps only
// its own messages, so Velmar's windows stay inert while the loop runs; the user's Cancel (the button,
// Escape or the close box) is the loop's signal to stop.
//
// Windows nest: a loop inside a loop opens its own window, and the outer one stays open and becomes
// current again when the inner one goes. A window that cannot be created (no display, a bad owner) is
// not a cancel: the loop runs on without a progress window.
#include "core/com.h"

#include <cstdint>
#include <string>

class ProgressWnd {
public:
    // Opens the window owned by `owner` with the range 0..maximum and the caption; position 0.
    ProgressWnd(HWND owner, std::uint16_t maximum, const std::wstring& caption);
    // Closes the window if it is still open.
    ~ProgressWnd();
    ProgressWnd(const ProgressWnd&) = delete;
    ProgressWnd& operator=(const ProgressWnd&) = delete;

    // Shows the position and lets the window handle what is waiting for it (the Cancel among others).
    void Update();
    // Advances the position by one and updates.
    void Step();

    int Position() const noexcept { return position_; }
    void SetPosition(int position) noexcept { position_ = position; }

    // True once the user has closed the window; the loop stops.
    bool Cancelled() const noexcept { return cancelled_; }
    // The open window, or null when it was closed or could not be created.
    HWND Window() const noexcept { return window_; }
    HWND Bar() const noexcept { return bar_; }

    // The innermost open progress object of the process, or null.
    static ProgressWnd* Current() noexcept;

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Close() noexcept;
    // The width of the bar's filled part at a position, or -1 when it cannot be told.
    int FilledWidth(int position) const;

    HWND window_ = nullptr;
    HWND bar_ = nullptr;
    HICON icon_ = nullptr;
    int position_ = 0;
    int shownFilled_ = -1;
    bool cancelled_ = false;
    ProgressWnd* outer_;
};
