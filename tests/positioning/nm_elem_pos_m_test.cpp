// The two-planes model against the stand-in part: the placement sketch and its one point by sub-mode,
// the frame on it, the auxiliary line of the polar shift with its restores, the height along it, the
// rebuild with a direction object of its own, the panel's sketch services and the fault sweep.
#include "positioning/nm_elem_pos_m.h"

#include "hostapi/host_guards.h"
#include "positioning_stand_in.h"

#include <cmath>

namespace {

using namespace positioning_test;

class TwoPlanesModel : public PositioningStandIn {
protected:
    void SetUp() override
    {
        PositioningStandIn::SetUp();
        vertex_ = &geometry_->AddEntity("vertex", 8, top_);
        roundEdge_ = &geometry_->AddEntity("roundEdge", 7, top_);
        edge1_ = &geometry_->AddEntity("edge1", 7, top_);
        edge2_ = &geometry_->AddEntity("edge2", 7, top_);
        parallel_ = &geometry_->AddEntity("parallel", 7, top_);
        above_ = &geometry_->AddEntity("above", 7, top_);
        right_ = &geometry_->AddEntity("right", 7, top_);
        made_->Projects(vertex_->V5(), sim::Object2D::Point(3, 4));
        made_->Projects(roundEdge_->V5(), sim::Object2D::Round(3, -1, 2, 6));
        made_->Projects(edge1_->V5(), sim::Object2D::Segment(0, 0, 10, 0));
        made_->Projects(edge2_->V5(), sim::Object2D::Segment(0, 0, 0, 10));
        made_->Projects(parallel_->V5(), sim::Object2D::Segment(0, 5, 10, 5));
        made_->Projects(above_->V5(), sim::Object2D::Segment(0, 2, 10, 2));
        made_->Projects(right_->V5(), sim::Object2D::Segment(3, 0, 3, 10));
    }

    std::unique_ptr<NMElemPosM> MakeM(PositioningMode mode = 1)
    {
        return std::unique_ptr<NMElemPosM>(static_cast<NMElemPosM*>(Make(mode).release()));
    }

    // The sketch's points, as the stand-in keeps them.
    std::vector<sim::Object2D> PointsOf(const ElemPos& item)
    {
        std::vector<sim::Object2D> points;
        for (const sim::Object2D& object : made_->EntityOf(item.iSketch)->objects)
            if (object.kind == 5)
                points.push_back(object);
        return points;
    }

    sim::GeoEntity* vertex_ = nullptr;
    sim::GeoEntity* roundEdge_ = nullptr;
    sim::GeoEntity* edge1_ = nullptr;
    sim::GeoEntity* edge2_ = nullptr;
    sim::GeoEntity* parallel_ = nullptr;
    sim::GeoEntity* above_ = nullptr;   // edges off the sketch's axes
    sim::GeoEntity* right_ = nullptr;
};

} // namespace

TEST_F(TwoPlanesModel, TheSketchStandsOnTheStartFaceWithOnePointAndTheFrameOnTheSketch)
{
    auto model = MakeM();
    ElemPos& item = model->CurrentItem();
    item.X = 10;
    item.Y = 5;
    model->CreateGeom(item);
    sim::MadeEntity* sketch = Only(5);
    ASSERT_TRUE(sketch);
    EXPECT_EQ(sketch->Given(IVel5SketchDefinition::SetPlane), &start_->V5());
    const auto points = PointsOf(item);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].x1, -5);
    EXPECT_EQ(points[0].y1, 10);
    EXPECT_EQ(points[0].style, 7);
    sim::MadeFrame* frame = made_->FrameOf(item.iFrame);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->sources, (std::vector<sim::Object*>{sketch->v7.get()}));
    EXPECT_EQ(frame->bases, (std::map<long, sim::Object*>{{71, &start_->V7()}}));
    EXPECT_TRUE(frame->v7->Bool(7) && frame->v7->Bool(8) && !frame->v7->Bool(9));

    // Moved, not drawn again: the sketch keeps one point, which reads back.
    item.X = 7;
    model->ApplyPosition(item);
    ASSERT_EQ(PointsOf(item).size(), 1u);
    EXPECT_EQ(PointsOf(item)[0].x1, -5);
    EXPECT_EQ(PointsOf(item)[0].y1, 7);
    item.X = item.Y = 0;
    model->ReadSketchPoint();
    EXPECT_EQ(item.X, 7);
    EXPECT_EQ(item.Y, 5);
}

