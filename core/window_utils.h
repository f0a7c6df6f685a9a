#pragma once
// Small window operations of the settings dialogs.
#include "core/com.h"
#include "core/unique.h"

#include <functional>
#include <string>

// The window's whole text.
std::wstring GetWindowTextStr(HWND window);

// Moves window (keeping its size, top and bottom) so that its right edge lies 8 pixels left of the
// anchor's left edge. Does nothing when the gap is already 8 pixels or a rectangle cannot be read.
void PlaceWindow(HWND anchor, HWND window);

// Gives a control a font made from its own (or the default GUI font) as `adjust` changes it. The control
// does not own the font: the caller keeps the result until the control is gone. Empty when no font could
// be made; the control keeps its font then.
UniqueGdiObject SetDerivedFont(HWND control, const std::function<void(LOGFONTW&)>& adjust);
