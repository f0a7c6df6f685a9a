#pragma once
// The 3D geometry of the stand-in Velmar: the entities of parts (faces with their surfaces, edges, axes,
// planes, threads, macro elements, pattern features, local coordinate systems, mate elements), the faces
// and feature trees of parts, the conversion of points between parts, and the mates of a 3D document.
// It answers with the values a test gives it; what the library computes from them stays the library's.
//
//   sim::Velmar velmar;
//   sim::Geometry geometry(velmar);                      // after the Velmar: it must not outlive it
//   sim::Part& part = velmar.AddPart("part");
//   sim::GeoEntity& bore = geometry.AddFace("bore", &part, {.test3 = true, .length = 20, .radius = 4});
//   sim::GeoEntity& macro = geometry.AddMacro("hole", &part);
//   macro.Add(bore);                                     // an inner object of the element
//   geometry.Shape(part).features.push_back(&macro.Feature());
//
// Every entity is a version-5 entity (IVel5Entity: 2 name (the entity's name at first), 10 update, 3 type, 5 definition, 6 part, 15 surface-flag chain of
// a face, 18 direction objects by kind), its feature (IVel5Object: 7 = 105, 8 the entity, 5 itself, 4
// with two arguments the feature collection of an element's inner objects) and a version-7 form
// (IVel7Entity method 41 items by code, IVel7ModelObject, IVel7ObjectRef; its dispatch side answers 34 with the entity's
// feature and 14 with the feature of the element it lies in, or its own). IVel5Application::ToLayer
// takes the entity and its feature to the version-7 form. Object names in the journal: "<name>5",
// "<name>7", "<name>Feature", "<name>Def", "<name>Surface", "<name>Curve", "<name>Items" ...
//
// A macro element's definition keeps the record its 5 is given (Value(5)) and its property 1, and has a
// version-7 twin "<name>Def7" (IVel7ObjectRef), the object its named values are stored under. A face's
// definition gives its edges (11), its sub-objects of kind 7.
// Parts (Shape): 4 with two arguments the feature collection (the part's host object too), 11 with the code 6 the face iterator, 18
// the objects of a type (walked with 3 and 5, found by name with 9), 45 the conversion of a point from
// another part by the two parts' origins; version-7 method 64.
// A 3D document (UseDocument): 7 the part of a code (-1 top, -4 edited in place), 8 its mates
// (sim/mate_list.h), 27 a mate made at once, 34 a new mate definition whose check (5) answers `mateCheck`.
// Entities also answer their name (2 of the version-5 entity, 42 of the version-7 form), their owner (14
// of the version-5 entity: the feature of the element they lie in, or their own, as picked objects
// arrive) and, on their feature, their sub-objects of a kind (11). Every entity can be picked by name in
// a panel run (sim/panel_model.h).
#include "hostapi/velmar.h"
#include "sim/mate_list.h"
#include "sim/sim_object.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sim {

class Velmar;
class Part;
class Document;
class GeoEntity;

struct Point3 {
    double x = 0;
    double y = 0;
    double z = 0;
};

// A face: the end of its surface-flag chain, its definition's answers and its surface.
struct FaceShape {
    bool surfaceFlag = true;   // entity 15 → 3 → 3
    bool test1 = false;        // definition 1, 2, 3
    bool test2 = false;
    bool test3 = false;
    double length = 0;         // definition 4 gives (length, radius)
    double radius = 0;
    bool orientation = true;   // definition 8
    double u = 0;              // the surface's 15 and 17
    double v = 0;
    Point3 point{};              // surface 2 at (u, v)
    Point3 normal{};             // surface 3 at (u, v)
    bool cone = false;         // the surface's parameters (29): a cone's, else a cylinder's
    double coneValue = 0;      // cone 3
    Point3 axisPoint{};          // cylinder 3 → axis 1
};

// An edge: its definition's answers and the faces on its two sides.
struct EdgeShape {
    bool test1 = false;        // definition 1, 8, 9, 10
    bool test8 = false;
    bool test9 = false;
    bool test10 = false;
    GeoEntity* side1 = nullptr;   // definition 4 with -1: this face's definition
    GeoEntity* side2 = nullptr;   // definition 4 with 0
};

struct ThreadShape {
    double param1 = 0;         // definition 1, 2, 3
    double param2 = 0;
    double param3 = 0;
    bool outer = false;        // definition 4
    GeoEntity* base = nullptr; // definition 10
};

// An axis of types 9 to 13: a straight curve from `from` (parameter start) to `to` (parameter end).
// As an edge's curve it is a line (15; 20 the line: 1 and 2 its ends), or a circle of `circleRadius`
// when that is above 0 (17; 20 the circle: 1 its radius).
struct AxisShape {
    Point3 from{};
    Point3 to{};
    double start = 0;
    double end = 1;
    double circleRadius = 0;
};

