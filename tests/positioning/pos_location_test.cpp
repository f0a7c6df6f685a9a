// The location template of each mode filled with the measures taken from the stand-in part, inside the
// controller's undo container; the angle between the surfaces; the turn along a direction edge.
#include "positioning/nm_elem_pos_m.h"

#include "hostapi/host_guards.h"
#include "positioning_stand_in.h"

#include <limits>

namespace {

using namespace positioning_test;

class Location : public PositioningStandIn {
protected:
    void SetUp() override
    {
        PositioningStandIn::SetUp();
        sim::GeoEntity& hole = geometry_->AddMacro("hole", top_);
        threadedBore_ = &geometry_->AddFace("threadedBore", top_, {.test3 = true, .length = 24, .radius = 5});
        thread_ = &geometry_->AddThread("thread", top_, {.param1 = 10, .param2 = 20, .param3 = 1.5});
        hole.Add(*threadedBore_);
        hole.Add(*thread_);
        made_->SetIntersections(*end_, {{-12.5, 0, 0}, {-40, 0, 0}});
        made_->Measurer().Value(IVel5Measurer::Angle) = 30.0;
    }

    // PosLocation inside an undo container, as the 3D controller asks for it.
    std::wstring Fill(NMElemPos& model, const std::wstring& text)
    {
        UndoContainerGuard outer(document_->V5().As<IVel5Document3D>(), document_->V7().As<IVel7Document3D>());
        return model.PosLocation(text);
    }

    sim::GeoEntity* threadedBore_ = nullptr;
    sim::GeoEntity* thread_ = nullptr;
};

} // namespace

TEST_F(Location, EachModeFillsItsFieldsWithTheMeasures)
{
    struct Row {
        PositioningMode mode;
        sim::GeoEntity* face;
        double Y;
        std::wstring text, filled;
    };
    const Row rows[] = {
        {2, threadedBore_, 0, L"[width];[diameter];[scrLength];[scrPitch]", L"[12.5];[10];[20];[1.5]"},
        {2, bore_, 0, L"[width];[diameter];[scrLength];[scrPitch]", L"[12.5];[8];[30];[scrPitch]"},
        {2, threadedBore_, 0, L"[diameter]x[scrLength]", L"[10]x[20]"},
        {0, nullptr, 0, L"[width] [angle]", L"[width] [angle]"},
        {1, nullptr, 0, L"[width] [length] [angle]", L"[12.5] [12.5] [30]"},
        {3, shaft_, 45, L"[convex][cyl_diam][cyl_length][cyl_angle]", L"[1][8][30][45]"},
        {11, bore_, 0, L"[convex]", L"[0]"},
        {15, shaft_, 45, L"[cyl_diam] [cyl_angle]", L"[8] [cyl_angle]"},
        {18, shaft_, 0, L"[thread_diameter] [thread_length] [thread_pitch] [convex]", L"[10] [20] [1.5] [1]"},
        // A stored element without a mode hands in its identity: it comes back whole.
        {-1, shaft_, 0, L"PART:BOLT[M8][width]", L"PART:BOLT[M8][width]"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mode);
        auto model = Make(row.mode);
        ElemPos& item = model->CurrentItem();
        item.iCylFace = row.face ? row.face->V5().Ptr() : nullptr;
        item.iCylEdge = thread_->V5().Ptr();
        item.Y = row.Y;
        journal().Clear();
        EXPECT_EQ(Fill(*model, row.text), row.filled);
        // The measures are taken on geometry of their own, which is gone again.
        EXPECT_EQ(made_->LiveCount(), 0u);
        if (row.mode == 0 || row.mode == -1) {
            EXPECT_EQ(journal().Lines(), (Lines{"doc7#70(&)", "doc7#67(0)", "doc5.70=false", "doc7#67(-1)", "doc5.70=true"}))
                << "a mode that fills nothing asks Velmar nothing";
        }
    }
}

TEST_F(Location, TheAngleIsZeroUnlessTheMeasurerTakesOneAndANaNIsRefusedByName)
{
    struct Row {
        bool calculates, hasAngle;
        double angle, tcsA;
    };
    for (const Row& row : {Row{true, true, 30, 30}, Row{false, true, 30, 0}, Row{true, false, 30, 0}, Row{true, true, 5e-7, 0},
                           Row{true, true, -2e-6, -2e-6}}) {
        made_->Measurer().Value(IVel5Measurer::Calculate) = row.calculates;
        made_->Measurer().Value(IVel5Measurer::HasAngle) = row.hasAngle;
        made_->Measurer().Value(IVel5Measurer::Angle) = row.angle;
        auto model = Make(1);
        model->tcsA = 99;
        model->GetAngle();
        EXPECT_EQ(model->tcsA, row.tcsA) << row.angle;
    }
    EXPECT_EQ(sim::Object::From(V_DISPATCH(&made_->Measurer().Value(IVel5Measurer::First))), &start_->V5());
    EXPECT_EQ(sim::Object::From(V_DISPATCH(&made_->Measurer().Value(IVel5Measurer::Second))), &end_->V5());

    made_->Measurer().Value(IVel5Measurer::Angle) = std::numeric_limits<double>::quiet_NaN();
    auto model = Make(1);
    try {
        Fill(*model, L"[angle]");
        ADD_FAILURE() << "[nan] was written";
    } catch (const std::wstring& error) {
        EXPECT_NE(error.find(L"[angle]"), std::wstring::npos);
    }
    ExpectHostStateRestored();
}

TEST_F(Location, AnEdgeTurnsTheRecordByItsCurveCarriedIntoTheTopPart)
{
    sim::Part& other = velmar().AddPart("other");
    geometry_->Shape(other).origin = {10, 0, 0};
    sim::GeoEntity& edge = geometry_->AddEdge("edge", &other, {});
    edge.axis = {{1, 1, 0}, {1, -1, 0}, 2, 4};
    auto model = std::unique_ptr<NMElemPosM>(static_cast<NMElemPosM*>(Make(0).release()));
    ElemPos& item = model->CurrentItem();
    model->CreateGeom(item);
    item.A = 300;
    item.iDirObj = edge.V5().Ptr();
    journal().Clear();
    model->AutoCorrectAngle(item);
    // The edge runs along -Y: 360 + 90 + 300, less one full turn.
    EXPECT_NEAR(item.A, 390, 1e-9);
    EXPECT_EQ(journal().Lines(), (Lines{"edge5.3", "edge5.5()", "edgeDef.3()", "edgeCurve.7", "edgeCurve.8", "edgeCurve.1(2,&,&,&)",
                                        "edgeCurve.1(4,&,&,&)", "edge5.6()", "top5.45(&,&,&,other5)", "top5.45(&,&,&,other5)",
                                        "sketch1.5()", "sketch1Def.4()", "start5.7(0,-2,0,&,&)"}));
}
