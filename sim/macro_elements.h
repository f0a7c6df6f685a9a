#pragma once
// Macro elements (type 63) that the library makes in a part of the stand-in Velmar: the part's 93 makes
// one "macro<n>" in the part's feature tree, with the definition and inner objects of any macro element
// (sim/geometry_model.h: the inner objects' 10 and the definition's 4 take an object in; a part taken
// in lies in the element from then on). The document's 43 deletes an element with every object it holds
// (its parts and the elements inside it), and a part the document deletes leaves the element it lay in.
// All of it is part of Velmar's undo.
//
//   sim::MacroElements macros(velmar, geometry, document, top);
//   ... the library makes a fastener set ...
//   EXPECT_EQ(macros.Live().at(0)->HostName(), L"Комплект крепежа М10");
#include "sim/geometry_model.h"

#include <string>
#include <vector>

namespace sim {

class MacroElements {
public:
    MacroElements(Velmar& velmar, Geometry& geometry, Document& document, Part& part);
    ~MacroElements();
    MacroElements(const MacroElements&) = delete;
    MacroElements& operator=(const MacroElements&) = delete;

    // A macro element as the part's 93 makes it.
    GeoEntity& Make();
    // The elements made and not deleted, in order.
    std::vector<GeoEntity*> Live();
    // What velmar-sim prints: the element's name, the library's mark it keeps and the objects it holds.
    std::string Describe(GeoEntity& macro);

private:
    void Deleted(IUnknown* object);

    Velmar& velmar_;
    Geometry& geometry_;
    Document& document_;
    Part& part_;
    std::vector<GeoEntity*> made_;
    std::vector<GeoEntity*> deleted_;
    int deletion_ = 0;
};

} // namespace sim
