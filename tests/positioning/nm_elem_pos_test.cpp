// The positioning record: the kind a mode selects, copies that share host objects, the records and the
// temporary geometry deleted from the part.
#include "positioning/nm_elem_pos.h"

#include "objects/elem_3d_stand_in.h"
#include "positioning/nm_elem_pos_m.h"
#include "positioning/nm_elem_pos_r.h"
#include "sim/utility_classes.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Lines = std::vector<std::string>;

class ElemPosModel : public elem3d_test::Elem3DStandIn {
protected:
    void SetUp() override { Open(); }
    std::unique_ptr<NMElemPos> Make(PositioningMode mode) { return NMElemPos::Create(App5(), App7(), mode); }
};

} // namespace

TEST_F(ElemPosModel, ModesZeroAndOneMakeTheTwoPlanesKindEveryOtherTheRoundKind)
{
    for (PositioningMode mode : {-1, 0, 1, 2, 14, 20}) {
        auto model = Make(mode);
        const bool twoPlanes = dynamic_cast<NMElemPosM*>(model.get()) != nullptr;
        EXPECT_EQ(twoPlanes, mode == 0 || mode == 1) << mode;
        EXPECT_EQ(dynamic_cast<NMElemPosR*>(model.get()) != nullptr, !twoPlanes) << mode;
        EXPECT_EQ(model->Items.size(), 1u);
        EXPECT_EQ(model->CurrentItem().Sign1, 1);
        EXPECT_EQ(model->CurrentItem().SubMode.length(), 0u);
        auto copy = NMElemPos::Clone(model.get());
        EXPECT_EQ(dynamic_cast<NMElemPosM*>(copy.get()) != nullptr, twoPlanes) << mode;
    }
    EXPECT_EQ(NMElemPos::Clone(nullptr), nullptr);
    // The model takes the active 3D document at the application's 3 and the frames from the top part.
    journal().Clear();
    Make(2);
    EXPECT_EQ(journal().Lines(), (Lines{"app5.3()", "app7#19(&)", "doc5.7(-4)", "doc5.7(-1)", "app5.108(top5,2,0)", "top7#7(&)"}));
}

TEST_F(ElemPosModel, ACloneSharesTheHostObjectsButHasItsOwnRecords)
{
    auto model = Make(3);
    sim::GeoEntity& face = geometry_->AddEntity("bore", 1, top_);
    model->CurrentItem().iCylFace = face.V5().Ptr();
    model->CurrentItem().X = 7;
    model->tcsD = 8;
    auto copy = NMElemPos::Clone(model.get());
    EXPECT_EQ(copy->CurrentItem().iCylFace.GetInterfacePtr(), model->CurrentItem().iCylFace.GetInterfacePtr());
    EXPECT_EQ(copy->tcsD, 8);
    copy->CurrentItem().X = 1;
    EXPECT_EQ(model->CurrentItem().X, 7);
    model->ClearItems();
    EXPECT_EQ(sim::Object::From(copy->CurrentItem().iCylFace), &face.V5());
}

TEST_F(ElemPosModel, AnIndexOutsideTheRecordsIsAnInternalError)
{
    auto model = Make(2);
    EXPECT_THROW(model->Item(1), std::wstring);
    model->item_idx = 3;
    EXPECT_THROW(model->CurrentItem(), std::wstring);
}

TEST_F(ElemPosModel, DeletingGeometryRemovesEachTemporaryEntityOnceAndLetsGoOfIt)
{
    auto model = Make(2);
    sim::GeoEntity& plane = geometry_->AddEntity("offset", 1, top_);
    sim::GeoEntity& axis = geometry_->AddEntity("axis", 1, top_);
    sim::GeoEntity& base = geometry_->AddEntity("base", 1, top_);
    sim::GeoEntity& frame = geometry_->AddEntity("frame", 1, top_);
    ElemPos& item = model->CurrentItem();
    item.iOffsetPlane = plane.V5().Ptr();
    item.iFrame = frame.V7().Ptr();
    item.iAxis = axis.V5().Ptr();
    item.iBasePlane = base.V5().Ptr();
    journal().Clear();
    model.reset();
    EXPECT_EQ(journal().Lines(), (Lines{"doc5.43(offset5)", "app5.108(frame7,1,105)", "doc5.43(frame5)", "doc5.43(axis5)",
                                        "doc5.43(base5)"}));
}

