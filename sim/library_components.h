#pragma once
// Components this library placed in an assembly earlier, as a test or velmar-sim puts them in the
// starting document: a part of the top part (or of a macro element: a fastener set's member; or of
// another component: a part inside a standard part, its owner (25) that component) with the
// library's identity block (as the library writes it: items 9 to 13 wide), its model file, and whether
// it takes part in the bill of materials. It answers for its geometry and variables (none of either), so
// that it can be edited or replaced.
//
//   sim::Part& bolt = sim::AddLibraryComponent(velmar, geometry, "bolt1", {L"PART:B1", L"Болт", L"old\\bolt.vlm"});
//   ... the library relinks ...
//   EXPECT_EQ(sim::LibraryIdOf(velmar, bolt), L"PART:B1");
#include "sim/geometry_model.h"

#include <string>

namespace sim {

class Velmar;
class Part;

struct LibraryIdentity {
    std::wstring id;
    std::wstring name;
    std::wstring file;
    bool inSpc = true;
};

Part& AddLibraryComponent(Velmar& velmar, Geometry& geometry, const std::string& name, const LibraryIdentity& identity,
                          GeoEntity* set = nullptr, Part* owner = nullptr);
// The NM_ID a part's block holds; empty without one.
std::wstring LibraryIdOf(Velmar& velmar, Part& part);

} // namespace sim
