#pragma once
// What velmar-sim prints: one event a line, UTF-8, in a form that stays the same from run to run.
#include <string>

namespace velmar_sim {

// "\"text\"" with CR, LF, tab and the double quote escaped, so that an event stays on its line.
std::string Quote(const std::wstring& text);

// Writes "<kind>: <detail>" and flushes, so that a reader sees each event as it happens.
void PrintEvent(const std::string& kind, const std::string& detail);

// Writes a line as it is (for the lines of a trace log).
void PrintLine(const std::string& line);

// Sets standard output to pass UTF-8 bytes through unchanged.
void PrepareOutput();

} // namespace velmar_sim
