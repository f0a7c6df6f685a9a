#include "core/string_utils.h"

#include "core/mem_block.h"

#include <cstdlib>
#include <cwchar>
#include <stdexcept>

std::wstring TrimLeft(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(L' ');
    return first == std::wstring::npos ? std::wstring() : text.substr(first);
}

std::wstring TrimRight(const std::wstring& text)
{
    const size_t last = text.find_last_not_of(L' ');
    return last == std::wstring::npos ? std::wstring() : text.substr(0, last + 1);
}

std::wstring Trim(const std::wstring& text)
{
    return TrimRight(TrimLeft(text));
}

std::wstring ReplaceAll(const std::wstring& text, const std::wstring& from, const std::wstring& to)
{
    if (from.empty())
        return text;
    std::wstring result = text;
    for (size_t at = result.find(from); at != std::wstring::npos; at = result.find(from, at + to.size()))
        result.replace(at, from.size(), to);
    return result;
}

namespace {

template <typename FindSeparator>
std::vector<std::wstring> SplitBy(const std::wstring& text, size_t separatorLength, FindSeparator find)
{
    std::vector<std::wstring> pieces;
    size_t start = 0;
    for (size_t at = find(start); at != std::wstring::npos; at = find(start)) {
        pieces.push_back(text.substr(start, at - start));
        start = at + separatorLength;
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

} // namespace

std::vector<std::wstring> Split(const std::wstring& text, const std::wstring& separator)
{
    if (text.empty() || separator.empty())
        return {};
    return SplitBy(text, separator.size(), [&](size_t from) { return text.find(separator, from); });
}

std::vector<std::wstring> SplitAny(const std::wstring& text, const std::wstring& separators)
{
    if (text.empty() || separators.empty())
        return {};
    return SplitBy(text, 1, [&](size_t from) { return text.find_first_of(separators, from); });
}

std::wstring JoinStrings(const std::vector<std::wstring>& items, const std::wstring& separator)
{
    std::wstring result;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i)
            result += separator;
        result += items[i];
    }
    return result;
}

bool IsSameString(const std::wstring& a, const std::wstring& b)
{
    return a == b;
}

bool NoCaseLess(const std::wstring& a, const std::wstring& b)
{
    return _wcsicmp(a.c_str(), b.c_str()) < 0;
}

namespace {

// The count of a conversion of a non-empty text, terminator included: at least 2, and never -1.
bool ConvertedWhole(size_t converted)
{
    return converted >= 2 && converted != static_cast<size_t>(-1);
}

} // namespace

std::wstring ToWide(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    MemBlock buffer((text.size() + 1) * sizeof(wchar_t));
    size_t converted = 0;
    // Some runtimes answer an invalid sequence with success, an empty buffer and a count of -1.
    if (mbstowcs_s(&converted, buffer.As<wchar_t>(), text.size() + 1, text.c_str(), _TRUNCATE) != 0
        || !ConvertedWhole(converted))
        throw std::range_error("ToWide: the text is not valid in the current code page");
    return std::wstring(buffer.As<wchar_t>());
}

std::string ToNarrow(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const size_t size = MB_CUR_MAX * (text.size() + 1);
    MemBlock buffer(size);
    size_t converted = 0;
    if (wcstombs_s(&converted, buffer.As<char>(), size, text.c_str(), _TRUNCATE) != 0 || !ConvertedWhole(converted))
        throw std::range_error("ToNarrow: the text has characters that the current code page cannot carry");
    return std::string(buffer.As<char>());
}
