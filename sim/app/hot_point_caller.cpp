#include "sim/app/hot_point_caller.h"

#include "core/com.h"
#include "core/unique.h"
#include "hostapi/library_interfaces.h"
#include "sim/app/event_output.h"
#include "sim/drawing.h"
#include "sim/shown_text.h"

#include <cstdio>

namespace velmar_sim {

namespace {

// Velmar asks for points until one is refused; a library offering more than this is not believed.
constexpr long kMostPoints = 64;

// The reference book's key of a part: its identifier between "PART:" and the first "["; none for a set.
std::wstring PartKey(const std::wstring& id)
{
    const std::wstring prefix = L"PART:";
    if (id.compare(0, prefix.size(), prefix) != 0)
        return L"";
    return id.substr(prefix.size(), id.find(L'[') - prefix.size());
}

// Each point as Velmar shows it: index, name, value text, position and the cursor it loads from the
// module the record names.
void PrintPoints(ILibHPObject* points, ILibHPObject1* names)
{
    for (long index = 0; index < kMostPoints; ++index) {
        LibHPPoint record{};
        if (points->GetPoint(&record, index) != 1)
            break;
        const wchar_t* name = nullptr;
        const std::string nameText = names->GetName(&name, index) == 1 && name ? Quote(name) : "(no name)";
        const UniqueBstr value(names->GetValueText(index));
        std::string line = std::to_string(index) + " " + nameText + " " + (value ? Quote(value.get()) : "(no value)") +
                           " at " + sim::ShownNumber(record.x) + ", " + sim::ShownNumber(record.y);
        if (record.cursor) {
            line += ", cursor " + std::to_string(record.cursor);
            const HINSTANCE module = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(record.module));
            if (!LoadCursorW(module, MAKEINTRESOURCEW(record.cursor)))
                line += " (not in the module given)";
        }
        PrintEvent("hot point", line);
    }
}

} // namespace

long LastLibraryMacro(sim::Drawing& drawing)
{
    long found = 0;
    for (long object : drawing.Objects())
        if (drawing.Find(object)->type == 27 && !drawing.IdentityOf(object).empty())
            found = object;
    return found;
}

void CallHotPoints(sim::Velmar& velmar, sim::ReferenceBook& book, const HotPointSession& session)
{
    sim::Document* document = velmar.ActiveDocument();
    sim::Drawing* drawing = document && document->Is2D() ? velmar.Drawings().Of(document->V5()) : nullptr;
    const long macro = drawing ? LastLibraryMacro(*drawing) : 0;
    if (!macro) {
        PrintEvent("hot points", "no library macro placed to select");
        return;
    }
    const std::wstring id = drawing->IdentityOf(macro).at(2);
    if (session.hotPointText)
        book.SetHotPoints(PartKey(id), *session.hotPointText);
    if (session.dragResponse) {
        book.SetDragResult(id, *session.dragResponse);
        book.AddPlacedResponse(*session.dragResponse);
    }
    document->V5().Value(IVel5Document2D::SelectedMacro) = macro;
    PrintEvent("hot points", "macro " + std::to_string(macro) + " " + Quote(id) + " selected");

    IUnknown* object = nullptr;
    session.entry(1, 0, &object);
    session.flush();
    if (!object) {
        PrintEvent("hot points", "none given");
        return;
    }
    ILibHPObject* points = static_cast<ILibHPObject*>(object);
    ILibHPObject1* names = nullptr;
    if (FAILED(points->QueryInterface(__uuidof(ILibHPObject1), reinterpret_cast<void**>(&names)))) {
        PrintEvent("hot points", "no second face; released, count " + std::to_string(points->Release()));
        return;
    }
    PrintPoints(points, names);
    for (const HotPointDrag& drag : session.drags) {
        PrintEvent("drag", "point " + std::to_string(drag.index) + " to " + sim::ShownNumber(drag.x) + ", " + sim::ShownNumber(drag.y) +
                               (drag.commit ? ", commit" : ", cancel"));
        const LibHPMove to{drag.x, drag.y};
        names->BeginDrag(drag.index);
        points->MovePoint(&to, drag.index);
        points->Refresh(0, drag.commit ? 1 : 0);
        names->EndDrag();
        session.flush();
    }
    if (!session.drags.empty()) {
        PrintPoints(points, names);
        session.printDocument();
    }
    names->Release();
    const ULONG left = points->Release();
    PrintEvent("hot points", left == 0 ? "released, the object destroyed" : "released, still held " + std::to_string(left) + " time(s)");
}

} // namespace velmar_sim
