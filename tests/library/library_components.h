#pragma once
// Components this library placed earlier in a stand-in assembly, for the tests and the benchmark of the
// whole-document commands: a part of the top part (or of a macro element: a fastener set's member) with
// the library's identity block, its model file and whether it takes part in the bill of materials.
#include "hostapi/velmar.h"
#include "sim/geometry_model.h"
#include "sim/user_params.h"
#include "sim/velmar.h"

#include <string>

namespace document_test {

struct Placed {
    std::wstring id;
    std::wstring name;
    std::wstring file;
    bool inSpc = true;
};

inline sim::Part& AddLibraryComponent(sim::Velmar& velmar, sim::Geometry& geometry, const std::string& name,
                                      const Placed& placed, sim::GeoEntity* set = nullptr)
{
    sim::Part& part = velmar.AddPart(name);
    sim::UserParamBlock block;
    block.libName = L"Нормсет";
    block.flag = 1;
    const std::wstring items[14] = {L"", L"", L"", L"", placed.id, placed.name, L"", L"", L"",
                                    placed.id, placed.name, L"Bolt.vlm", L"", L"Q-" + placed.id};
    for (const std::wstring& item : items)
        block.items.push_back({item, item, 0});
    velmar.UserParams().BlockOf(part) = block;
    part.V5().Value(IVel5Part::UserParamSet) = true;
    part.V5().Value(IVel5Part::FileName) = placed.file.c_str();
    part.V7().Value(53) = _variant_t(placed.inSpc ? VARIANT_TRUE : VARIANT_FALSE, VT_I2);
    if (set) {
        set->inner.push_back(&part.Feature());
        part.PlaceIn(set->Feature());
    } else {
        geometry.Shape(*geometry.topPart).features.push_back(&part.Feature());
    }
    return part;
}

} // namespace document_test
