#pragma once
// Components of the stand-in Velmar's assembly: what a 3D document does when a part is inserted from its
// model file. Built over a document whose geometry the Geometry answers (after Geometry::UseDocument),
// with the models it knows (sim/model_catalogue.h):
//
//   document 7 with -3: a new part "comp<n>", not yet in the assembly; -2 the part selected for editing
//       (`selected`); -1 and -4 as the geometry has them
//   new part 6 (put): its model file; a file the catalogue knows gives the part the model's variables
//       (11 without arguments: 3 first, 5 next; each variable 2 name, 1 value) and named geometry, and
//       its mass and material
//   its version-7 part: mass and inertia (IVel7MassInertia: 29 and 21 kept, 18 the unit flag of the
//       assembly, 19 the mass, 54 the material with its density) and the update (IVel7ModelObject 15)
//   document 60 (file, part, true): the new part becomes a component, last in the top part's feature
//       tree; a component the document deletes (43) goes with its mates; any part of the top part's
//       feature tree it deletes (a library component the document started with too) leaves the tree
//
//   sim::Assembly assembly(velmar, geometry, document, catalogue);
//   ... the library inserts ...
//   EXPECT_EQ(assembly.Components().at(0)->Variable(L"L"), 50);
#include "sim/geometry_model.h"
#include "sim/model_catalogue.h"
#include "sim/spc_model.h"

#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace sim {

class Document;

struct Component {
    Part* part = nullptr;
    std::wstring file;                           // 6
    const ModelDescription* model = nullptr;     // the catalogue's model of the file; null when unknown
    std::vector<std::pair<std::wstring, ObjectRef>> variables;
    double mass = 0;
    std::wstring material;
    double density = 0;
    long setting21 = 0;
    long setting29 = 0;
    int updates = 0;                             // version-7 15
    bool inserted = false;                       // 60
    std::wstring insertedFile;                   // what 60 was given
    bool deleted = false;                        // 43

    // A variable's value; NaN when the part has no such variable.
    double Variable(const std::wstring& name) const;
};

class Assembly {
public:
    Assembly(Velmar& velmar, Geometry& geometry, Document& document, const ModelCatalogue& catalogue);
    ~Assembly();
    Assembly(const Assembly&) = delete;
    Assembly& operator=(const Assembly&) = delete;

    Part* selected = nullptr;                    // 7 with -2
    long massUnitFlag = 0;                       // 18 of every new part's mass and inertia
    bool partsInSpc = true;                      // version-7 53 of every new part

    // Every new part made, in order.
    std::deque<Component>& NewParts() { return parts_; }
    // The components placed and not deleted, in order.
    std::vector<Component*> Components();
    // The document's mates a component takes part in.
    std::vector<const MateRecord*> MatesOf(const Component& component);
    // The spc objects a component is included in.
    std::vector<SpcObject*> SpcObjectsOf(const Component& component);
    // What velmar-sim prints of a component: its name and model file, then a line each for its
    // parameters, its mass and material, its placement, every mate and every spc object.
    std::vector<std::string> Describe(const Component& component);

private:
    Component& NewPart();
    // Velmar lists a new component last in the top part's feature tree.
    void JoinTopTree(Component& component);
    void TakeOutOfTopTree(IUnknown* object);
    void TakeModel(Component& component);
    bool IsOf(const Component& component, IUnknown* object);

    Velmar& velmar_;
    Geometry& geometry_;
    Document& document_;
    const ModelCatalogue& catalogue_;
    std::deque<Component> parts_;
    int deletion_ = 0;
};

} // namespace sim
