#pragma once
// The failure of a text-to-value converter: which converter, on what text, and why.
#include <cstdint>
#include <string>

class DataConvertError {
public:
    static constexpr uint32_t Overflow = 0;
    static constexpr uint32_t Underflow = 1;
    static constexpr uint32_t InvalidArgument = 2;

    DataConvertError(uint32_t code, std::wstring function, std::wstring value);

    // "StrToInt32(99999999999) overflow." and the like; an unknown code gives an empty text.
    std::wstring Message() const;

    uint32_t code;
    std::wstring function;  // "StrToDouble", "StrToBool", "StrToInt32", "StrToUInt32" or "StrToInt64"
    std::wstring value;     // the text that was being converted
};
