// The round-surface model against the stand-in part: the axis, plane and frame on the picked face, the
// offset plane of the shifted dowel modes, the auxiliary line as radius or diameter, the rebuild that
// turns the turnable modes after a direction object, the height from the frame's origin and the fault
// sweep.
#include "positioning/nm_elem_pos_r.h"

#include "positioning_stand_in.h"

namespace {

using namespace positioning_test;

class RoundModel : public PositioningStandIn {
protected:
    std::unique_ptr<NMElemPos> MakeOn(PositioningMode mode, sim::GeoEntity& face)
    {
        auto model = Make(mode);
        model->CurrentItem().iCylFace = face.V5().Ptr();
        return model;
    }
};

} // namespace

TEST_F(RoundModel, TheFrameStandsOnAPlaneOnTheStartFaceAndOnTheFacesAxis)
{
    auto model = MakeOn(2, *bore_);
    ElemPos& item = model->CurrentItem();
    model->CreateGeom(item);
    sim::MadeEntity* axis = Only(11);
    sim::MadeEntity* plane = Only(14);
    ASSERT_TRUE(axis && plane);
    EXPECT_EQ(axis->Given(IVel5AxisDefinition11::SetFace), &bore_->V5());
    EXPECT_EQ(plane->Given(IVel5OffsetPlaneDefinition::SetBase), &start_->V5());
    EXPECT_EQ(plane->definition->Double(IVel5OffsetPlaneDefinition::Offset), 0);
    EXPECT_TRUE(axis->v5->Bool(IVel5Entity::Setting1) && plane->v5->Bool(IVel5Entity::Setting1));
    sim::MadeFrame* frame = made_->FrameOf(item.iFrame);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->sources, (std::vector<sim::Object*>{plane->v7.get(), axis->v7.get()}));
    EXPECT_EQ(frame->v7->Long(10), 3);
    EXPECT_EQ(frame->bases, (std::map<long, sim::Object*>{{71, &start_->V7()}}));
    // The hole's preview is deleted whole.
    model->DeleteGeom(item);
    EXPECT_EQ(made_->LiveCount(), 0u);
}

TEST_F(RoundModel, TheShiftedDowelModesStartAtAnOffsetPlaneOnTheSideAAndXSay)
{
    struct Row {
        PositioningMode mode;
        double X, A;
        bool plane;
        bool reversed;
    };
    const Row rows[] = {{3, 5, 1, true, false}, {3, 5, -1, true, true}, {7, -5, 1, true, true}, {12, -5, -1, true, false},
                        {5, 5, -1, false, false}, {2, 5, -1, false, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mode * 100 + row.X * 10 + row.A);
        auto model = MakeOn(row.mode, *shaft_);
        ElemPos& item = model->CurrentItem();
        item.X = row.X;
        item.A = row.A;
        model->CreateGeom(item);
        ASSERT_EQ(made_->Live(14).size(), row.plane ? 2u : 1u);
        if (!row.plane)
            continue;
        sim::MadeEntity* offset = made_->EntityOf(item.iOffsetPlane);
        auto expectSide = [&](double distance, bool reversed) {
            EXPECT_EQ(offset->definition->Double(IVel5OffsetPlaneDefinition::Offset), distance);
            EXPECT_EQ(offset->definition->Bool(IVel5OffsetPlaneDefinition::Reversed), reversed);
        };
        expectSide(5, row.reversed);
        EXPECT_EQ(offset->Given(IVel5OffsetPlaneDefinition::SetBase), &start_->V5());
        // Moving to the opposite numbers gives the same plane the other rule once gave the other way.
        item.X = -row.X;
        model->ApplyPosition(item);
        expectSide(5, !row.reversed);
        EXPECT_EQ(offset->updates, 1);
    }
}

