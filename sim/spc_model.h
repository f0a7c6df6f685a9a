#pragma once
// The specification of a stand-in document: the column definitions of its description (collections A
// and B, iSpcDscSubA and iSpcDscSubB) and its specification objects, each with its placement, its number,
// its columns, its comment objects and the geometry it includes. Everything is data the tests set up and
// read back; the stand-in objects serve it at Velmar's positions:
//
//   description's objects (IVel7SpcObjects): 12 count and 13 item of the objects not deleted, 14 adds an
//       object in a section (null while refusing), 15 the objects a geometry object is included in
//   specification object (IVel7SpcObject, IVel7SpcObjectBase): 12 section, 13/14 subsection, 16 section
//       of the additional block, 17/18 additional block, 19/20 nested section, 21/22 nested block,
//       30/31 column collections, 33 update, 34 delete, 42 comments, 43 origin, 44/45 number, 48 the
//       included geometry as an array, 50 include geometry (each object once; "not done" when refused),
//       51 exclude it; its reference
//       (IVel7ObjectRef 10)
//   column collections and definition collections (IVel7SpcColumns): 12 count, 13 item
//   column (IVel7SpcColumn): 11 type, 12 number, 15 kind, 16 items, and the text interfaces of the
//       stand-in column (sim/spc_column.h)
//   items (IVel7SpcColumnItems) 12, 13; item (IVel7SpcColumnItem) 15 on/off, 17 value
//   definition (IVel7SpcColumnDefinition): 11 name, 12 type, 13 number, 28 3D flag
//   comments (IVel7SpcComments): 12 count, 13 item, 15 add, 16 remove
//
//   sim::SpcModel& spc = doc.Spc();
//   spc.DefineColumnA({5, 1, L"Обозначение"});
//   sim::SpcObject& old = spc.AddObject(25);
//   old.AddComment("note");
//   ... the library works ...
//   EXPECT_EQ(spc.Objects().at(0)->ColumnA(5, 1)->Text(), L"Болт М8");
#include "sim/sim_object.h"
#include "sim/spc_column.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace sim {

class Velmar;

// A column definition; every new specification object gets one column per definition of its collection.
struct SpcColumnDef {
    long type = 0;
    long number = 0;
    std::wstring name;
    bool is3D = true;
    long kind = 1;    // of its columns: 1, 2, 3 text kinds, 4 record kind
    int items = 0;    // items of a record-kind column
    int lines = 1;    // lines of a column's text
};

// A column of a specification object: the stand-in column with its two text interfaces
// (sim/spc_column.h), known by type and number, of a kind, with the items of a record-kind column.
class SpcObjectColumn {
public:
    struct Item {
        std::wstring value;
        bool on = false;
        int writes = 0;
    };

    SpcObjectColumn(Velmar& velmar, const std::string& name, const SpcColumnDef& def);

    Object& Obj() { return text_.Column(); }
    long Type() const { return type_; }
    long Number() const { return number_; }
    long Kind() const { return kind_; }

    std::wstring Text() const { return text_.Text(); }                    // as it shows
    std::wstring WholeString() const { return text_.WholeString(); }      // written with formatting
    const std::vector<std::wstring>& Lines() const { return text_.Lines(); }
    void SetText(const std::wstring& text);                               // the user's text, lines at LF

    std::vector<Item> items;

private:
    long type_;
    long number_;
    long kind_;
    SpcColumn text_;
    ObjectRef items_;
    std::vector<ObjectRef> itemObjects_;
};

class SpcModel;

class SpcObject {
public:
    SpcObject(SpcModel& model, const std::string& name, long section, double number);

    Object& Obj() { return *object_; }
    const std::string& Name() const { return object_->Name(); }

    SpcObjectColumn* ColumnA(long type, long number);
    SpcObjectColumn* ColumnB(long type, long number);
    // A column of collection A that no definition describes.
    SpcObjectColumn& AddColumnA(const SpcColumnDef& def);

    // Includes an object as Velmar does when the object is placed with it.
    void Link(Object& object);
    // Comment objects are stand-in objects of their own, known by name.
    Object& AddComment(const std::string& name);
    // What velmar-sim prints of it: "section 25, 5.1 \"Болт М8\"" (the columns with a text, A then B).
    std::string Describe() const;
    // What velmar-sim prints of its comments after it: ", comment \"note\"" for each, in order.
    std::string DescribeComments() const;
    std::vector<std::string> Comments() const;

