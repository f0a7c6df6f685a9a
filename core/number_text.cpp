#include "core/number_text.h"

#include "core/data_convert_error.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <stdexcept>
#include <vector>

namespace {

// Reads a whole text as a double; on failure gives false and the error code.
bool ReadDouble(const std::wstring& text, double& result, uint32_t& code)
{
    code = DataConvertError::InvalidArgument;
    if (text.empty())
        return false;
    // The text may use either separator: make it the one the runtime's numeric locale reads.
    const lconv* locale = localeconv();
    const bool dotLocale = !locale || !locale->decimal_point || locale->decimal_point[0] == '.';
    std::wstring normal = text;
    for (auto& c : normal) {
        if (dotLocale && c == L',')
            c = L'.';
        else if (!dotLocale && c == L'.')
            c = L',';
    }
    const wchar_t* begin = normal.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    const double value = wcstod(begin, &end);
    if (end != begin + normal.size())
        return false;
    if (errno == ERANGE) {
        // Zero and subnormal results are underflows; the runtime reports both with ERANGE.
        code = std::fabs(value) < DBL_MIN ? DataConvertError::Underflow : DataConvertError::Overflow;
        return false;
    }
    // "inf" and "nan" read without a range error, but no value of the library may be non-finite.
    if (!std::isfinite(value))
        return false;
    result = value;
    return true;
}

bool ReadInt64(const std::wstring& text, int64_t& result, uint32_t& code)
{
    code = DataConvertError::InvalidArgument;
    if (text.empty())
        return false;
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    const int64_t value = _wcstoi64(begin, &end, 10);
    if (end != begin + text.size())
        return false;
    if (errno == ERANGE) {
        code = value == INT64_MIN ? DataConvertError::Underflow : DataConvertError::Overflow;
        return false;
    }
    result = value;
    return true;
}

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// Prints with a count-limited call, growing the buffer until the whole text fits with its terminator.
std::wstring PrintDouble(double value, const std::wstring& format)
{
    size_t size = 128;
    for (;;) {
        std::vector<wchar_t> buffer(size, L'\0');
        const int written = _snwprintf(buffer.data(), size, format.c_str(), value);
        if (written >= 0 && static_cast<size_t>(written) < size)
            return std::wstring(buffer.data(), static_cast<size_t>(written));
        // Some runtimes answer -1, others the length needed.
        const size_t needed = written >= 0 ? static_cast<size_t>(written) + 1 : size * 2;
        if (needed > static_cast<size_t>(INT_MAX))
            throw std::length_error("FormatDouble: the printed number is too long");
        size = needed > size ? needed : size * 2;
    }
}

// One strict reader: Read gives the value, or false and the error code.
template <typename T, bool (*Read)(const std::wstring&, T&, uint32_t&)>
struct StrictReader {
    static T Value(const std::wstring& text, const wchar_t* function)
    {
        T value{};
        uint32_t code = 0;
        if (!Read(text, value, code))
            throw DataConvertError(code, function, text);
        return value;
    }
    static bool Accepts(const std::wstring& text)
    {
        T value{};
        uint32_t code = 0;
        return Read(text, value, code);
    }
};

using DoubleReader = StrictReader<double, ReadDouble>;
using Int64Reader = StrictReader<int64_t, ReadInt64>;

} // namespace

double StrToDouble(const std::wstring& text)
{
    return DoubleReader::Value(text, L"StrToDouble");
}

bool IsDouble(const std::wstring& text)
{
    return DoubleReader::Accepts(text);
}

bool StrToBool(const std::wstring& text)
{
    if (_wcsicmp(text.c_str(), L"true") == 0)
        return true;
    if (_wcsicmp(text.c_str(), L"false") == 0)
        return false;
    throw DataConvertError(DataConvertError::InvalidArgument, L"StrToBool", text);
}

int64_t StrToInt64(const std::wstring& text)
{
    return Int64Reader::Value(text, L"StrToInt64");
}

bool IsInt64(const std::wstring& text)
{
    return Int64Reader::Accepts(text);
}

int32_t StrToInt32(const std::wstring& text)
{
    const int64_t value = StrToInt64(text);
    if (value < INT32_MIN)
        throw DataConvertError(DataConvertError::Underflow, L"StrToInt32", text);
    if (value > INT32_MAX)
        throw DataConvertError(DataConvertError::Overflow, L"StrToInt32", text);
    return static_cast<int32_t>(value);
}

