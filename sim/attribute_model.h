#pragma once
// The attribute side of the stand-in Velmar: the attribute manager (version-5 application dispatch id 43,
// IVel5AttributeManager) and the attribute libraries, which are files in Velmar's system folder
// (Velmar::SetSystemFolder): dispatch id 47 with a file name gives that file's full path there, whether
// the file exists or not. Tests that need a library write a file there.
//
// Attributes of objects: the manager makes one (23: object, header, type, library; refusable) from an attribute
// header (the application's 9 with 38: fields 1 to 5, 12 empties it, 7 takes a user-parameter structure
// whose items are the attribute's values; refusable) and deletes one (24: object, attribute, text). Every
// part's host object (its bridge) answers 10 (0, 0, 0, 0, type) with its attributes of a type: 2 count,
// 3 the first, 5 the next, 1 refresh.
//
//   EXPECT_EQ(velmar.Attributes().Of(part.Bridge()).at(0).values, (std::vector<std::wstring>{L"1204"}));
#include "sim/sim_object.h"

#include <map>
#include <string>
#include <vector>

namespace sim {

class Velmar;

struct Attribute {
    double type = 0;
    std::wstring library;
    std::vector<long> fields;              // the header's fields 1 to 4
    std::vector<std::wstring> values;      // the 8-bit texts of the header's items
    ObjectRef object;                      // what the manager handed out
    std::vector<short> flags{};            // the items' flags
};

class AttributeModel {
public:
    explicit AttributeModel(Velmar& velmar);

    Object& Manager() { return *manager_; }
    // An attribute header (structure kind 38).
    ObjectRef NewHeader();
    // Gives an object (a part's bridge) its attribute collections.
    void ServeObject(Object& object);
    // The attributes of an object, in the order made; tests may add some.
    std::vector<Attribute>& Of(Object& object) { return attributes_[&object]; }
    // The next `times` headers refuse their values.
    void RefuseValues(int times) { refuseValues_ = times; }
    // The manager's next `times` creations answer no attribute and make none.
    void RefuseCreation(int times) { refuseCreation_ = times; }

private:
    Velmar& velmar_;
    ObjectRef manager_;
    std::map<Object*, std::vector<Attribute>> attributes_;
    int refuseValues_ = 0;
    int refuseCreation_ = 0;
};

} // namespace sim
