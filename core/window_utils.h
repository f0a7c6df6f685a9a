#pragma once
// Small window operations of the settings dialogs.
#include "core/com.h"

#include <string>

// The window's whole text.
std::wstring GetWindowTextStr(HWND window);

// Moves window (keeping its size, top and bottom) so that its right edge lies 8 pixels left of the
// anchor's left edge. Does nothing when the gap is already 8 pixels or a rectangle cannot be read.
void PlaceWindow(HWND anchor, HWND window);
