// An element moved in its own sketch: by coordinates its base point, from two edges the base points of its
// two edge lines (each measured from the edge it was placed against); other ways of placing move nothing
// but still end the editing and rebuild; an element whose sketch is not on the start surface is rebuilt.
#include "element_stand_in.h"

#include "hostapi/base_point.h"
#include "hostapi/dispatch_call.h"
#include "support/host_fault_sweep.h"

#include <sstream>

using namespace element_test;

namespace {

class ElementEdit : public ElementStandIn {
protected:
    ElementEdit() { AddEdges(); }

    // The two edges the element is placed against, on the plate of the last restart.
    void AddEdges()
    {
        sim::Geometry& geometry = world().geometry;
        edges_[0] = &geometry.AddEdge("edge1", plate.part, {.test1 = true});
        edges_[1] = &geometry.AddEdge("edge2", plate.part, {.test1 = true});
        edges_[0]->axis = {.from = {0, 0, 0}, .to = {10, 0, 0}};
        edges_[1]->axis = {.from = {0, 0, 0}, .to = {0, 10, 0}};
        made->Projects(edges_[0]->V5(), sim::Object2D::Segment(0, 0, 10, 0));
        made->Projects(edges_[1]->V5(), sim::Object2D::Segment(0, 0, 0, 10));
    }

    // A model of one record on bore 1 placed in the sub-mode at (X, Y) from the two edges.
    std::unique_ptr<NMElemPos> Placed(int subMode, double X, double Y)
    {
        auto model = HoleModel({plate.bores[0]});
        ElemPos& item = model->CurrentItem();
        item.SubMode = kSubModeNames[subMode];
        item.iEdge1 = edges_[0]->V5().Ptr();
        item.iEdge2 = edges_[1]->V5().Ptr();
        item.X = X;
        item.Y = Y;
        return model;
    }

    // The element built at (3, 4) in the sub-mode, then edited to (5, 6); the element as left.
    sim::BuiltElement& BuildAndMove(int subMode, IDispatch* startOfEdit = nullptr)
    {
        const auto inserted = Placed(subMode, 3, 4);
        NewElement(*inserted)->Apply();
        sim::BuiltElement& element = *elements->Live().back();
        element.macro->Definition().Value(IVel5MacroDefinition::Setting1) = true;
        auto moved = Placed(subMode, 5, 6);
        moved->isMove = true;
        if (startOfEdit)
            moved->iStartPlane = startOfEdit;
        const auto edited = NewElement(*moved, element.macro->Entity());
        EXPECT_EQ(edited->state, NMObject::StateEdit);
        edited->Apply();
        return element;
    }

    // Where the element stands: its stored place, its sketch's points and its edge lines' base points.
    std::string Place(const sim::BuiltElement& element)
    {
        std::ostringstream text;
        sim::DataStore::Section& block =
            *world().geometry.topPart->Store().SectionNamed(element.macro->Name() + "Def7", L"Нормсет");
        text << "X " << Number(block[L"X"]) << " Y " << Number(block[L"Y"]);
        for (const sim::Object2D& object : element.sketch->objects)
            if (object.kind == 5)
                text << " point " << object.x1 << "," << object.y1;
        for (const auto& base : element.basePoints)
            text << " base " << base->Double(sim::ScriptedElements::kBaseX) << "," << base->Double(sim::ScriptedElements::kBaseY);
        return text.str();
    }

    static double Number(const _variant_t& value) { return V_VT(&value) == VT_R8 ? V_R8(&value) : -1e9; }

    sim::GeoEntity* edges_[2] = {};
};

} // namespace

TEST_F(ElementEdit, EachWayOfPlacingMovesWhatItPlacedAndAlwaysEndsTheEditingAndRebuilds)
{
    struct Row {
        int subMode;
        std::vector<sim::Object2D> points;   // the sketch's points afterwards
        double base[2][2];                   // from two edges: each line's base point afterwards
    };
    const Row rows[] = {
        {SubModeByCoordinates, {sim::Object2D::Point(-6, 5)}, {}},
        // The first line lies on the first edge and moves by -X square to it; the second by -Y.
        {SubModeFromTwoEdges, {}, {{0, 5}, {-6, 0}}},
        {SubModeRoundEdgeCentre, {sim::Object2D::Point(-4, 3)}, {}},
        {SubModeVertex, {sim::Object2D::Point(-4, 3)}, {}},
    };
    for (const Row& row : rows) {
        RestartWithElements();
        AddEdges();
        SCOPED_TRACE(row.subMode);
        sim::BuiltElement& element = BuildAndMove(row.subMode);
        EXPECT_FALSE(element.deleted);
        EXPECT_EQ(elements->Live().size(), 1u);
        std::vector<sim::Object2D> points;
        for (const sim::Object2D& object : element.sketch->objects)
            if (object.kind == 5)
                points.push_back(object);
        ASSERT_EQ(points.size(), row.points.size());
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_DOUBLE_EQ(points[i].x1, row.points[i].x1);
            EXPECT_DOUBLE_EQ(points[i].y1, row.points[i].y1);
        }
        for (size_t i = 0; i < element.basePoints.size(); ++i) {
            EXPECT_NEAR(element.basePoints[i]->Double(sim::ScriptedElements::kBaseX), row.base[i][0], 1e-9) << i;
            EXPECT_NEAR(element.basePoints[i]->Double(sim::ScriptedElements::kBaseY), row.base[i][1], 1e-9) << i;
            EXPECT_EQ(element.basePoints[i]->Long(sim::ScriptedElements::kBaseUpdates), 1) << i;
        }
        // Only a move writes the element's new place into it.
        const bool moves = row.subMode <= SubModeFromTwoEdges;
        sim::DataStore::Section& block =
            *world().geometry.topPart->Store().SectionNamed(element.macro->Name() + "Def7", L"Нормсет");
        EXPECT_EQ(Number(block[L"X"]), moves ? 5 : 3);
        EXPECT_EQ(Number(block[L"Y"]), moves ? 6 : 4);
        EXPECT_EQ(element.macro->Definition().Bool(IVel5MacroDefinition::Setting1), !moves);
        EXPECT_EQ(made->SketchesInEdit(), 0);
        EXPECT_EQ(element.sketch->updates, 1);
        EXPECT_FALSE(velmar().App7().Bool(25));
    }
}