TEST_F(TwoPlanesModel, EachSubModePlacesThePointItsOwnWay)
{
    struct Row {
        const char* what;
        const wchar_t* subMode;
        sim::GeoEntity* first;
        sim::GeoEntity* second;
        double x, y;           // the sketch point
        double X, Y;           // the record afterwards
    };
    const Row rows[] = {
        {"by coordinates", L"По координатам", nullptr, nullptr, -5, 10, 10, 5},
        {"unknown text: by coordinates", L"По точке", vertex_, nullptr, -5, 10, 10, 5},
        {"a vertex", L"По вершине", vertex_, nullptr, 3, 4, 4, -3},
        {"a vertex not set: by coordinates", L"По вершине", nullptr, nullptr, -5, 10, 10, 5},
        {"a vertex that projects as no point", L"По вершине", edge1_, nullptr, -5, 10, 10, 5},
        {"the centre of a round edge", L"Центр круглого ребра", roundEdge_, nullptr, -1, 2, 2, 1},
        {"two edges, 10 and 5 from them", L"От двух ребер", edge1_, edge2_, -5, 10, 10, 5},
        {"two edges off the axes, 10 and 5 from them", L"От двух ребер", above_, right_, -2, 12, 10, 5},
        {"parallel edges: by coordinates", L"От двух ребер", edge1_, parallel_, -5, 10, 10, 5},
        {"one edge: by coordinates", L"От двух ребер", edge1_, nullptr, -5, 10, 10, 5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        auto model = MakeM();
        ElemPos& item = model->CurrentItem();
        item.SubMode = row.subMode;
        item.X = 10;
        item.Y = 5;
        const IDispatchPtr first = row.first ? row.first->V5().Ptr() : nullptr;
        const IDispatchPtr second = row.second ? row.second->V5().Ptr() : nullptr;
        item.iVertex = item.iCylEdge = item.iEdge1 = first;
        item.iEdge2 = second;
        model->CreateGeom(item);
        // Nothing projected stays in the sketch.
        const auto& objects = made_->EntityOf(item.iSketch)->objects;
        ASSERT_EQ(objects.size(), 1u);
        EXPECT_NEAR(objects[0].x1, row.x, 1e-12);
        EXPECT_NEAR(objects[0].y1, row.y, 1e-12);
        EXPECT_NEAR(item.X, row.X, 1e-12);
        EXPECT_NEAR(item.Y, row.Y, 1e-12);
    }
}

TEST_F(TwoPlanesModel, TheShiftMovesTheLineInTheFrameAndTheHeightIsMeasuredFromItsEnd)
{
    // The end plane is met 12 mm back along the axis from wherever the element starts.
    struct Row {
        double R, A;
        Point3D second;
    };
    for (const Row& row : {Row{0, 0, {1, 0, 0}}, Row{5, 90, {0, 0, 5}}, Row{5, 0, {0, 5, 0}}}) {
        SCOPED_TRACE(row.R + row.A);
        auto model = MakeM();
        ElemPos& item = model->CurrentItem();
        item.R = row.R;
        item.A = row.A;
        model->CreateGeom(item);
        model->ApplyPosition(item);
        sim::MadeLine* line = made_->LineOf(item.iAuxLine);
        ASSERT_TRUE(line);
        EXPECT_EQ(line->frame, made_->FrameOf(item.iFrame));
        EXPECT_NEAR(line->first.x, 0, 1e-12);
        EXPECT_NEAR(line->first.y, 0, 1e-12);
        EXPECT_NEAR(line->first.z, 0, 1e-12);
        EXPECT_NEAR(line->second.x, row.second.x, 1e-12);
        EXPECT_NEAR(line->second.y, row.second.y, 1e-12);
        EXPECT_NEAR(line->second.z, row.second.z, 1e-12);
        const Point3D from = row.R > 0 ? row.second : Point3D{};
        made_->SetIntersections(*end_, {{from.x - 12, from.y, from.z}, {from.x - 40, from.y, from.z}});
        EXPECT_NEAR(model->CalcHeight(item, end_->V5().Ptr()), 12, 1e-9);
        made_->SetIntersections(*end_, {});
        EXPECT_EQ(model->CalcHeight(item, end_->V5().Ptr()), 0);
        EXPECT_FALSE(model->IsValidEndPlane(end_->V5().Ptr()));
        ExpectOnlyPreviewsLeft(*model);
    }
}

TEST_F(TwoPlanesModel, MovingThePreviewTakesTheFrameAndTheLineAndGivesThemBack)
{
    auto model = MakeM();
    ElemPos& item = model->CurrentItem();
    item.R = 5;
    item.Y = 2;
    model->CreateGeom(item);
    model->ApplyPosition(item);
    journal().Clear();
    model->ApplyPosition(item);
    EXPECT_EQ(journal().Lines(),
              (Lines{"sketch1.5()", "sketch1Def.9()", "app5.7()", "iterator.2(5,0)", "iterator.3(\"F\")", "iterator.9()",
                     // The point is read and written back in place.
                     "app5.9(16)", "sketch1Edit.8(1,struct16,-1)", "struct16.1=-2", "struct16.2=0", "sketch1Edit.9(1,struct16,-1)",
                     "sketch1Def.2()",
                     "app5.108(start5,2,0)", "frame1#9(0)", "frame1#7(71,start7,&)", "frame1#15(&)",
                     "topFrames#17(frame1,&)", "line1#10(1)", "line1#10(0)", "line1#7(3)", "line1#8(1,0,0,0)",
                     "line1#8(2,0,5,0)", "line1#15(&)", "line1#7(2)", "topFrames#17(null,&)"}));
}

TEST_F(TwoPlanesModel, TheHeightIsMeasuredOnACopyOfTheFirstRecordInsideAnUndoContainer)
{
    auto model = MakeM();
    ElemPos& item = model->CurrentItem();
    item.R = 5;
    item.A = 90;
    model->CreateGeom(item);
    made_->SetIntersections(*end_, {{-12, 0, 5}});
    const size_t previews = made_->LiveCount();
    journal().Clear();
    model->UpdateHeight();
    EXPECT_NEAR(model->tcsH, 12, 1e-9);
    // Its own preview stays; the copy's is gone; the undo switches are back.
    EXPECT_EQ(made_->LiveCount(), previews);
    ExpectOnlyPreviewsLeft(*model);
    ExpectHostStateRestored();
    EXPECT_EQ(journal().LinesOf("doc7").front(), "doc7#70(&)");

    // An undo container already open: the guard's error, and nothing built.
    document_->V7().Value(70) = _variant_t(VARIANT_TRUE, VT_I2);
    model->tcsH = 3;
    EXPECT_THROW(model->UpdateHeight(), std::wstring);
    EXPECT_EQ(model->tcsH, 3);
    EXPECT_EQ(made_->LiveCount(), previews);
}

TEST_F(TwoPlanesModel, ARebuildWithoutADirectionObjectTakesTheFirstAxisTheFrameAcceptsAndTurnsTheShift)
{
    auto model = MakeM();
    // Another record rebuilt finds a direction object of its own and leaves the current one's alone.
    model->Items.emplace_back();
    EXPECT_TRUE(model->RecreateGeom(model->Items[1], false));
    EXPECT_EQ(sim::Object::From(model->Items[1].iDirObj), &axes_[0]->V5());
    EXPECT_EQ(model->CurrentItem().iDirObj, nullptr);
    model->DeleteGeom(model->Items[1]);
    model->Items.pop_back();
    ElemPos& item = model->CurrentItem();
    item.A = 30;
    made_->RefuseDirection(axes_[0]->V7());
    EXPECT_TRUE(model->RecreateGeom(item, true));
    EXPECT_EQ(sim::Object::From(item.iDirObj), &axes_[1]->V5());
    // The Y axis lies at 90 degrees in the start plane: 360 - 90 + 30.
    EXPECT_NEAR(item.A, 300, 1e-9);
    EXPECT_EQ(made_->FrameOf(item.iFrame)->bases[72], &axes_[1]->V7());
    // Rebuilt with its direction object on another start face: nothing is looked for, the old preview
    // went and the new one stands on the new face.
    sim::GeoEntity& moved = geometry_->AddFace("moved", top_, {.test1 = true});
    model->iStartPlane = moved.V5().Ptr();
    EXPECT_FALSE(model->RecreateGeom(item, true));
    EXPECT_NEAR(item.A, 300, 1e-9);
    sim::MadeEntity* sketch = Only(5);
    ASSERT_TRUE(sketch);
    EXPECT_EQ(sketch->Given(IVel5SketchDefinition::SetPlane), &moved.V5());
    ExpectOnlyPreviewsLeft(*model);
    // No axis taken: the record has none and keeps its angle.
    for (sim::GeoEntity* axis : axes_)
        made_->RefuseDirection(axis->V7());
    item.iDirObj = nullptr;
    EXPECT_TRUE(model->RecreateGeom(item, true));
    EXPECT_EQ(item.iDirObj, nullptr);
    EXPECT_NEAR(item.A, 300, 1e-9);
    model->iStartPlane = nullptr;
    journal().Clear();
    EXPECT_FALSE(model->RecreateGeom(item, false));
    EXPECT_EQ(journal().Lines(), Lines{});
}

TEST_F(TwoPlanesModel, ThePanelReadsPicksThroughTheSketchAndKnowsThePreviewsOwnObjects)
{
    auto model = MakeM();
    ElemPos& item = model->CurrentItem();
    item.iVertex = vertex_->V5().Ptr();
    model->CreateGeom(item);
    model->ApplyPosition(item);

    EXPECT_TRUE(model->TakeProjectedPoint(roundEdge_->V5().Ptr()));
    EXPECT_EQ(item.X, 2);
    EXPECT_EQ(item.Y, 1);
    EXPECT_FALSE(model->TakeProjectedPoint(edge1_->V5().Ptr()));
    EXPECT_TRUE(model->IsEdgeProjectable(edge1_->V5().Ptr()));
    EXPECT_FALSE(model->IsEdgeProjectable(vertex_->V5().Ptr()));
    const auto lines = model->ProjectEdges(edge1_->V5().Ptr(), edge2_->V5().Ptr());
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->second.x2, 0);
    EXPECT_EQ(lines->second.y2, 10);
    EXPECT_FALSE(model->ProjectEdges(edge1_->V5().Ptr(), vertex_->V5().Ptr()));
    EXPECT_EQ(made_->EntityOf(item.iSketch)->objects.size(), 1u);
    ExpectHostStateRestored();

    sim::MadeLine* line = made_->LineOf(item.iAuxLine);
    const sim::Object2D& point = made_->EntityOf(item.iSketch)->objects[0];
    struct Row {
        sim::Object* object;
        long point, edge, linePoint;
    };
    for (const Row& row : {Row{point.entity.get(), -1, 0, 0}, Row{&vertex_->V5(), -1, 0, 0}, Row{line->edge.get(), 0, -1, 0},
                           Row{line->end.get(), 0, 0, -1}, Row{&roundEdge_->V5(), 0, 0, 0}}) {
        const IDispatchPtr object = row.object->Ptr();
        EXPECT_EQ(model->IsPreviewPoint(object), row.point) << row.object->Name();
        EXPECT_EQ(model->IsAuxLineEdge(object), row.edge) << row.object->Name();
        EXPECT_EQ(model->IsAuxLinePoint(object), row.linePoint) << row.object->Name();
    }
}

TEST_F(TwoPlanesModel, AFailedHostCallLeavesNoTemporaryGeometryAndEverySwitchBack)
{
    std::unique_ptr<NMElemPos> model;
    test_support::SweepHostCalls(
        velmar(),
        [&] {
            model = Make(1);
            made_->SetIntersections(*end_, {{-12, 0, 5}});
            return [&] {
                ElemPos& item = model->CurrentItem();
                item.R = 5;
                item.A = 90;
                model->RecreateGeom(item, true);
                model->ApplyPosition(item);
                model->UpdateHeight();
                EXPECT_NEAR(model->CalcHeight(item, end_->V5().Ptr()), 12, 1e-9);
            };
        },
        [&](const test_support::SweptFailure& failure) { CheckAfterFailure(model, failure); }, 100);
}
