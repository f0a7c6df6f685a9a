#pragma once
// Balloon tool tips that point at a control with an input error. The balloon's parent gets timer 1
// (3000 ms) with every balloon shown and closes the balloon when it fires (HideBalloonTip).
#include "core/com.h"

#include <string>

constexpr UINT_PTR BalloonTimerId = 1;
constexpr UINT BalloonTimeoutMs = 3000;

// A topmost balloon tool-tip window owned by parent; null when it cannot be created.
HWND CreateBalloonToolTip(HWND parent);
// Shows text under title with the error icon, pointing a quarter of the way into the control's bottom
// edge, and starts the parent's timer.
void ShowBalloonTip(HWND toolTip, HWND control, const std::wstring& title, const std::wstring& text);
// Hides the balloon and destroys the tool-tip window.
void HideBalloonTip(HWND toolTip);
