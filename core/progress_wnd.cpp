#include "core/progress_wnd.h"

#include "core/modal_seam.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <algorithm>

namespace {

ProgressWnd* g_current = nullptr;

} // namespace

ProgressWnd::ProgressWnd(HWND owner, std::uint16_t maximum, const std::wstring& caption) : outer_(g_current)
{
    TraceScope scope(L":ProgressWnd");
    g_current = this;

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    // With the owner disabled while the window is created, the new window opens without the owner
    // taking the focus back.
    const bool ownerWasDisabled = owner && EnableWindow(owner, FALSE);
    window_ = CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(IDD_PROGRESS), owner, Procedure,
                                 reinterpret_cast<LPARAM>(this));
    const DWORD error = window_ ? ERROR_SUCCESS : GetLastError();
    if (owner && !ownerWasDisabled)
        EnableWindow(owner, TRUE);
    if (!window_) {
        scope.WriteLine(L"The progress window could not be created; the loop runs without it.");
        scope.Value(L"GetLastError", static_cast<long>(error));
        return;
    }

    bar_ = GetDlgItem(window_, IDC_PROGRESS_BAR);
    SendMessageW(bar_, PBM_SETRANGE, 0, MAKELPARAM(0, maximum));
    SetWindowTextW(window_, caption.c_str());
    icon_ = static_cast<HICON>(LoadImageW(ResourceModule(), MAKEINTRESOURCEW(IDI_PROGRESS), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    if (icon_)
        SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    ShowWindow(window_, SW_SHOW);
    Update();
}

ProgressWnd::~ProgressWnd()
{
    Close();
    if (icon_)
        DestroyIcon(icon_);
    // Objects end in reverse order of their making; the check keeps an odd order from losing the chain.
    if (g_current == this)
        g_current = outer_;
}

ProgressWnd* ProgressWnd::Current() noexcept
{
    return g_current;
}

void ProgressWnd::Update()
{
    if (!window_)
        return;
    // A bulk pass updates once per object, thousands of times: the bar is redrawn only when its filled
    // part changes, and the window is raised only when something covers it. Both are round trips to the
    // display; the pump below is not, and still runs every time so that Cancel is seen at once.
    const int filled = FilledWidth(position_);
    if (filled != shownFilled_ || filled < 0) {
        SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
        shownFilled_ = filled;
    }
    if (GetWindow(window_, GW_HWNDPREV))
        SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Only this window's messages (its controls' included) are taken; whatever waits for other windows
    // stays in the queue until the loop is over.
    MSG message;
    while (window_ && PeekMessageW(&message, window_, 0, 0, PM_NOREMOVE)) {
        if (GetMessageW(&message, window_, 0, 0) == -1)
            break;
        if (window_)
            IsDialogMessageW(window_, &message);
    }
}

int ProgressWnd::FilledWidth(int position) const
{
    RECT client = {};
    const int maximum = static_cast<int>(SendMessageW(bar_, PBM_GETRANGE, FALSE, 0));
    if (maximum <= 0 || !GetClientRect(bar_, &client))
        return -1;
    return MulDiv(std::clamp(position, 0, maximum), client.right - client.left, maximum);
}

void ProgressWnd::Step()
{
    ++position_;
    Update();
}

void ProgressWnd::Close() noexcept
{
    if (!window_)
        return;
    HWND window = window_;
    window_ = nullptr;
    bar_ = nullptr;
    DestroyWindow(window);
}

INT_PTR CALLBACK ProgressWnd::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(window, DWLP_USER, lParam);
            SetDlgItemTextW(window, IDCANCEL, Translate(L"Отмена").c_str());
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) {
                if (auto* self = reinterpret_cast<ProgressWnd*>(GetWindowLongPtrW(window, DWLP_USER))) {
                    self->cancelled_ = true;
                    self->Close();
                }
                return TRUE;
            }
            break;
        case WM_DESTROY:
            // Destroyed from outside (its owner went away): no longer open, but not cancelled either.
            if (auto* self = reinterpret_cast<ProgressWnd*>(GetWindowLongPtrW(window, DWLP_USER))) {
                if (self->window_ == window) {
                    self->window_ = nullptr;
                    self->bar_ = nullptr;
                }
            }
            break;
        }
    } catch (...) {
        TraceCurrentException(L"ProgressWnd::Procedure");
    }
    return FALSE;
}
