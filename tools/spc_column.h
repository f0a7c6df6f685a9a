#pragma once
// One column of a preset's column set as the column editor sees it: the column's type and number, the
// part variable that fills it and the optional attribute, stored as "type.number=value[,attribute]".
// The column-set text joins the records with ";". Preset readers resolve the same text against a part
// (ParseColumnDescriptor); these forms are the editor's own and read anything without throwing.
#include <cstdint>
#include <string>
#include <vector>

struct SpcColumn {
    uint32_t Type = 0;      // 1 to 16: a row of the type table
    uint32_t Number = 0;    // 1 to 32767 among the columns of its type
    std::wstring Value;     // a value key or any other variable name
    std::wstring Attribute; // empty, or the attribute the column takes its value from

    bool operator==(const SpcColumn&) const = default;
};

inline constexpr uint32_t kSpcColumnTypeCount = 16;
inline constexpr wchar_t kSpecPatternAttribute[] = L"VELMAR_SPEC_PATTERN";
// The characters that separate records and their pieces: none may stand inside a value or attribute.
inline constexpr wchar_t kSpcColumnSeparators[] = L".=,;";

// "%d.%d=%s", or "%d.%d=%s,%s" with an attribute.
std::wstring SpcColumnText(const SpcColumn& column);
// Pieces at any of ".=,": a type or number that is no 32-bit integer reads as 1; a missing value or
// attribute as empty; further pieces are ignored.
SpcColumn ParseSpcColumn(const std::wstring& text);

std::wstring SpcColumnSetText(const std::vector<SpcColumn>& columns);
// The columns of the records the preset readers fill (ParseColumnDescriptor); the records they skip, cut
// short or with a type or number that is no number, are left out. An empty text gives no columns.
std::vector<SpcColumn> ParseSpcColumnSet(const std::wstring& text);

// The translated label of a type; type 0 is the template attribute's own row, and a type past the table
// (a hand-edited registry or file) shows its number.
std::wstring SpcColumnTypeLabel(uint32_t type);
// "label[number]".
std::wstring SpcColumnDisplayText(const SpcColumn& column);

bool HasColumnSeparator(const std::wstring& text);
