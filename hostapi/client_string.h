#pragma once
// A text of the reference book for an identifier (position 39 of the provider): the members of a 2D
// fastener set, one NM_ID per line. A failing call raises _com_error carrying INMClient's IID.
#include "hostapi/reference_book.h"

#include <string>

_bstr_t QueryClientString(INMClient* provider, const std::wstring& text);
