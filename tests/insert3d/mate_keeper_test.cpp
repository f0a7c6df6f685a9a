// The mates of a replaced constructive element, made again on the new one: to its part, to its mate
// element with the first flag 1, to the new face of the same cone value; none when nothing was handed
// over; the fault sweep over the keeper's life.
#include "insert3d/mate_keeper.h"

#include "objects/elem_3d_stand_in.h"
#include "support/host_fault_sweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using Lines = std::vector<std::string>;

namespace {

class Mates : public elem3d_test::Elem3DStandIn {
protected:
    void SetUp() override
    {
        Open();
        old_ = &AddElement("old");
        newPart_ = &velmar().AddPart("newPart");
        newMacro_ = &geometry_->AddMacro("newMacro", top_, 68);
    }

    sim::GeoEntity& Entity(const std::string& name, short type = 6) { return geometry_->AddEntity(name, type, top_); }
    sim::GeoEntity& Face(const std::string& name, bool variant2, double cone = 0)
    {
        sim::GeoEntity& face = geometry_->AddFace(name, top_, {.test2 = variant2, .cone = true, .coneValue = cone});
        return face;
    }
    sim::GeoEntity& Body(std::vector<sim::GeoEntity*> faces)
    {
        sim::GeoEntity& body = geometry_->AddMacro("body" + std::to_string(++bodies_), top_);
        body.subObjects[6] = std::move(faces);
        old_->Add(body);
        return body;
    }
    void Mate(short kind, short direction, sim::GeoEntity& ours, sim::GeoEntity& theirs)
    {
        geometry_->DocumentMates().AddExisting(kind, direction, 0, 1.5, ours.V5().Ptr(), theirs.V5().Ptr());
    }
    // The document's mates: kind, both objects and the direction.
    Lines DocumentMates()
    {
        Lines mates;
        for (const sim::MateRecord& mate : geometry_->Mates())
            mates.push_back(std::to_string(mate.kind) + " " + sim::Object::From(mate.first)->Name() + " " +
                            sim::Object::From(mate.second)->Name() + " " + std::to_string(mate.direction));
        return mates;
    }
    MateKeeper Keep() { return MateKeeper(document_->V5().As<IVel5Document3D>(), old_->Entity()); }
    void HandOver(MateKeeper& keeper, std::vector<IDispatchPtr> geometry)
    {
        keeper.HandOver(newPart_->V5().Ptr(), newMacro_->V5().Ptr(), std::move(geometry));
    }

    sim::GeoEntity* old_ = nullptr;
    sim::Part* newPart_ = nullptr;
    sim::GeoEntity* newMacro_ = nullptr;
    int bodies_ = 0;
};

} // namespace

TEST_F(Mates, EachMateGoesToThePartTheMateElementOrTheFaceOfTheNewElement)
{
    sim::GeoEntity& asmFace = Entity("asmFace");
    sim::GeoEntity& seat = geometry_->AddMacro("seat", top_, 68);
    old_->Add(seat);
    Mate(1, -1, seat, asmFace);
    // A mate element without mates is mated through its first edge, to the element the other side lies in.
    sim::GeoEntity& edgeSeat = geometry_->AddMacro("edgeSeat", top_, 68);
    old_->Add(edgeSeat);
    sim::GeoEntity& seatEdge = Entity("seatEdge", 7);
    edgeSeat.subObjects[7] = {&seatEdge};
    sim::GeoEntity& asmElement = geometry_->AddMacro("asmElement", nullptr);
    sim::GeoEntity& asmEdge = Entity("asmEdge", 7);
    asmElement.Add(asmEdge);
    Mate(3, -1, seatEdge, asmEdge);
    sim::GeoEntity& toPart = Face("toPart", true);
    sim::GeoEntity& plain = Face("plain", false);
    sim::GeoEntity& conical = Face("conical", true, 2.5);
    sim::GeoEntity& other = Face("other", true);
    Body({&toPart, &plain, &conical, &other});
    Mate(4, 1, toPart, asmFace);
    Mate(0, -1, plain, asmFace);
    Mate(0, 1, conical, asmFace);
    Mate(2, 1, other, asmFace);
    sim::GeoEntity& newFlat = Face("newFlat", true, 7);
    sim::GeoEntity& newCone = Face("newCone", true, 2.5000001);
    {
        MateKeeper keeper = Keep();
        EXPECT_EQ(keeper.PartMates(), 2u);
        EXPECT_EQ(keeper.MacroMates(), 2u);
        EXPECT_EQ(keeper.FaceMates(), 1u);
        HandOver(keeper, {newFlat.V5().Ptr(), newCone.V5().Ptr()});
    }
    EXPECT_EQ(DocumentMates(), (Lines{"1 seat5 asmFace5 -1", "3 seatEdge5 asmEdge5 -1", "2 other5 asmFace5 1",
                                      "4 asmFace5 newPart5 1", "0 asmFace5 newPart5 -1", "1 asmFace5 newMacro5 1",
                                      "3 asmElement5 newMacro5 1", "0 asmFace5 newCone5 1"}));
}

