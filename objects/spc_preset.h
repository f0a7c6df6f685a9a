#pragma once
// A specification preset: where a part's specification object goes (section, subsection, nested or
// additional block) and how its columns are filled, with its four stored forms: registry key, INI
// section, preset text and part variables.
#include <cstdint>
#include <string>

#include "objects/spc_column_set.h"

class Variables;

class NMSpcPreset {
public:
    // Empty texts; every other field at its default.
    NMSpcPreset();
    // The name and the defaults (section 25 under the Russian interface, else 20).
    explicit NMSpcPreset(const std::wstring& name);
    // A part's own preset: "spcSection", "spcSubSection", "spcNestedBlock", "spcNestedSection",
    // "spcAdditionalBlock" and "spcColumns"; a missing variable throws. Modes stay at their defaults.
    explicit NMSpcPreset(const Variables& vars);
    // Copies every field but the parsed columns: a copy starts without them, an assigned preset keeps
    // its own.
    NMSpcPreset(const NMSpcPreset& other);
    NMSpcPreset& operator=(const NMSpcPreset& other);
    ~NMSpcPreset();

    // True when the key existed (even with values missing); missing values take their defaults.
    bool LoadFromRegistry(const std::wstring& keyPath);
    // False when the key could not be created or a value not written.
    bool SaveToRegistry(const std::wstring& keyPath) const;
    // False when the profile functions could not write every key.
    bool SaveToIni(const std::wstring& fileName, const std::wstring& aPresetKey) const;
    void LoadFromIni(const std::wstring& fileName, const std::wstring& aPresetKey);
    // "Key=Value" lines separated by LF; unknown keys and lines without "=" are ignored; a number that
    // is not an unsigned decimal throws DataConvertError.
    void LoadFromString(const std::wstring& aPreset);
    // Takes over every group that the other preset imposes.
    void Correct(const NMSpcPreset& other);
    void CopyFrom(const NMSpcPreset& other);
    void DebugInfo() const;

    // Every constructor sets every field.
    std::wstring PresetName;
    bool SectionMode;
    int32_t SectionNum;
    bool SubSectionMode;
    int32_t SubSectionNum;
    int32_t ExtSectionMode; // 0 nothing imposed, 1 nested block and section, any other additional block
    int32_t NestedBlockNum;
    int32_t NestedSectionNum;
    int32_t AdditionalBlockNum;
    bool ColumnsMode;
    std::wstring Columns;
    // Columns parsed against a part's variables (ParseColumnSet); never stored, never copied.
    SpcColumnSet ParsedColumns;

private:
    // The defaults of a named preset, name and column texts left as they are.
    void SetDefaultNumbers();
};

// The column set of a preset that nobody has edited.
inline constexpr wchar_t kDefaultSpcColumns[] = L"5.1=Designation,VELMAR_SPEC_PATTERN";
