#pragma once
// Velmar's last error for the test interface.
#include "hostapi/velmar7.h"

// Asks the application for the result object of the text (position 21); its code (11) goes to `code`
// and its text (12) replaces `text`.
void TesterResultToBstr(IVel7Application* application, long& code, _bstr_t& text);
