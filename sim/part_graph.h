#pragma once
// 3D components and entities of the stand-in Velmar, with the objects that bridge their two layers:
//
//   part: version-5 part (IVel5Part) ↔ version-7 part (IVel7Part), twins for IVel5Application::ToLayer;
//         the version-7 part's dispatch side (34, 14) and the version-5 part's 34 give its bridge
//         (IVel5Object); the bridge's 5 gives the version-5 feature: the part's own (type 104, 8 → the
//         part) or, for a part inside an entity, the entity's (type 105).
//   entity: version-5 entity (IVel5Entity; type 3, owner 14) ↔ version-7 form (IVel7Pattern; 21 gives its
//         parts as an array of version-7 parts); its feature (type 105, 8 → the entity, 4 → the feature
//         collection whose 9 gives the index of a part's bridge).
//
// A version-5 part answers its name (8, without arguments: the name it was added with, or the one put at
// 1), keeps the placement it is given (8 with one argument; 14 applies it, counted), whether it is edited
// in place (22, ended by 24), and makes position leaders of kind 89 (51 with 89, 0). Its version-7 part
// says whether it takes part in the bill of materials (53, true unless a test sets it).
// Parts also keep the look the phantom guard switches: 38 (32-bit), the colour parameters' 6 (double),
// the update (12). What a replaced component hands on: its placement (9: the one it was given, else its
// own "<name>Placement"), its colour and six light values (19 answers them once 20 gave them), its owner
// (25 with -1, `ownerPart`), its box (58 with -1, 0: `SetBox`, else false) and its layer (version-7
// IVel7Layer 11 read, 12 written). A part's 51 asks the Velmar's leader maker when one is set.
#include "sim/data_store.h"
#include "sim/sim_object.h"

#include <memory>

#include <vector>

namespace sim {

class Velmar;
class Entity;

class Part {
public:
    Part(Velmar& velmar, const std::string& name);

    Object& V5() { return *v5_; }
    Object& V7() { return *v7_; }
    Object& Bridge() { return *bridge_; }
    Object& Feature() { return *feature_; }
    Object& ColorParam() { return *color_; }
    // The part's object-data store, given by its version-7 property keeper's 10 (a top part's, from
    // host 14.0.1), and the collection its feature interface gives for placement frames.
    DataStore& Store() { return *store_; }
    Object& Frames() { return *frames_; }
    Entity* Owner() const { return owner_; }
    // The placement it was given (8), under this key of its version-5 object; the leaders it made.
    static constexpr int kPlacement = -8;
    // The part lies in a macro element: its bridge's 5 gives that element's feature.
    void PlaceIn(Object& elementFeature) { elementFeature_ = &elementFeature; }
    void PlaceIn(std::nullptr_t) { elementFeature_ = nullptr; }
    const std::vector<ObjectRef>& Leaders() const { return leaders_; }
    // The part the component lies in (25); null at the top.
    Part* ownerPart = nullptr;
    void SetBox(double x1, double y1, double z1, double x2, double y2, double z2);
    // Keys of the stored colour (19, 20) and layer values.
    static constexpr int kColour = -19;
    static constexpr int kLayer = 11;

private:
    friend class Entity;
    ObjectRef v5_;
    ObjectRef v7_;
    ObjectRef bridge_;
    ObjectRef feature_;
    ObjectRef color_;
    ObjectRef frames_;
    ObjectRef placement_;
    std::unique_ptr<DataStore> store_;
    std::vector<ObjectRef> leaders_;
    Entity* owner_ = nullptr;
    Object* elementFeature_ = nullptr;
};

class Entity {
public:
    Entity(Velmar& velmar, const std::string& name, short type, std::vector<Part*> parts);

    Object& V5() { return *v5_; }
    Object& V7() { return *v7_; }
    Object& Feature() { return *feature_; }
    Object& Features() { return *features_; }
    const std::vector<Part*>& Parts() const { return parts_; }
    // What the version-7 form lists (21) when it is not the parts themselves: a pattern's instances
    // stand for its source parts.
    void ListSources(std::vector<Part*> sources) { sources_ = std::move(sources); }

private:
    ObjectRef v5_;
    ObjectRef v7_;
    ObjectRef feature_;
    ObjectRef features_;
    std::vector<Part*> parts_;
    std::vector<Part*> sources_;
};

} // namespace sim
