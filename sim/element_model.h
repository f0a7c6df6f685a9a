#pragma once
// Constructive elements that part scripts build in the stand-in's part. Velmar's own part scripts build
// their elements with Velmar's objects; the stand-in's scripts call one member of the stand-in's own on
// the document ("Doc"): BuildElement(kind, parameters, positmType, positmX, positmY, positmR, positmA,
// PosEntities), and add the element it answers to "PosEntities":
//
//   Sub Script_OnLoad()
//     Set element = Doc.BuildElement("hole", "D=" & D, positmType, positmX, positmY, positmR, positmA, PosEntities)
//     RAZadi.Append "hole built"
//     PosEntities.Add element
//   End Sub
//
// The element is a macro element (type 63) of the top part named after its kind, holding what the
// library looks for in it: a sketch on the start surface (the first positioning reference) with its base
// point at (positmX, positmY), or, from two edges (positmType 1), the two edges' projections as lines,
// each tied by merges (11) to its dimension (13041, whose side constraint 14 is off) and to its base
// point (13077, "tx"/"ty"); a system (85); a cut (25) whose face is the element's cylindrical face; an
// inner part holding that face; and a mate element (68). Its attributes are kept on its feature. It is
// part of the undo step it was made in, and the document's 43 deletes it (undoably too).
//
//   sim::ScriptedElements elements(velmar, geometry, made, document, top);
//   ... the library runs a part script ...
//   EXPECT_EQ(elements.Live().at(0)->kind, L"hole");
#include "sim/construction_model.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace sim {

struct BuiltElement {
    std::wstring kind;
    std::wstring parameters;
    long positmType = 0;
    double positmX = 0;
    double positmY = 0;
    double positmR = 0;
    double positmA = 0;
    std::vector<std::string> references;         // the positioning references in order, "-" for none
    GeoEntity* macro = nullptr;
    MadeEntity* sketch = nullptr;
    GeoEntity* face = nullptr;                   // its cylindrical face
    std::vector<ObjectRef> basePoints;           // from two edges: the base point of each line
    bool deleted = false;
};

class ScriptedElements {
public:
    // The document's member the scripts call (the stand-in's own number).
    static constexpr DISPID kBuildElement = 1601;
    // Where a base point keeps its "tx", "ty" and how often it was updated (value keys of the stand-in's own).
    static constexpr int kBaseX = 1611;
    static constexpr int kBaseY = 1612;
    static constexpr int kBaseUpdates = 1613;

    ScriptedElements(Velmar& velmar, Geometry& geometry, Construction& made, Document& document, Part& top);
    ~ScriptedElements();
    ScriptedElements(const ScriptedElements&) = delete;
    ScriptedElements& operator=(const ScriptedElements&) = delete;

    std::deque<BuiltElement>& Elements() { return elements_; }
    std::vector<BuiltElement*> Live();
    // The element a macro element (or its feature) is; null for any other object.
    BuiltElement* ElementOf(IUnknown* object);
    // What velmar-sim prints of an element: its name and kind, its parameters, its position values and
    // the references it was built from.
    std::vector<std::string> Describe(const BuiltElement& element) const;
    // What BuildElement makes, for a test that needs an element no script made: the asked kind,
    // parameters and position values, built from the references (the first one required).
    BuiltElement& Make(const BuiltElement& asked, const std::vector<IDispatchPtr>& references);
    // Told of every element once it is built, before the script goes on (a test may act there).
    std::function<void(BuiltElement&)> OnBuilt;
    // The radius of the cylindrical face when the references give none.
    double defaultRadius = 5;

private:
    _variant_t Build(Args& args);
    std::vector<Object2D> EdgeLines(BuiltElement& element, const std::vector<IDispatchPtr>& references);
    ObjectRef SketchObject(const std::string& name, long type, std::vector<ObjectRef> constraints);
    ObjectRef Constraint(const std::string& name, long type, Object* partner);
    ObjectRef NewObject(const std::string& name);
    std::string NameOf(IUnknown* object) const;
    void Deleted(IUnknown* object);

    Velmar& velmar_;
    Geometry& geometry_;
    Construction& made_;
    Document& document_;
    Part& top_;
    std::deque<BuiltElement> elements_;
    std::vector<ObjectRef> objects_;
    int deletion_ = 0;
};

} // namespace sim
