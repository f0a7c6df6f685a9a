#pragma once
// The error dialog of a failed command: the error's title in bold, its text, and the offer to save the
// command's trace log as the debug archive for support. Nothing is written unless the user asks.
#include "core/com.h"
#include "core/window_utils.h"

#include <string>

// Every line end of text as CR LF, whatever mixture of CR, LF and CR LF it came with.
std::wstring NormalizeLineEnds(const std::wstring& text);

class DebugInfoDlg {
public:
    DebugInfoDlg(std::wstring message, std::wstring details, std::wstring logText);
    DebugInfoDlg(const DebugInfoDlg&) = delete;
    DebugInfoDlg& operator=(const DebugInfoDlg&) = delete;

    // Runs the dialog modally over owner; IDOK once the archive was saved, IDCANCEL when the user declined.
    INT_PTR Show(HWND owner);

    // Asks for a file name and writes the archive. False when the user cancelled the file dialog or the
    // archive could not be written (the user was told why); the dialog then stays open.
    bool Save();

    const std::wstring& Message() const noexcept { return message_; }
    const std::wstring& Details() const noexcept { return details_; }
    HWND Window() const noexcept { return window_; }

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInit(HWND window);
    void OnDestroy() noexcept;

    HWND window_ = nullptr;
    std::wstring message_;
    std::wstring details_;
    std::wstring logText_;
    UniqueGdiObject boldFont_;
};
