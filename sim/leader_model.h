#pragma once
// The position leaders of a 3D document of the stand-in Velmar. The document's leader collection
// (version-7 document 75: 12 count and 13 item of the leaders not taken out, 15 a new leader of a kind
// code) holds leaders, each one object that answers:
//
//   IVel7Leader: 20/21 the plane code, 22/23 and 26/27 property pairs, 24/25 its point
//   IVel7LeaderAnchors: 7 count, 10 an anchor's point, 11 moves it, 16 adds an anchor on a face, 18 the
//       anchor, whose IVel7ModelObject 17 gives the object it is attached to
//   IVel7ModelObject: 13/14 a property pair, 15 update, 19 its parameter object, whose 15 takes the
//       leader out of the collection (unless `sourcesStay`)
//   the kind interface of its code (86 A741, 89 A822, 90 EEF8, 87 8A5D; more with AddKind), with its
//       property pairs and its text objects (IVel7LeaderText 18 read, 19 written)
//
// Every pair keeps one stored value (read by the getter, written by the setter), so that a copy can be
// compared with its source pair by pair (`Values`). A part's 51 makes a leader of kind 89 anchored on the
// part. Making, taking out, anchoring and every stored value are part of Velmar's undo.
//
//   sim::Leaders leaders(velmar, document);
//   sim::Leader& leader = leaders.Add(86);
//   leaders.Anchor(leader, face.V7().Ptr(), {1, 2, 3});
//   ... the library copies it ...
//   EXPECT_EQ(leaders.Values(*leaders.Live().back()), leaders.Values(leader));
#include "sim/geometry_model.h"
#include "sim/sim_object.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace sim {

class Velmar;
class Document;
class Part;

struct Leader {
    std::string name;
    long code = 0;
    ObjectRef object;
    ObjectRef parameters;
    std::vector<ObjectRef> anchors;             // each keeps the anchored object (-17) and its point (1, 2, 3)
    std::map<int, ObjectRef> texts;             // by key of the kind interface's text member
    std::vector<int> pairs;                     // the keys of its property pairs
    bool removed = false;
    int updates = 0;
};

class Leaders {
public:
    Leaders(Velmar& velmar, Document& document);
    ~Leaders();
    Leaders(const Leaders&) = delete;
    Leaders& operator=(const Leaders&) = delete;

    // A leader of a kind code as the collection's 15 makes it: no anchor, nothing set.
    Leader& Add(long code);
    // The leader answers the kind interface of another code too.
    void AddKind(Leader& leader, long code);
    void Anchor(Leader& leader, IDispatch* anchored, const Point3& point);
    // Gives every property pair (but the plane code) and text of the leader a value of its own, made
    // from `seed`.
    void Fill(Leader& leader, const std::string& seed);
    std::vector<Leader*> Live();
    // The object an anchor of the leader is attached to.
    static Object* AnchoredTo(const Leader& leader, size_t anchor);
    Leader* Find(IUnknown* object);
    // The leader's property pairs and texts as "key=value", point and anchors left out.
    std::vector<std::string> Values(const Leader& leader) const;
    // What velmar-sim prints: its kind, its anchors with the objects they are on, its texts.
    std::string Describe(const Leader& leader) const;

    // A host whose parameter object's 15 answers true and leaves the leader in the collection.
    bool sourcesStay = false;

private:
    void ServeKind(Leader& leader, long code);
    ObjectRef Text(Leader& leader, int key);

    Velmar& velmar_;
    Document& document_;
    ObjectRef collection_;
    std::deque<Leader> leaders_;
    std::vector<ObjectRef> objects_;
};

} // namespace sim
