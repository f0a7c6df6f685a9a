#pragma once
// A collection of mates of the stand-in Velmar: a 3D document's own (IVel5Document3D::Mates) or the
// mates of a part being placed (IVel5PlacementInfo::Mates). Its members: 7 adds a checked definition,
// 9 empties it, 12 fills a variant with the mates an object takes part in. Every mate answers 1 to 4
// (kind, direction, fixed value, value) and 6 with 1 or 2 (its objects).
//
//   sim::MateList& mates = geometry.DocumentMates();
//   mates.AddExisting(0, -1, 1, 0.0, face.V5().Ptr(), target.V5().Ptr());   // kind, direction, fixed, value
#include "sim/sim_object.h"

#include <functional>
#include <string>
#include <vector>

namespace sim {

class Velmar;

struct MateRecord {
    short kind = 0;
    short direction = 0;
    short fixed = 0;
    double value = 0;
    IUnknownPtr first;
    IUnknownPtr second;
    bool direct = false;                         // made by the document's 27, else added as a definition
    ObjectRef mate;
};

class MateList {
public:
    MateList(Velmar& velmar, const std::string& name);

    Object& Obj() { return *collection_; }
    const std::vector<MateRecord>& Mates() const { return mates_; }
    size_t Clears() const { return clears_; }

    // A mate that exists before the library looks: its object answers the record's values.
    Object& AddExisting(short kind, short direction, short fixed, double value, IDispatch* first, IDispatch* second);
    // A mate the document made at once (IVel5Document3D::AddMate).
    void AddDirect(MateRecord mate);
    // The document deleted an object: a mate of the list goes.
    void Remove(IUnknown* object);
    // The mates a component took with it when it was deleted.
    void RemoveIf(const std::function<bool(const MateRecord&)>& taken);

    // What a mate object answers: 1 to 4 its values, 6 its two objects (keys -1 and -2).
    static void ServeMate(Object& mate);

private:
    Object& Keep(MateRecord mate, const std::string& objectName);

    Velmar& velmar_;
    std::string name_;
    ObjectRef collection_;
    std::vector<MateRecord> mates_;
    size_t clears_ = 0;
};

} // namespace sim