TEST_F(ElemPosModel, AMissingDocumentEndsConstructionWithEPointer)
{
    velmar().Activate(nullptr);
    EXPECT_EQ(sim::CaughtHostError([&] { Make(0); }).Error(), E_POINTER);
}

TEST_F(ElemPosModel, RecordsAreFoundByTheirFaceRemovedAndTrimmedToTheirSubMode)
{
    auto model = Make(2);
    sim::GeoEntity& face = geometry_->AddEntity("bore", 6, top_);
    sim::GeoEntity& edge = geometry_->AddEntity("edge", 7, top_);
    sim::GeoEntity& sketch = geometry_->AddEntity("sketch", 5, top_);
    model->Items.resize(3);
    model->Item(1).iCylFace = face.V5().Ptr();
    ElemPos sample;
    sample.iCylFace = face.V5().Ptr();
    EXPECT_EQ(model->FindItem(sample), 1);
    sample.iCylFace = edge.V5().Ptr();
    EXPECT_EQ(model->FindItem(sample), -1);

    // Removing the current last record makes the new last one current.
    model->item_idx = 2;
    model->RemoveItem(2);
    EXPECT_EQ(model->Items.size(), 2u);
    EXPECT_EQ(model->item_idx, 1u);
    model->RemoveItem(0);
    EXPECT_EQ(model->item_idx, 0u);
    EXPECT_EQ(sim::Object::From(model->CurrentItem().iCylFace), &face.V5());
    // The only record is cleared with its geometry, never removed.
    model->CurrentItem().iSketch = sketch.V5().Ptr();
    journal().Clear();
    model->RemoveItem(0);
    EXPECT_EQ(model->Items.size(), 1u);
    EXPECT_EQ(model->CurrentItem().iCylFace, nullptr);
    EXPECT_EQ(journal().Lines(), (Lines{"doc5.43(sketch5)"}));
    EXPECT_THROW(model->RemoveItem(1), std::wstring);

    ElemPos& item = model->CurrentItem();
    for (const wchar_t* name : kSubModeNames) {
        item.SubMode = name;
        EXPECT_EQ(kSubModeNames[item.GetSubModeIndex()], std::wstring(name));
    }
    for (const wchar_t* other : {L"", L"от двух ребер", L"По точке"}) {
        item.SubMode = other;
        EXPECT_EQ(item.GetSubModeIndex(), -1);
    }
    item.SubMode = _bstr_t();
    EXPECT_EQ(item.GetSubModeIndex(), -1);
    item.iEdge1 = item.iEdge2 = item.iCylEdge = item.iVertex = edge.V5().Ptr();
    item.ClearUnusedRefs(-1);
    EXPECT_TRUE(item.iEdge1 && item.iEdge2 && item.iCylEdge && item.iVertex);
    item.ClearUnusedRefs(SubModeFromTwoEdges);
    EXPECT_TRUE(item.iEdge1 && item.iEdge2 && !item.iCylEdge && !item.iVertex);
    item.iCylEdge = edge.V5().Ptr();
    item.ClearUnusedRefs(SubModeRoundEdgeCentre);
    EXPECT_TRUE(!item.iEdge1 && !item.iEdge2 && item.iCylEdge);
}

TEST_F(ElemPosModel, TheScriptGetsTheSurfacesAndTheCurrentRecordsObjectsInOrder)
{
    sim::UtilityClasses utilities(velmar().GetSession());
    auto model = Make(18);
    sim::GeoEntity& start = geometry_->AddEntity("start", 6, top_);
    sim::GeoEntity& face = geometry_->AddEntity("face", 6, top_);
    sim::GeoEntity& thread = geometry_->AddEntity("thread", 58, top_);
    model->iStartPlane = start.V5().Ptr();
    model->Items.resize(2);
    model->item_idx = 1;
    model->CurrentItem().iCylFace = face.V5().Ptr();
    model->CurrentItem().iCylEdge = thread.V5().Ptr();
    IItemListPtr list;
    ASSERT_EQ(list.CreateInstance(CLSID_ItemList), S_OK);
    model->PosEntities(list);
    std::vector<std::string> names;
    for (const IDispatchPtr& item : utilities.ItemsOf(0))
        names.push_back(item ? sim::Object::From(item)->Name() : "null");
    EXPECT_EQ(names, (Lines{"start5", "null", "face5", "null", "null", "thread5", "null", "null"}));
    EXPECT_EQ(sim::CaughtHostError([&] { model->PosEntities(nullptr); }).Error(), E_POINTER);
}
