#pragma once
// Filling a part's location template: a free text in which each placeholder is an exact name in square
// brackets. The text is never used as a format; what is not a complete placeholder stays as written.
#include <string>

// Every "[name]" becomes "[value]", the value written with "." whatever the user's locale ("%.15g",
// two-digit exponent). A value that is not finite is an internal error naming the field, when the text
// holds the placeholder: a measure Velmar could not take must not reach the reference book as "[nan]".
std::wstring FillLocationField(const std::wstring& text, const std::wstring& name, double value);

// Every "[name]" becomes "[1]" or "[0]".
std::wstring FillLocationFlag(const std::wstring& text, const std::wstring& name, bool value);