    long section = 0;
    long subsection = 0;
    long additionalBlockSection = 0;
    long additionalBlock = 0;
    long nestedSection = 0;
    long nestedBlock = 0;
    double number = 0;
    std::vector<std::string> geometry;   // names of the objects it includes, in the order included
    std::vector<IDispatchPtr> linked;    // the objects themselves (48)
    _variant_t origin;                   // 43; empty for an object of the user's own
    int updates = 0;
    bool deleted = false;
    long reference = 0;                  // IVel7ObjectRef 10: 1001 for the first object made, and so on
    std::vector<std::unique_ptr<SpcObjectColumn>> columnsA;
    std::vector<std::unique_ptr<SpcObjectColumn>> columnsB;
    int refuseCommentRemovals = 0;   // the next removals of a comment answer false and remove nothing
    int refuseCommentAdds = 0;       // the next additions of a comment answer false and add nothing
    bool removalsKeepComments = false;   // a removal answers true but the comment stays

private:
    SpcObjectColumn& MakeColumn(std::vector<std::unique_ptr<SpcObjectColumn>>& columns, const char* collection, const SpcColumnDef& def);

    SpcModel& model_;
    ObjectRef object_;
    ObjectRef columnsAObject_;
    ObjectRef columnsBObject_;
    ObjectRef commentsObject_;
    std::vector<ObjectRef> comments_;
};

class SpcModel {
public:
    // Serves the document's specification-object collection and the two definition collections.
    SpcModel(Velmar& velmar, Object& spcObjects, Object& definitionsA, Object& definitionsB);

    void DefineColumnA(const SpcColumnDef& def);
    void DefineColumnB(const SpcColumnDef& def);
    const std::vector<SpcColumnDef>& DefinitionsA() const { return defsA_; }
    const std::vector<SpcColumnDef>& DefinitionsB() const { return defsB_; }

    // An object the document has already, made as Velmar makes one (columns from the definitions).
    SpcObject& AddObject(long section, double number = 0);
    // The objects not deleted, in the order they were made.
    std::vector<SpcObject*> Objects() const;
    // Defines a column of collection A where the bill of materials has none, and gives it to every object
    // that lacks it, as the bill of materials does once the user types into it.
    void DefineColumnAWhereNone(const SpcColumnDef& def);
    // The object the bill of materials' editor stands on: the last one made or opened for editing, by its
    // reference (IVel7ObjectRef 10); null when none is or it was deleted.
    SpcObject* Edited() const { return edited_ && !edited_->deleted ? edited_ : nullptr; }
    void Edit(long reference);
    // The model object behind an interface pointer, deleted ones included; null for any other.
    SpcObject* Find(IUnknown* object) const;

    // The next `times` additions give no object.
    void RefuseAdd(int times) { refuseAdd_ = times; }
    // The nth inclusion of geometry from now (1 = the next one) answers "not done" and includes nothing;
    // 0 refuses none.
    void RefuseInclusion(int n) { refuseInclusion_ = n; }
    // Inclusions of geometry asked for, refused ones too.
    int Inclusions() const { return inclusions_; }
    // Counts an inclusion; whether it is the one refused.
    bool RefusesInclusion()
    {
        ++inclusions_;
        return refuseInclusion_ > 0 && --refuseInclusion_ == 0;
    }
    // An object was made or deleted: the counted list is made anew when next asked for.
    void Changed() { liveValid_ = false; }
    // What an object includes, by the stand-in object included, so that asking which objects include a
    // geometry object (15) costs what it finds.
    void NoteLink(SpcObject& owner, IUnknown* included);
    void ForgetLinks(SpcObject& owner);

    Velmar& GetVelmar() { return velmar_; }

private:
    void ServeDefinitions(Object& collection, std::vector<ObjectRef>& objects);

    Velmar& velmar_;
    std::vector<SpcColumnDef> defsA_;
    std::vector<SpcColumnDef> defsB_;
    std::vector<ObjectRef> defObjectsA_;
    std::vector<ObjectRef> defObjectsB_;
    const std::vector<SpcObject*>& Live();

    std::vector<std::unique_ptr<SpcObject>> objects_;
    std::vector<SpcObject*> live_;
    bool liveValid_ = false;
    std::unordered_map<Object*, std::vector<SpcObject*>> byLinked_;
    SpcObject* edited_ = nullptr;
    int refuseAdd_ = 0;
    int refuseInclusion_ = 0;
    int inclusions_ = 0;
};

} // namespace sim