class GeoEntity {
public:
    const std::string& Name() const { return name_; }
    short Type() const { return type_; }
    Object& V5() { return *v5_; }
    Object& V7() { return *v7_; }
    Object& Feature() { return *feature_; }
    Object& Definition() { return *definition_; }   // for kinds that have one
    bool HasDefinition() const { return static_cast<bool>(definition_); }
    IVel5EntityPtr Entity() { return v5_->As<IVel5Entity>(); }
    // The name Velmar shows and finds it by (its 2, which the library may rename); the stand-in's own
    // name unless set.
    std::wstring HostName() const { return v5_->Text(IVel5Entity::Name); }
    void SetHostName(const std::wstring& name) { v5_->Value(IVel5Entity::Name) = name.c_str(); }

    // Macro elements: their inner objects, in order; an entity added lies in this element.
    void Add(GeoEntity& inner);
    void Add(Part& part);

    Part* part = nullptr;                        // answered at 6
    GeoEntity* owner = nullptr;                  // the element it lies in
    FaceShape face;
    EdgeShape edge;
    ThreadShape thread;
    AxisShape axis;                              // also an edge's curve (its definition's 3)
    double offset = 0;                           // an offset plane's definition 1
    Object* surface = nullptr;                   // a face's surface, a plane's geometric base
    GeoEntity* further = nullptr;                // a pattern's further object
    std::vector<Object*> inner;
    std::map<short, GeoEntity*> directions;      // 18 by kind
    std::map<long, Object*> items;               // version-7 method 41 by code
    std::map<short, std::vector<GeoEntity*>> subObjects;   // 11 of the entity and of its feature, by kind

private:
    friend class Geometry;
    std::string name_;
    short type_ = 0;
    ObjectRef v5_;
    ObjectRef v7_;
    ObjectRef feature_;
    ObjectRef definition_;
};

// What the stand-in keeps of a part's geometry.
struct PartShape {
    Part* part = nullptr;
    std::vector<GeoEntity*> faces;               // the face iterator, in order
    std::vector<Object*> features;               // the feature collection, in order
    Point3 origin{};                               // the part's place in the assembly
    bool excluded = false;                       // version-7 method 64
    std::map<short, std::vector<GeoEntity*>> objects;      // 18 by object type
};

class Geometry {
public:
    explicit Geometry(Velmar& velmar);
    ~Geometry();
    Geometry(const Geometry&) = delete;
    Geometry& operator=(const Geometry&) = delete;

    // An entity of any type without a definition: coordinate axes, mate elements, coordinate systems ...
    GeoEntity& AddEntity(const std::string& name, short type, Part* part = nullptr);
    GeoEntity& AddFace(const std::string& name, Part* part, const FaceShape& shape);
    GeoEntity& AddEdge(const std::string& name, Part* part, const EdgeShape& shape);
    // The edge's two vertices (its 5 with true and false, IVel5Vertex: 1 the point), as leaders find them;
    // the edge entity answers as its own definition there.
    void AddVertices(GeoEntity& edge, const Point3& start, const Point3& end);
    // Types 9 to 13 get their axis definition and curve; 71 to 73 are bare.
    GeoEntity& AddAxis(const std::string& name, Part* part, short type, const AxisShape& shape = {});
    // Types 1, 2, 3, 14 to 23 and 66, with the definition of the type and its base object "<name>Base".
    GeoEntity& AddPlane(const std::string& name, Part* part, short type);
    GeoEntity& AddThread(const std::string& name, Part* part, const ThreadShape& shape, short type = 58);
    // A macro element (type 63 by default) with its macro definition and inner objects.
    GeoEntity& AddMacro(const std::string& name, Part* part, short type = 63);
    // Pattern features 25, 26, 29 and 47 with their definition and further object; 58 without.
    GeoEntity& AddPattern(const std::string& name, Part* part, short type, GeoEntity* further);

    PartShape& Shape(Part& part);

    // The 3D document whose parts and mates the geometry answers for.
    void UseDocument(Document& document);
    Part* topPart = nullptr;                     // 7 with -1
    Part* editedPart = nullptr;                  // 7 with -4
    bool mateCheck = true;
    const std::vector<MateRecord>& Mates() const { return mates_->Mates(); }
    Object& MateCollection() { return mates_->Obj(); }   // after UseDocument
    MateList& DocumentMates() { return *mates_; }

    // The entity of an object (its version-5, version-7 or feature object); null for any other.
    GeoEntity* EntityOf(IUnknown* object);
    // A collection walked with 3 (first) and 5 (next) over the objects the source lists at that time.
    ObjectRef NewIterator(const std::string& name, const IID* iid, std::function<std::vector<Object*>()> source);

private:
    ObjectRef NewObject(const std::string& name);
    GeoEntity& NewEntity(const std::string& name, short type, Part* part);
    Object& NewDefinition(GeoEntity& entity, const IID& iid);
    // A straight curve that follows the shape from its first to its last parameter.
    ObjectRef NewCurve(const std::string& name, AxisShape* shape);
    PartShape* ShapeOf(Object* part5);
    void BuildMates(Document& document);

    Velmar& velmar_;
    std::vector<ObjectRef> objects_;
    std::vector<Object*> extended_;              // objects of the Velmar that answer for the geometry too
    std::deque<GeoEntity> entities_;
    std::deque<PartShape> parts_;
    std::unique_ptr<MateList> mates_;
    Document* mateDocument_ = nullptr;
    int mateDeletion_ = 0;
};

} // namespace sim