TEST_F(Mates, AFaceMateFollowsTheFirstNewFaceWhoseConeValueMatches)
{
    struct Row {
        double stored, found;
        bool matches;
    };
    for (const Row& row : {Row{0, 5e-7, true}, Row{5e-7, 0, true}, Row{1.0, 1.0000009, true}, Row{1.0, 1.00001, false}, Row{2, -2, true}}) {
        SCOPED_TRACE(row.stored - row.found);
        Open();
        old_ = &AddElement("old");
        newPart_ = &velmar().AddPart("newPart");
        newMacro_ = &geometry_->AddMacro("newMacro", top_, 68);
        sim::GeoEntity& asmFace = Entity("asmFace");
        sim::GeoEntity& face = Face("face", true, row.stored);
        Body({&face});
        Mate(0, 1, face, asmFace);
        sim::GeoEntity& candidate = Face("candidate", true, row.found);
        {
            MateKeeper keeper = Keep();
            HandOver(keeper, {candidate.V5().Ptr()});
        }
        // The old face is gone with its element: its mate goes whether a new face took it or not.
        EXPECT_EQ(DocumentMates(), row.matches ? Lines{"0 asmFace5 candidate5 1"} : Lines{});
    }
}

TEST_F(Mates, AReplaceThatFailedBeforeTheHandOverLeavesEveryMate)
{
    sim::GeoEntity& asmFace = Entity("asmFace");
    sim::GeoEntity& face = Face("face", false);
    Body({&face});
    Mate(4, 1, face, asmFace);
    try {
        MateKeeper keeper = Keep();
        throw std::wstring(L"the script failed");
    } catch (const std::wstring&) {
    }
    EXPECT_EQ(DocumentMates(), Lines{"4 face5 asmFace5 1"});
}

TEST_F(Mates, AFailedHostCallLosesNoMateThatWasNotMadeAgain)
{
    sim::GeoEntity& asmFace = Entity("asmFace");
    sim::GeoEntity& seat = geometry_->AddMacro("seat", top_, 68);
    old_->Add(seat);
    sim::GeoEntity& flat = Face("flat", false);
    sim::GeoEntity& conical = Face("conical", true, 3);
    Body({&flat, &conical});
    sim::GeoEntity& newCone = Face("newCone", true, 3);
    const Lines before = {"1 seat5 asmFace5 1", "4 flat5 asmFace5 1", "0 conical5 asmFace5 1"};
    test_support::SweepHostCalls(
        velmar(),
        [&] {
            while (!geometry_->Mates().empty())
                geometry_->DocumentMates().Remove(geometry_->Mates().front().mate->Ptr());
            Mate(1, 1, seat, asmFace);
            Mate(4, 1, flat, asmFace);
            Mate(0, 1, conical, asmFace);
            return [&] {
                MateKeeper keeper = Keep();
                HandOver(keeper, {newCone.V5().Ptr()});
            };
        },
        [&](const test_support::SweptFailure&) {
            // Each old mate is there, or its new one is; the mate element's old mate always stays.
            const Lines now = DocumentMates();
            auto has = [&](const std::string& mate) { return std::find(now.begin(), now.end(), mate) != now.end(); };
            EXPECT_TRUE(has("1 seat5 asmFace5 1"));
            EXPECT_TRUE(has("4 flat5 asmFace5 1") || has("4 asmFace5 newPart5 1"));
            EXPECT_TRUE(has("0 conical5 asmFace5 1") || has("0 asmFace5 newCone5 1"));
        },
        20);
}