TEST_F(ElementEdit, AnElementWhoseSketchIsNotOnTheStartSurfaceIsRebuiltInstead)
{
    sim::BuiltElement& element = BuildAndMove(SubModeByCoordinates, plate.bottom->V5().Ptr());
    EXPECT_TRUE(element.deleted);
    ASSERT_EQ(elements->Live().size(), 1u);
    EXPECT_EQ(elements->Live().front()->references.front(), "plateBottom");
}

// Every host call of a move in the sketch failing in turn, for each way of placing that moves: a reported
// failure (raised, or the script's warning) leaves the element where it stood, a failed restoring call
// leaves it wholly moved; the element is never rebuilt, the editing ends and the switches are back.
TEST_F(ElementEdit, EditFaultSweepLeavesTheElementWhereItStoodOrWhollyMoved)
{
    for (int subMode : {SubModeByCoordinates, SubModeFromTwoEdges}) {
        RestartWithElements();
        AddEdges();
        SCOPED_TRACE(subMode);
        NewElement(*Placed(subMode, 3, 4))->Apply();
        sim::BuiltElement& element = *elements->Live().back();
        std::unique_ptr<NMElemPos> moved;
        std::unique_ptr<NMVelmarElement3D> editing;
        std::string stood;
        std::string target;
        size_t questionsBefore = 0;
        test_support::SweepHostCalls(
            velmar(),
            [&] {
                editing.reset();
                velmar().Undo().Clear();
                document().V7().Value(69) = _variant_t(VARIANT_FALSE, VT_I2);
                document().V5().Value(IVel5Document3D::UndoRecording) = true;
                velmar().App7().Value(25) = _variant_t(VARIANT_FALSE, VT_I2);
                element.macro->Definition().Value(IVel5MacroDefinition::Setting1) = true;
                // An editing whose end Velmar refused is ended before the next run.
                if (made->SketchesInEdit() > 0)
                    V5Method(element.sketch->definition->As<IVel5SketchDefinition>(), IVel5SketchDefinition::EndEdit);
                stood = Place(element);
                // Each run moves the element away from where the last one left it.
                const double X = stood.rfind("X 5 ", 0) == 0 ? 3 : 5;
                target = "X " + std::to_string(static_cast<int>(X)) + " Y " + std::to_string(static_cast<int>(X + 1));
                moved = Placed(subMode, X, X + 1);
                moved->isMove = true;
                editing = NewElement(*moved, element.macro->Entity());
                questionsBefore = velmar().User().Questions().size();
                return [&] { editing->Apply(); };
            },
            [&](const test_support::SweptFailure& failure) {
                const bool warned = velmar().User().Questions().size() > questionsBefore;
                ASSERT_EQ(elements->Live().size(), 1u);
                EXPECT_EQ(elements->Live().front(), &element) << "the element was rebuilt";
                if (failure.raised || warned)
                    EXPECT_EQ(Place(element), stood);
                else
                    EXPECT_EQ(Place(element).rfind(target, 0), 0u) << Place(element);
                if (failure.call.rfind("Def.2") != failure.call.size() - 5) {
                    EXPECT_EQ(made->SketchesInEdit(), 0);
                }
                // Velmar refusing to leave edit mode, at the start or at the end, fails the move.
                if (failure.call != "app7#25") {
                    EXPECT_FALSE(velmar().App7().Bool(25));
                } else {
                    EXPECT_TRUE(failure.raised || warned);
                }
                if (failure.call != "asm7#69") {
                    EXPECT_FALSE(document().V7().Bool(69));
                }
            },
            20);
    }
}

TEST(BasePoint, IsSquareToTheSegmentAtTheDistanceOnTheSideTheFlagChooses)
{
    struct Row {
        double x2, y2;
        bool otherSide;
        BasePoint expected;
    };
    // The other side (angle + 90 degrees) is the project's reading of the editing flag.
    const Row rows[] = {{10, 0, false, {0, -5, 0}}, {0, 10, false, {5, 0, 90}}, {10, 0, true, {0, 5, 0}}};
    for (const Row& row : rows) {
        const BasePoint point = BasePointBeside(0, 0, row.x2, row.y2, 5, row.otherSide);
        EXPECT_NEAR(point.x, row.expected.x, 1e-12);
        EXPECT_NEAR(point.y, row.expected.y, 1e-12);
        EXPECT_NEAR(point.angle, row.expected.angle, 1e-12);
    }
}
