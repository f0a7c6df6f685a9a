#pragma once
// A plain top-level window for the tests of controls and owned windows.
#include "core/com.h"

namespace testsupport {

class TestWindow {
public:
    explicit TestWindow(const wchar_t* title = L"owner", DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE)
    {
        static const ATOM windowClass = [] {
            WNDCLASSW description = {};
            description.lpfnWndProc = DefWindowProcW;
            description.hInstance = GetModuleHandleW(nullptr);
            description.lpszClassName = L"NormsetTestWindow";
            return RegisterClassW(&description);
        }();
        window_ = CreateWindowExW(0, MAKEINTATOM(windowClass), title, style, 100, 100, 400, 300, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    }
    ~TestWindow()
    {
        if (IsWindow(window_))
            DestroyWindow(window_);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND get() const noexcept { return window_; }

private:
    HWND window_;
};

} // namespace testsupport
