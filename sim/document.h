#pragma once
// A document of the stand-in Velmar: its version-5 and version-7 objects and the state the library
// switches, kept as stored values of those objects so that tests read them back.
//
// Types: 1, 2 drawing and fragment (IVel5Document2D, IVel7Document2D); 3 specification document
// (IVel5SpcDocument); 4 part, 5 and 7 assemblies, 6 (IVel5Document3D, IVel7Document3D). Every document
// answers IVel7Document.
//
// 3D documents keep: their flags 6, 64 (2: shows its bill of materials) and 68 (exploded), the macro
// element selected for editing (65), the editing object of the bill of materials (13: 8 a position
// number, 13 opens an object), the undo switches (version-7 positions 67, 68, 69, 70 and the version-5 property
// 70), the edit switch (52), the current object (version-5 74, switched by 73), the recalculation flag
// (74 of version 7, 73 puts it). Every document has a specification chain: descriptions (26) → active
// description (16 below host 15.0.0, 17 from it; one description, or none) → its sub-object (21) with the
// two column collections (19, 20) and the specification objects (24); the description's update mode is
// read at 34 and written at 35 (one stored value, 34), its bulk switch at 37.
//
// 3D documents also run the selection process of the panels (15, ended by 12, showing changes with 11)
// with its two highlight sets (44 and 45: 1 adds an object not in it yet, 2 removes, 3 clears), the pick of the measure tools
// (25), and make request infos (14);
// 2D documents run the placement process (217). The processes belong to the property manager's model
// (sim/panel_model.h).
#include "sim/data_store.h"
#include "sim/panel_events.h"
#include "sim/sim_object.h"
#include "sim/spc_model.h"

#include <functional>
#include <memory>
#include <vector>

namespace sim {

class Velmar;

class Document {
public:
    Document(Velmar& velmar, int type, const std::string& name);

    int Type() const { return type_; }
    bool Is3D() const { return type_ >= 4; }
    bool Is2D() const { return type_ == 1 || type_ == 2; }
    Object& V5() { return *v5_; }
    Object& V7() { return *v7_; }

    // The specification chain.
    void SetSpcDescription(bool present) { hasDescription_ = present; }
    bool HasSpcDescription() const { return hasDescription_; }
    void AllowSpcDescriptionCreation(bool allowed) { canCreateDescription_ = allowed; }
    Object& SpcDescriptions() { return *descriptions_; }
    Object& SpcDescription() { return *description_; }
    Object& SpcDescriptionSub() { return *sub_; }
    Object& SpcObjects() { return *spcObjects_; }
    // Its column definitions and specification objects (sim/spc_model.h).
    SpcModel& Spc() { return *spc_; }

    // Its close (IVel7Document 13) answers false and leaves it open while refused.
    void RefuseClose(bool refused) { refuseClose_ = refused; }
    // A 3D document's connection point (IVelDocumentEvents), under its version-5 name:
    // "<name>5Points#4(events,&)", "<name>5Point#5(sink,&)", "<name>5Point#6(cookie)"; null for others.
    EventSource* Events() { return events_.get(); }

    // The document's object-data store (version-7 document 28; sim/data_store.h).
    DataStore& Store() { return *store_; }
    // The bill of materials (IVel5Specification) of the document: 8 takes a position number.
    Object& Spc5() { return *specification_; }
    const std::vector<long>& PositionsSet() const { return positionsSet_; }
    // The references of the spc objects opened for editing (13).
    const std::vector<long>& ObjectsEdited() const { return objectsEdited_; }
    // The panel run whose placement an IVel5Placement of a placement info's 11 is, under this key.
    static constexpr int kPanelRun = -1;

    // The placement objects IVel5Document3D::PlacementInfo makes: their phantom is ready unless refused.
    void SetPhantomReady(bool ready) { phantomReady_ = ready; }
    // The objects in a highlight set (0: dispatch id 44, 1: 45), as identities.
    const std::vector<IUnknownPtr>& Highlighted(int set) const { return highlighted_[set]; }
    // The request infos made by 14, in order.
    const std::vector<ObjectRef>& Placements() const { return placements_; }

    // The items of a 3D document (version-7 {C1948CE8-…}: 15 count, 16 by index, 18 the current one;
    // an item's 22 with true makes it current): one at first.
    void SetItemCount(size_t count);
    size_t CurrentItem() const { return currentItem_; }
    void SetCurrentItem(size_t index) { currentItem_ = index; }
    // Every item made current (22), in order.
    const std::vector<size_t>& ItemsMadeCurrent() const { return itemsMadeCurrent_; }
    // How often the document was rebuilt (32).
    long Rebuilds() const { return v5_->Long(IVel5Document3D::Rebuild); }

    // What the 3D document's 43 deletes: every model that keeps objects of the document is told, and
    // drops the object when it is one of its own. Answers a key for ForgetDeletion.
    using Deletion = std::function<void(IUnknown* object)>;
    int OnDeletion(Deletion deletion);
    void ForgetDeletion(int key);
    // What the 3D document's 43 does; a model deletes what goes with an object of its own this way too.
    void Delete(IUnknown* object);
    // The 3D document's 43 answers false and deletes nothing for the objects the test refuses (none
    // when it is empty).
    void RefuseDeletion(std::function<bool(IUnknown* object)> refuses) { refuseDeletion_ = std::move(refuses); }

private:
    void Build2D(const std::string& name);
    void Build3D();
    void BuildItems();
    void BuildSpcChain(Velmar& velmar);

    Velmar& velmar_;
    int type_;
    ObjectRef v5_;
    ObjectRef v7_;
    ObjectRef descriptions_;
    ObjectRef description_;
    ObjectRef sub_;
    ObjectRef spcObjects_;
    std::unique_ptr<SpcModel> spc_;
    std::unique_ptr<DataStore> store_;
    ObjectRef specification_;
    std::vector<long> positionsSet_;
    std::vector<long> objectsEdited_;
    std::unique_ptr<EventSource> events_;
    bool refuseClose_ = false;
    std::function<bool(IUnknown* object)> refuseDeletion_;
    bool hasDescription_ = true;
    bool canCreateDescription_ = true;
    bool phantomReady_ = true;
    ObjectRef selections_[2];
    std::vector<IUnknownPtr> highlighted_[2];
    std::vector<ObjectRef> placements_;
    std::vector<std::pair<int, Deletion>> deletions_;
    int nextDeletion_ = 0;
    std::vector<ObjectRef> items_;
    size_t currentItem_ = 0;
    std::vector<size_t> itemsMadeCurrent_;
};

} // namespace sim
