#include "sim/app/event_output.h"

#include "sim/geometry_model.h"
#include "sim/journal.h"
#include "sim/part_graph.h"
#include "sim/shown_text.h"
#include "sim/velmar.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace velmar_sim {

std::string Quote(const std::wstring& text)
{
    return "\"" + sim::EscapeShown(sim::Utf8(text), true) + "\"";
}

std::string Printable(const std::string& line)
{
    return sim::EscapeShown(line, false);
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