TEST_F(RoundModel, TheLineIsARadiusTurnedByYInTheTurnableModesElseADiameter)
{
    struct Row {
        PositioningMode mode;
        double X, A, Y;
        Point3D first, second;
    };
    const Row rows[] = {
        {5, 2, 1, 90, {-2, 0, 0}, {-2, 0, 4}},
        {4, 2, -1, 90, {2, -4, 0}, {2, 4, 0}},
        {2, 0, 0, 45, {0, -4, 0}, {0, 4, 0}},
        {19, 3, 0, 0, {-3, -4, 0}, {-3, 4, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mode);
        auto model = MakeOn(row.mode, *bore_);
        ElemPos& item = model->CurrentItem();
        item.X = row.X;
        item.A = row.A;
        item.Y = row.Y;
        model->CreateGeom(item);
        const int refreshes = made_->ViewRefreshes();
        model->ApplyPosition(item);
        EXPECT_EQ(made_->ViewRefreshes(), refreshes + 1);
        sim::MadeLine* line = made_->LineOf(item.iAuxLine);
        ASSERT_TRUE(line);
        for (const auto& [got, want] : {std::pair{line->first, row.first}, std::pair{line->second, row.second}}) {
            EXPECT_NEAR(got.x, want.x, 1e-12);
            EXPECT_NEAR(got.y, want.y, 1e-12);
            EXPECT_NEAR(got.z, want.z, 1e-12);
        }
        EXPECT_EQ(line->mode, 2);
    }
}

TEST_F(RoundModel, OnlyTheTurnableModesPickADirectionAndTurnAfterIt)
{
    // Mode 2 rebuilds, but looks for nothing.
    auto hole = MakeOn(2, *bore_);
    EXPECT_FALSE(hole->RecreateGeom(hole->CurrentItem(), true));
    EXPECT_EQ(made_->Live(11).size(), 1u);
    EXPECT_EQ(hole->CurrentItem().iDirObj, nullptr);

    auto dowel = MakeOn(3, *shaft_);
    ElemPos& item = dowel->CurrentItem();
    item.Y = 10;
    made_->RefuseDirection(axes_[0]->V7());
    EXPECT_TRUE(dowel->RecreateGeom(item, true));
    EXPECT_EQ(sim::Object::From(item.iDirObj), &axes_[1]->V5());
    // Without a sketch of its own the turn is Y's, measured in a sketch made for it and gone again.
    EXPECT_NEAR(item.Y, 280, 1e-9);
    EXPECT_EQ(made_->Live(5).size(), 0u);
    EXPECT_FALSE(dowel->RecreateGeom(item, true));
    // Another record rebuilt finds a direction object of its own: the current one keeps the user's.
    item.iDirObj = axes_[2]->V5().Ptr();
    dowel->Items.emplace_back().iCylFace = shaft_->V5().Ptr();
    EXPECT_TRUE(dowel->RecreateGeom(dowel->Items[1], false));
    EXPECT_EQ(sim::Object::From(dowel->Items[1].iDirObj), &axes_[1]->V5());
    EXPECT_EQ(sim::Object::From(dowel->CurrentItem().iDirObj), &axes_[2]->V5());
    // Nothing is built without a face.
    auto bare = Make(3);
    journal().Clear();
    EXPECT_FALSE(bare->RecreateGeom(bare->CurrentItem(), true));
    EXPECT_EQ(journal().Lines(), Lines{});
}

TEST_F(RoundModel, TheHeightRunsFromTheFramesOriginToTheNearestPointOfTheEndSurface)
{
    auto model = MakeOn(2, *bore_);
    ElemPos& item = model->CurrentItem();
    EXPECT_EQ(model->CalcHeight(item, end_->V5().Ptr()), 0);
    model->CreateGeom(item);
    made_->SetIntersections(*end_, {{0, 0, 7}, {3, 4, 0}});
    EXPECT_EQ(model->CalcHeight(item, end_->V5().Ptr()), 5);
    EXPECT_TRUE(model->IsValidEndPlane(end_->V5().Ptr()));
    made_->SetIntersections(*end_, {});
    EXPECT_EQ(model->CalcHeight(item, end_->V5().Ptr()), 0);
    ExpectOnlyPreviewsLeft(*model);
    ExpectHostStateRestored();
    // Velmar keeping the measuring line says so in the trace.
    TraceLog log(L"test", false);
    document_->RefuseDeletion([](IUnknown*) { return true; });
    model->CalcHeight(item, end_->V5().Ptr());
    document_->RefuseDeletion(nullptr);
    EXPECT_NE(log.Text().find(L"Velmar did not delete the measuring line"), std::wstring::npos) << log.Text();
}

TEST_F(RoundModel, AFailedHostCallLeavesNoTemporaryGeometryAndEverySwitchBack)
{
    std::unique_ptr<NMElemPos> model;
    test_support::SweepHostCalls(
        velmar(),
        [&] {
            model = MakeOn(3, *shaft_);
            made_->SetIntersections(*end_, {{-20, 0, 0}});
            return [&] {
                ElemPos& item = model->CurrentItem();
                item.X = 5;
                model->RecreateGeom(item, true);
                model->ApplyPosition(item);
                model->UpdateHeight();
                EXPECT_EQ(model->tcsH, 20);
            };
        },
        [&](const test_support::SweptFailure& failure) { CheckAfterFailure(model, failure); }, 100);
}
