#include "core/window_utils.h"

#include <vector>

std::wstring GetWindowTextStr(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, buffer.data(), length + 1);
    return std::wstring(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

void PlaceWindow(HWND anchor, HWND window)
{
    constexpr LONG gap = 8;
    RECT anchorRect = {};
    RECT rect = {};
    if (!GetWindowRect(anchor, &anchorRect) || !GetWindowRect(window, &rect))
        return;
    if (anchorRect.left - rect.right == gap)
        return;
    const LONG width = rect.right - rect.left;
    POINT topLeft = {anchorRect.left - gap - width, rect.top};
    // MoveWindow takes a child's position in its parent's client coordinates.
    if (HWND parent = GetParent(window); parent && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
        ScreenToClient(parent, &topLeft);
    MoveWindow(window, topLeft.x, topLeft.y, width, rect.bottom - rect.top, TRUE);
}

UniqueGdiObject SetDerivedFont(HWND control, const std::function<void(LOGFONTW&)>& adjust)
{
    const auto current = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW description = {};
    if (!GetObjectW(current ? current : GetStockObject(DEFAULT_GUI_FONT), sizeof(description), &description))
        return {};
    adjust(description);
    UniqueGdiObject font(CreateFontIndirectW(&description));
    if (font)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    return font;
}
