#pragma once
// Texts at the COM boundary: BSTR, VARIANT and the text of a COM failure as the user sees it.
#include "core/com.h"

#include <string>

// The text of the string; empty when it holds nothing.
std::wstring BstrToWString(const _bstr_t& text);

// VT_BSTR: its text; VT_NULL: empty; anything else through the automation conversion to a string,
// which raises _com_error when the type cannot be converted.
std::wstring VariantToWString(const VARIANT& value);

// "0x80004005 <system message>" and, when the error has a description, "\r\n<description>".
std::wstring ComErrorToWString(const _com_error& error);
