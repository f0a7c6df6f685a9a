#pragma once
// The string operations used everywhere. Trimming removes the space character U+0020 only.
#include <string>
#include <vector>

std::wstring TrimLeft(const std::wstring& text);
std::wstring TrimRight(const std::wstring& text);
std::wstring Trim(const std::wstring& text);

// Every occurrence of `from` replaced by `to`; the search resumes after the inserted text.
std::wstring ReplaceAll(const std::wstring& text, const std::wstring& from, const std::wstring& to);

// Pieces between separators; an empty text or separator gives no pieces; a text ending in a separator
// gives an empty last piece.
std::vector<std::wstring> Split(const std::wstring& text, const std::wstring& separator);
// As Split, with any one character of `separators` as a separator.
std::vector<std::wstring> SplitAny(const std::wstring& text, const std::wstring& separators);

std::wstring JoinStrings(const std::vector<std::wstring>& items, const std::wstring& separator);

bool IsSameString(const std::wstring& a, const std::wstring& b);

// Case-insensitive order of the C runtime (_wcsicmp, current locale).
bool NoCaseLess(const std::wstring& a, const std::wstring& b);

// NoCaseLess as an ordering for maps and sets: std::map<std::wstring, T, NoCaseLessOrder>.
struct NoCaseLessOrder {
    bool operator()(const std::wstring& a, const std::wstring& b) const { return NoCaseLess(a, b); }
};

// Conversions through the C runtime's current multibyte code page. A text that the code page cannot
// carry throws std::range_error instead of coming back cut short.
std::wstring ToWide(const std::string& text);
std::string ToNarrow(const std::wstring& text);