uint32_t StrToUInt32(const std::wstring& text)
{
    const int64_t value = StrToInt64(text);
    if (value < 0)
        throw DataConvertError(DataConvertError::Underflow, L"StrToUInt32", text);
    if (value > static_cast<int64_t>(UINT32_MAX))
        throw DataConvertError(DataConvertError::Overflow, L"StrToUInt32", text);
    return static_cast<uint32_t>(value);
}

namespace number_text_detail {

std::wstring UnsignedToStr(uint64_t value)
{
    wchar_t digits[24];
    wchar_t* p = digits + 24;
    do {
        *--p = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value);
    return std::wstring(p, digits + 24);
}

std::wstring SignedToStr(int64_t value)
{
    if (value >= 0)
        return UnsignedToStr(static_cast<uint64_t>(value));
    // The magnitude of the smallest value does not fit in int64_t: negate in unsigned arithmetic.
    return L"-" + UnsignedToStr(0 - static_cast<uint64_t>(value));
}

std::wstring ToHex(uint64_t value, int digits)
{
    std::wstring text(static_cast<size_t>(digits) + 2, L'0');
    text[1] = L'x';
    for (int i = digits + 1; i >= 2; --i, value >>= 4)
        text[static_cast<size_t>(i)] = L"0123456789abcdef"[value & 0xF];
    return text;
}

std::wstring TwoDigitExponent(const std::wstring& printed, const std::wstring& format)
{
    std::wstring text = printed;
    size_t removed = 0;
    for (size_t i = 0; i + 2 < text.size(); ++i) {
        if ((text[i] != L'e' && text[i] != L'E') || (text[i + 1] != L'+' && text[i + 1] != L'-'))
            continue;
        const size_t first = i + 2;
        size_t last = first;
        while (last < text.size() && IsDigit(text[last]))
            ++last;
        while (last - first > 2 && text[first] == L'0') {
            text.erase(first, 1);
            --last;
            ++removed;
        }
        i = last;
    }
    if (!removed || format.empty() || format[0] != L'%')
        return text;

    // A bare conversion was padded to its width around the longer exponent: pad the shorter one alike.
    size_t pos = 1;
    bool left = false, zero = false;
    for (; pos < format.size() && format[pos] && wcschr(L"-+ #0", format[pos]); ++pos) {
        left = left || format[pos] == L'-';
        zero = zero || format[pos] == L'0';
    }
    size_t width = 0;
    for (; pos < format.size() && IsDigit(format[pos]); ++pos)
        width = width * 10 + static_cast<size_t>(format[pos] - L'0');
    if (pos < format.size() && format[pos] == L'.')
        for (++pos; pos < format.size() && IsDigit(format[pos]); ++pos) {
        }
    const bool bare = pos + 1 == format.size() && format[pos] && wcschr(L"eEgG", format[pos]);
    if (!bare || text.size() >= width)
        return text;
    const size_t pad = width - text.size();
    if (left) {
        text.append(pad, L' ');
    } else if (zero) {
        size_t at = 0;
        while (at < text.size() && !IsDigit(text[at]))
            ++at;
        text.insert(at, pad, L'0');
    } else {
        text.insert(0, pad, L' ');
    }
    return text;
}

} // namespace number_text_detail

std::wstring FormatDouble(double value, wchar_t separator, const std::wstring& format)
{
    std::wstring text = number_text_detail::TwoDigitExponent(PrintDouble(value, format), format);
    const wchar_t other = separator == L'.' ? L',' : L'.';
    const size_t at = text.find(other);
    if (at != std::wstring::npos)
        text[at] = separator;
    return text;
}

std::wstring DoubleToStr(double value, wchar_t separator)
{
    return FormatDouble(value, separator, L"%.15g");
}

ScopedNumericLocale::ScopedNumericLocale(const char* locale)
{
    const char* current = setlocale(LC_NUMERIC, nullptr);
    previous_ = current ? current : "C";
    if (!setlocale(LC_NUMERIC, locale))
        throw std::runtime_error(std::string("The C runtime does not know the locale ") + locale);
}

ScopedNumericLocale::~ScopedNumericLocale()
{
    setlocale(LC_NUMERIC, previous_.c_str());
}
