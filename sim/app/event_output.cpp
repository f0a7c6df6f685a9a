#include "sim/app/event_output.h"

#include "sim/geometry_model.h"
#include "sim/journal.h"
#include "sim/part_graph.h"
#include "sim/velmar.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace velmar_sim {

namespace {

// A control character as the output shows it: \r, \n, \t, else \xHH.
void AppendEscaped(std::string& out, unsigned char c)
{
    switch (c) {
    case '\r': out += "\\r"; break;
    case '\n': out += "\\n"; break;
    case '\t': out += "\\t"; break;
    default: {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", c);
        out += hex;
    }
    }
}

bool IsControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

} // namespace

std::string Quote(const std::wstring& text)
{
    std::string quoted = "\"";
    for (unsigned char c : sim::Utf8(text)) {
        if (IsControl(c))
            AppendEscaped(quoted, c);
        else if (c == '"')
            quoted += "\\\"";
        else
            quoted += static_cast<char>(c);
    }
    return quoted + "\"";
}

std::string Printable(const std::string& line)
{
    std::string shown;
    shown.reserve(line.size());
    for (unsigned char c : line) {
        if (IsControl(c))
            AppendEscaped(shown, c);
        else
            shown += static_cast<char>(c);
    }
    return shown;
}

void PrintLine(const std::string& line)
{
    const std::string shown = Printable(line);
    std::fwrite(shown.data(), 1, shown.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void PrintEvent(const std::string& kind, const std::string& detail)
{
    PrintLine(detail.empty() ? kind : kind + ": " + detail);
}

std::string ComponentName(sim::Part& part)
{
    // The stand-in names a part's version-5 object by the part's name and "5".
    const std::string& name = part.V5().Name();
    return name.substr(0, name.size() - 1);
}

std::string ObjectName(sim::Velmar& velmar, sim::Geometry* geometry, IUnknown* object)
{
    if (sim::Part* part = velmar.FindPart(object))
        return ComponentName(*part);
    if (sim::SpcObject* spc = velmar.ActiveDocument() ? velmar.ActiveDocument()->Spc().Find(object) : nullptr)
        return "spc object " + spc->Describe() + spc->DescribeComments();
    if (sim::GeoEntity* entity = geometry ? geometry->EntityOf(object) : nullptr)
        return entity->part && entity->part != geometry->topPart ? ComponentName(*entity->part) : entity->Name();
    const sim::Object* known = sim::Object::From(object);
    return known ? known->Name() : "an object";
}

void PrepareOutput()
{
    _setmode(_fileno(stdout), _O_BINARY);
}

} // namespace velmar_sim
