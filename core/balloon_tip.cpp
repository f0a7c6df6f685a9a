#include "core/balloon_tip.h"

#include "core/modal_seam.h"

#include <commctrl.h>

HWND CreateBalloonToolTip(HWND parent)
{
    HWND toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_BALLOON | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                                   ResourceModule(), nullptr);
    if (toolTip)
        SetWindowPos(toolTip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return toolTip;
}

void ShowBalloonTip(HWND toolTip, HWND control, const std::wstring& title, const std::wstring& text)
{
    TOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_TRACK;
    tool.hwnd = control;
    tool.hinst = ResourceModule();
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(toolTip, TTM_SETTITLEW, TTI_ERROR, reinterpret_cast<LPARAM>(title.c_str()));
    RECT rect = {};
    GetWindowRect(control, &rect);
    SendMessageW(toolTip, TTM_TRACKPOSITION, 0, MAKELPARAM(rect.left + (rect.right - rect.left) / 4, rect.bottom));
    SendMessageW(toolTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    SetTimer(GetWindow(toolTip, GW_OWNER), BalloonTimerId, BalloonTimeoutMs, nullptr);
}

void HideBalloonTip(HWND toolTip)
{
    TOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    if (SendMessageW(toolTip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)))
        SendMessageW(toolTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    DestroyWindow(toolTip);
}
