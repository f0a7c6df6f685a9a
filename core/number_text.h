#pragma once
// Numbers and booleans to and from text. The readers are strict: the whole text must be the value,
// and a failure throws DataConvertError. A decimal number may use "." or "," whatever the C runtime's
// numeric locale, because values come both from the reference book and from a Russian user interface.
#include <concepts>
#include <cstdint>
#include <string>
#include <type_traits>

double StrToDouble(const std::wstring& text);
bool IsDouble(const std::wstring& text);
bool StrToBool(const std::wstring& text);
int64_t StrToInt64(const std::wstring& text);
bool IsInt64(const std::wstring& text);
int32_t StrToInt32(const std::wstring& text);
uint32_t StrToUInt32(const std::wstring& text);

namespace number_text_detail {
std::wstring SignedToStr(int64_t value);
std::wstring UnsignedToStr(uint64_t value);
std::wstring ToHex(uint64_t value, int digits);
// What FormatDouble does to the printed text: a three-digit exponent of an older runtime ("1e-007")
// loses its leading zero, and the padding of a bare "%[flags][width]..." format is restored.
std::wstring TwoDigitExponent(const std::wstring& printed, const std::wstring& format);
template <typename T>
concept Integer = std::integral<T> && !std::same_as<std::remove_cv_t<T>, bool>;
} // namespace number_text_detail

// Decimal digits with a leading "-" for negative values, no padding: one rule for every integer type.
template <number_text_detail::Integer T>
std::wstring IntToStr(T value)
{
    if constexpr (std::is_signed_v<T>)
        return number_text_detail::SignedToStr(static_cast<int64_t>(value));
    else
        return number_text_detail::UnsignedToStr(static_cast<uint64_t>(value));
}

// "0x" and lowercase hexadecimal digits zero-padded to the full width of the type (2, 4, 8 or 16 digits);
// a negative value shows its two's complement.
template <number_text_detail::Integer T>
std::wstring IntToHex(T value)
{
    using Unsigned = std::make_unsigned_t<T>;
    return number_text_detail::ToHex(static_cast<uint64_t>(static_cast<Unsigned>(value)),
                                     static_cast<int>(sizeof(T) * 2));
}

// The value printed by the C runtime with `format` (one double conversion such as "%.15g" or "%8.2f"),
// with the first separator of the other kind replaced by `separator` ("." or ","). An exponent always
// has at least two digits ("1e-07"), whichever runtime prints it.
std::wstring FormatDouble(double value, wchar_t separator, const std::wstring& format);

// FormatDouble with "%.15g".
std::wstring DoubleToStr(double value, wchar_t separator);

// Switches the C runtime's numeric locale (LC_NUMERIC) for a scope and restores the previous one.
// Throws std::runtime_error when the runtime does not know the locale.
class ScopedNumericLocale {
public:
    explicit ScopedNumericLocale(const char* locale);
    ~ScopedNumericLocale();
    ScopedNumericLocale(const ScopedNumericLocale&) = delete;
    ScopedNumericLocale& operator=(const ScopedNumericLocale&) = delete;

private:
    std::string previous_;
};
