#pragma once
// What the library builds in a part of the stand-in Velmar: the entities the part's 61 makes (sketches
// with their 2D objects, axes, planes, extrusions), placement frames and the lines made in them, with
// what comes along: the part's measurer, the points where a curve meets a surface, the conversion of a
// direction into a sketch plane's own coordinates and the iterator over a sketch's 2D objects. The
// document's 43 really deletes what was made; tests read back what is left.
//
//   sim::Construction made(velmar, document, part);      // after the Geometry, before anything uses it
//   made.Projects(vertex.V5(), sim::Object2D::Point(3, 4));
//   ... the library builds previews ...
//   EXPECT_EQ(made.Live(5).size(), 1u);                   // one sketch is left
//
// Part: 61 a new entity of a type (5, 11, 14, 25), 36 the measurer (1, 2 objects; 8, 9 booleans; 10 the
// angle, 15 the distance: stored values a test sets). Entities "<type name><n>": 1 stored, 3, 5, 6, 14
// (the part's bridge), 9 create (refused
// until the definition has what the type needs), 10 update, 11 sub-objects (a sketch's points, kind 8);
// a version-7 twin "<name>v7". Definitions "<name>Def": sketch 2 end edit, 3 plane, 4 the plane as
// given, 9 its editing object "<name>Edit" (3 point, 4 circle, 8 read and 9 write parameters into the
// structures of the application's 9 by their kind, 10 projection of a model object, 34 removal); axis
// 1 face; plane 1 offset, 2 reversed, 3 base; extrusion 1 sketch, 2, 5, 7. Frames "frame<n>" from the
// part's frame collection (7 new, 17 current, answering the one before): settings 7 to 10 (stored),
// sources 7, bases 7 (72 refused for the objects a test names), update 15; the version-5 twin
// "frame<n>v5". Lines "line<n>" from the part's features (8), only inside the document's edit bracket
// and in the current frame: mode 7, points 8 and 9, state 10, update 15, its owner (dispatch 14) the
// feature of its version-5 entity "line<n>v5", whose sub-objects are its edge (7) and its two end points
// (8). Deleting a frame deletes its lines. The application's 7 (an iterator over the 2D objects of a
// kind in the sketch being edited: 2 set up, 3 step "F"/"N", 9 close), 28 (the distance of a point from
// a 2D object of the sketch being edited) and 44 (counted); the document's 67 with 156: a point
// collection (1 count, 2 point), filled by the 32 of a surface that was given points. A sketch's editing
// object answers its group at 1; the application's 112 with that group and a reference gives the 2D
// object's version-7 form.
#include "sim/geometry_model.h"

#include <deque>
#include <optional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sim {

// A 2D object of a sketch, or what a model object projects to: kind 1 a segment (x1, y1)-(x2, y2); 5 a
// point at (x1, y1); 2, 3 and 32 an arc, a circle and another round object centred at (x1, y1).
struct Object2D {
    long kind = 5;
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    double radius = 0;
    long style = 0;
    long reference = 0;
    ObjectRef entity;   // a point's model object, among the sketch's sub-objects
    ObjectRef v7;       // its version-7 form (the application's 112 with the sketch's group), when it has one

    static Object2D Point(double x, double y) { return Round(5, x, y); }
    static Object2D Round(long kind, double x, double y, double radius = 0);
    static Object2D Segment(double x1, double y1, double x2, double y2);
};

struct MadeEntity {
    short type = 0;
    std::string name;
    ObjectRef v5;
    ObjectRef v7;
    ObjectRef definition;
    ObjectRef editor;
    bool created = false;
    bool deleted = false;
    int updates = 0;
    long group = 0;                  // a sketch's group, its editing object's 1
    std::vector<Object2D> objects;   // a sketch's
    bool Alive() const { return created && !deleted; }
    // What a definition member was given (3: a sketch's plane, a plane's base; 1: an axis's face ...).
    Object* Given(DISPID member) const;
};

struct MadeFrame {
    ObjectRef v7;
    ObjectRef v5;
    std::vector<Object*> sources;
    std::map<long, Object*> bases;
    int updates = 0;
    bool deleted = false;
};

struct MadeLine {
    ObjectRef v7;
    ObjectRef v5;
    ObjectRef feature;
    ObjectRef edge;
    ObjectRef start;
    ObjectRef end;
    Point3 first{};
    Point3 second{};
    long mode = 2;
    std::vector<long> states;
    MadeFrame* frame = nullptr;
    int updates = 0;
    bool deleted = false;
};

class Construction {
public:
    Construction(Velmar& velmar, Document& document, Part& part);
    ~Construction();
    Construction(const Construction&) = delete;
    Construction& operator=(const Construction&) = delete;

    // What a model object projects to in any sketch.
    void Projects(Object& object, const Object2D& projection);
    std::optional<Object2D> ProjectionOf(Object& object) const;
    // A sketch on the plane that something other than the library made (a part script), with its 2D
    // objects; it is taken back with an undo step it was made in.
    MadeEntity& AddSketch(Object& plane, std::vector<Object2D> objects);
    // A plane's own coordinates: a direction d becomes (d·u, d·v).
    void SetPlaneBasis(GeoEntity& plane, Point3 u, Point3 v);
    // The points where any curve meets the face's or plane's surface.
    void SetIntersections(GeoEntity& surface, std::vector<Point3> points);
    // Frames do not take the object (a version-7 form) as their direction.
    void RefuseDirection(Object& object7) { refused_.push_back(&object7); }
    Object& Measurer() { return *measurer_; }

    std::vector<MadeEntity*> Live(short type);
    MadeEntity* EntityOf(IUnknown* object);
    std::vector<MadeFrame*> LiveFrames();
    MadeFrame* FrameOf(IUnknown* object);
    MadeFrame* CurrentFrame() const { return current_; }
    std::vector<MadeLine*> LiveLines();
    MadeLine* LineOf(IUnknown* object);
    // Everything made that is still in the document.
    size_t LiveCount();
    int SketchesInEdit() const { return openEdits_; }
    // After a restoring call was made to fail: what it left is forgotten, so that the next run of a
    // fault sweep starts from an empty part.
    void ForgetLeftovers();
    int OpenIterators() const { return openIterators_; }
    int ViewRefreshes() const { return viewRefreshes_; }

private:
    ObjectRef NewObject(const std::string& name);
    ObjectRef Collection(const std::string& name, std::function<std::vector<Object*>()> items);
    _variant_t NewEntity(short type);
    void BuildDefinition(MadeEntity& entity);
    void BuildEditor(MadeEntity& sketch);
    _variant_t NewFrame();
    _variant_t NewLine();
    _variant_t NewIterator();
    _variant_t NewPointCollection(short code);
    double DistanceInSketch(double x, double y, long reference) const;
    void Deleted(IUnknown* object);

    Velmar& velmar_;
    Document& document_;
    Part& part_;
    std::vector<ObjectRef> objects_;
    std::vector<Object*> extended_;
    std::deque<MadeEntity> entities_;
    std::deque<MadeFrame> frames_;
    std::deque<MadeLine> lines_;
    std::map<Object*, Object2D> projections_;
    std::map<Object*, std::shared_ptr<std::vector<Point3>>> pointCollections_;
    std::vector<Object*> refused_;
    std::map<short, int> counts_;
    ObjectRef measurer_;
    MadeFrame* current_ = nullptr;
    MadeEntity* editing_ = nullptr;
    long nextReference_ = 0;
    int openIterators_ = 0;
    int openEdits_ = 0;
    int viewRefreshes_ = 0;
    int deletion_ = 0;
};

} // namespace sim
