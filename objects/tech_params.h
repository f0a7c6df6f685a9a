#pragma once
// The technological data of a part as two attributes of the attribute library "corvalis.lat": the
// element attribute (the constructive element's name and location) and the parameter attribute (name,
// value text and type text of every technological parameter). The values travel to the subclasses'
// CreateTechAttribute as plain texts with their flags; the subclass builds whatever host arrays its
// attribute call takes.
#include <cstdint>
#include <string>
#include <vector>

inline constexpr double kTechElementAttribute = 306592339351.0;
inline constexpr double kTechParamsAttribute = 303357685861.0;
inline constexpr wchar_t kTechAttributeLibrary[] = L"corvalis.lat";

// One value of an attribute and its companion entry's 16-bit field (1 for every value written here).
struct TechAttrValue {
    std::wstring text;
    int16_t flag = 1;

    bool operator==(const TechAttrValue&) const = default;
};
using TechAttrValues = std::vector<TechAttrValue>;

struct TechParamText {
    std::wstring type;    // "", "string", "boolean" or "float"
    std::wstring value;

    bool operator==(const TechParamText&) const = default;
};

// The type and value texts of a raw parameter value (spaces around it are dropped first): empty stays
// empty; a value in double quotes is a string without them; any other value holding a double quote is a
// string as written; "true" or "false" in any case is a boolean; anything else a float with "," for ".".
TechParamText ClassifyTechParam(const std::wstring& raw);
