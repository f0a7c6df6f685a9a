#pragma once
// How the stand-in quotes texts in what it describes: the components, placed parts and spc objects, the
// panel's log, the journal's calls as velmar-sim prints them. Tests compare descriptions with each text as
// it stands between its quotes; velmar-sim, which a person reads, calls ShowTextsEscaped() first, so that
// one escaping serves every line it prints:
//   a control character (C0, DEL and C1) anywhere on a line: \r, \n, \t, else \xHH (its code);
//   inside a quoted text besides: a backslash \\ and a double quote \".
//
//   sim::QuoteShown(L"Болт \"М10\"")   // "\"Болт \"М10\"\"" for a test, "\"Болт \\\"М10\\\"\"" for velmar-sim
#include "core/com.h"

#include <string>
#include <string_view>

namespace sim {

// A UTF-8 text escaped as above, whatever the mode; `quoted`: it stands between double quotes.
std::string EscapeShown(std::string_view utf8, bool quoted);

// The text in double quotes: as it stands, or escaped once ShowTextsEscaped() was called.
std::string QuoteShown(std::string_view utf8);
std::string QuoteShown(const std::wstring& text);

// A value as the journal renders it, a text quoted as QuoteShown quotes it.
std::string ShownValue(const VARIANT& value);

// A number as every listing shows it: a coordinate, an angle, a mass, a parameter, a hot point's position.
std::string ShownNumber(double value);

// From now on for the process every description quotes its texts escaped (velmar-sim's start).
void ShowTextsEscaped();

} // namespace sim
