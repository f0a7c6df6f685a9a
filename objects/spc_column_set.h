#pragma once
// Column sets: the short text that says which specification columns of a part are filled and from
// which part variables, its parsed records, and the writer of one text into a host column.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "hostapi/velmar7.h"

class Variables;

// One descriptor of a column set, resolved against a part's variables.
struct SpcColumnRecord {
    int32_t Type = 0;                // the host's column type code
    int32_t Number = 0;              // the column number within its type
    std::wstring Text;               // value of the text variable; empty when it has none
    bool HasPattern = false;         // a pattern variable is named and has a value
    bool Plus = false;               // the pattern's first field begins with "+"
    double Value = 0;                // the pattern's first field
    std::vector<std::wstring> Lines; // the pattern's further fields

    bool operator==(const SpcColumnRecord&) const = default;
};

struct SpcColumnSet {
    double PatternValue = 0; // Value of the last record with a pattern; 0 when there is none
    std::vector<SpcColumnRecord> Records;
};

// Empties the set and fills it from the column-set text (descriptors separated by ";").
// An incomplete descriptor, or one whose type or number is not a number, is skipped and traced; a
// pattern number that is not a number throws DataConvertError.
void ParseColumnSet(SpcColumnSet& set, const std::wstring& text, const Variables& vars);

// One descriptor "type.number=TextVar[,PatternVar]" (any of ".", "=", "," separates the pieces).
// No record (nullopt) when the descriptor has fewer than three pieces or its type or number is no number.
std::optional<SpcColumnRecord> ParseColumnDescriptor(const std::wstring& descriptor, const Variables& vars);

// Writes one text into one column of a host specification object: with useFmt through the column's
// whole-string interface, otherwise into line 0 of the column's text object (a text object without
// lines is left as it is). A failed host call, or a column without the interface, throws _com_error.
void SpcColumnSetString(IVel7SpcColumn* column, const std::wstring& aStr, bool useFmt);
