#pragma once
// Named texts: part parameters, preset values and script values, ordered by exact (case-sensitive) name.
// Filled by ordinary map insertion; the getters fail loudly when a required name is missing.
#include <cstdint>
#include <map>
#include <string>

class Variables : public std::map<std::wstring, std::wstring> {
public:
    using std::map<std::wstring, std::wstring>::map;

    // An absent name throws the wide string "No variable with name \"<name>\"".
    std::wstring GetString(const std::wstring& name) const;
    // StrToDouble / StrToInt32 of the value: a value that is no number throws DataConvertError.
    double GetDouble(const std::wstring& name) const;
    int32_t GetInt(const std::wstring& name) const;
    // The name is present and its value is not a null value.
    bool HasValue(const std::wstring& name) const;

    // "NULL_VALUE" exactly, or a text of spaces only (empty included): present, but no value.
    static bool IsNullValue(const std::wstring& text);
};
