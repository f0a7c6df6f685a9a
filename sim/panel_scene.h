#pragma once
// Named geometry for panel runs: the assembly a user picks from, and the models whose named geometry
// proposes mates. velmar-sim gives every 3D document the assembly; tests build both.
//
// The assembly (top part "assembly"), each object picked by its name in a panel script:
//   top, side    planar faces
//   bore         a cylindrical face of radius 5
//   cone         a conical face (cone value 2.5)
//   axis         an axis
//   edge         a straight edge
//   ridge        a straight edge from (0, 0, 0) to (30, 40, 0)
//   rim          a circular edge of radius 6
//   thread       a thread M10 x 1.5 (diameter 10, pitch 1.5)
//   seatFace     a face of the attach point "seat", a mate element with both base objects
//   holeFace     a face of the constructive element "hole", whose mate element "holeSeat" has both
//   basePlane    the part's first base plane (type 1)
// A model (ModelGeometry): "Auto" with its base objects, the cone "Conus " (cone value 2.5), the planes
// and axes "Plane", "PlaneR", "Axis", "AxisD", coordinate systems "lcs<n>", as a test asks for them.
#include "sim/construction_model.h"
#include "sim/geometry_model.h"

#include <string>

namespace sim {

// The assembly above as the top part of the document.
void BuildPanelScene(Velmar& velmar, Geometry& geometry, Document& document);

// A plate for hole elements, in a part "plate" of its own: "plateTop" and "plateBottom" (planar faces 20
// apart; the bottom is met where an axis stands on the top) and the bores "plateBore1", "plateBore2"
// (radius 5.25, length 20). The construction lays the top's plane and meets the bottom.
struct Plate {
    Part* part = nullptr;
    GeoEntity* top = nullptr;
    GeoEntity* bottom = nullptr;
    GeoEntity* bores[2] = {};
};
Plate BuildPlate(Velmar& velmar, Geometry& geometry, Construction& made);
// Two straight edges of the plate's top that a sketch on it takes as segments through its origin,
// "plateEdgeX" along x and "plateEdgeY" along y: a point is placed from them at two distances.
void AddPlateEdges(Geometry& geometry, Construction& made, const Plate& plate);

class ModelGeometry {
public:
    ModelGeometry(Velmar& velmar, Geometry& geometry, const std::string& name);
    // The named geometry of an existing part, its objects named "<prefix><name>" in the stand-in and
    // "<name>" in Velmar, so that several copies of one model keep apart in the journal.
    ModelGeometry(Velmar& velmar, Geometry& geometry, Part& model, const std::string& prefix);

    Part& Model() { return *model_; }
    // A named object among the model's objects of its type; hostName: its name in Velmar, if not `name`.
    GeoEntity& Named(const std::string& name, short type, const std::wstring& hostName = L"");
    // "Auto" with its base object of kind 71 and, when asked, of kind 72.
    GeoEntity& AttachPoint(bool base72);
    // A cone of that type and name whose second face is the conical one (test 2).
    GeoEntity& Cone(short type, const std::wstring& name, double value = 2.5);
    // The cone's two faces made anew, as a rebuild of the model makes them: new objects "coneSide<n>"
    // and "conical<n>".
    void RemakeConeFaces(GeoEntity& cone, double value, int n);
    // A coordinate system with its X axis (71) and its element (sub-object kind 8).
    GeoEntity& Lcs(const std::string& name);
    // A cylindrical face of the model, among its faces (18 with 6), with its rim (an edge whose vertex
    // lies at the radius on the x axis from the part's origin).
    GeoEntity& Cylinder(const std::string& name, double radius, double length);

private:
    GeoEntity& Renamed(GeoEntity& entity, const std::string& name);

    Velmar& velmar_;
    Geometry& geometry_;
    Part* model_;
    std::string prefix_;
};

} // namespace sim
