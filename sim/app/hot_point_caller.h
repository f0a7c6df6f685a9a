#pragma once
// velmar-sim as the caller of a library macro's hot points: what Velmar does when the user selects a
// library macro in a drawing and drags its points.
#include "sim/app/runner_options.h"
#include "sim/drawing.h"
#include "sim/reference_book.h"
#include "sim/velmar.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmar_sim {

// The library's export LibObjInterfaceEntry.
using ObjectEntry = void(WINAPI*)(int type, LONG_PTR unused, IUnknown** object);

struct HotPointSession {
    ObjectEntry entry = nullptr;
    std::optional<std::wstring> hotPointText;   // what 38 answers for the macro's part key
    std::optional<std::wstring> dragResponse;   // what 37 answers for the macro's part
    std::vector<HotPointDrag> drags;
    std::function<void()> flush;                // prints what happened so far
    std::function<void()> printDocument;        // prints the placed parts
};

// The last library macro at the drawing's top level: a macro with a user-data block; 0 for none.
long LastLibraryMacro(sim::Drawing& drawing);

// Selects the last placed library macro of the active drawing, asks the library for its hot points as
// Velmar does (type 1), prints them, runs the drags, prints the points and the document again and
// releases the object, saying whether the last release destroyed it.
void CallHotPoints(sim::Velmar& velmar, sim::ReferenceBook& book, const HotPointSession& session);

} // namespace velmar_sim
