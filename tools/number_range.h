#pragma once
// The ranges the settings dialogs allow for the numbers of a preset and its columns, and the one check
// of a typed number against them.
#include <cstdint>
#include <optional>
#include <string>

struct NumberRange {
    int32_t Min;
    int32_t Max;
};

inline constexpr NumberRange kSectionRange{1, 32767};
inline constexpr NumberRange kSubSectionRange{0, 10000};
inline constexpr NumberRange kBlockRange{1, 32767};        // nested and additional blocks, nested section
inline constexpr NumberRange kColumnNumberRange{1, 32767};

// The number when the whole text is a decimal 32-bit integer; nullopt for an empty text, a word, an
// overflow or stray characters.
std::optional<int32_t> ParseWholeNumber(const std::wstring& text);
// The number when it is one and lies in the range.
std::optional<int32_t> NumberInRange(const std::wstring& text, NumberRange range);
