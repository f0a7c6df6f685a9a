#pragma once
// What velmar-sim prints: one event a line, UTF-8, in a form that stays the same from run to run.
#include <string>

struct IUnknown;

namespace sim {
class Geometry;
class Part;
class Velmar;
} // namespace sim

namespace velmar_sim {

// "\"text\"" with the backslash, the double quote and every control character escaped (sim/shown_text.h),
// as the stand-in's descriptions quote their texts in velmar-sim.
std::string Quote(const std::wstring& text);

// A line with every control character (C0, DEL and C1 of UTF-8 text) escaped (\r, \n, \t, else \xHH), so
// that an event stays on its line and nothing in a part's texts reaches the terminal as a control. The
// texts a line quotes are escaped already, backslashes included.
std::string Printable(const std::string& line);

// Writes "<kind>: <detail>" as Printable shows it and flushes, so that a reader sees each event as it happens.
void PrintEvent(const std::string& kind, const std::string& detail);

// Writes a line as Printable shows it (the continuation lines of a listing, the lines of a trace log).
void PrintLine(const std::string& line);

// The one name velmar-sim gives a component wherever it prints it, the one --select and --arrange take:
// "comp1" for the first component inserted, "part1" for the first one the run started with.
std::string ComponentName(sim::Part& part);

// What velmar-sim prints for an object of the stand-in: the name of the component it is or belongs to
// (its part, or a face or axis of its model), an spc object of the active document as the listings give
// it, else the stand-in's own name of the object.
std::string ObjectName(sim::Velmar& velmar, sim::Geometry* geometry, IUnknown* object);

// Sets standard output to pass UTF-8 bytes through unchanged.
void PrepareOutput();

} // namespace velmar_sim
