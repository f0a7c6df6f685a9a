// The scoped host switches: what they switch, that they switch back on every exit, and that a failing
// host call neither escapes a destructor nor leaves a half-made switch behind.
#include "hostapi/host_guards.h"

#include "core/trace_log.h"
#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

#include <stdexcept>

using Lines = std::vector<std::string>;

namespace {

class HostGuards : public sim::StandInTest {
protected:
    sim::Document& Assembly() { return velmar().OpenDocument(5); }
    static IVel5Document3DPtr Doc5(sim::Document& doc) { return doc.V5().As<IVel5Document3D>(); }
    static IVel7Document3DPtr Doc7(sim::Document& doc) { return doc.V7().As<IVel7Document3D>(); }
};

// The switches of a 3D document as the tests read them: (67, 69, version-5 70).
struct UndoState {
    bool container;
    bool disabled;
    bool recording;
    bool operator==(const UndoState&) const = default;
};

UndoState UndoOf(sim::Document& doc)
{
    return {doc.V7().Bool(67), doc.V7().Bool(69), doc.V5().Bool(70)};
}

const UndoState kUntouched{true, false, true};

} // namespace

TEST_F(HostGuards, UndoContainerGuardSwitchesUndoOffForItsScope)
{
    sim::Document& doc = Assembly();
    {
        UndoContainerGuard guard(Doc5(doc), Doc7(doc));
        EXPECT_EQ(UndoOf(doc), (UndoState{false, false, false}));
    }
    EXPECT_EQ(UndoOf(doc), kUntouched);
    EXPECT_EQ(journal().Lines(), (Lines{"doc7#70(&)", "doc7#67(0)", "doc5.70=false", "doc7#67(-1)", "doc5.70=true"}));
}

TEST_F(HostGuards, AnOpenUndoContainerRefusesTheGuardAndTouchesNothing)
{
    sim::Document& doc = Assembly();
    doc.V7().Value(70) = _variant_t(VARIANT_TRUE, VT_I2);
    try {
        UndoContainerGuard guard(Doc5(doc), Doc7(doc));
        FAIL() << "no refusal";
    } catch (const std::wstring& message) {
        EXPECT_EQ(message, L"Undo container in progress");
    }
    EXPECT_EQ(UndoOf(doc), kUntouched);
    EXPECT_EQ(journal().Lines(), (Lines{"doc7#70(&)"}));
}

TEST_F(HostGuards, UndoDisabledGuardMakesOneUndoStep)
{
    sim::Document& doc = Assembly();
    {
        UndoDisabledGuard guard(Doc5(doc), Doc7(doc));
        EXPECT_EQ(UndoOf(doc), (UndoState{true, true, false}));
    }
    EXPECT_EQ(UndoOf(doc), kUntouched);
    EXPECT_EQ(journal().Lines(), (Lines{"doc7#68(&)", "doc7#69(-1)", "doc5.70=false", "doc7#69(0)", "doc5.70=true"}));
}

TEST_F(HostGuards, DisabledUndoRefusesTheGuardAndTouchesNothing)
{
    sim::Document& doc = Assembly();
    doc.V7().Value(68) = _variant_t(VARIANT_FALSE, VT_I2);
    EXPECT_THROW(UndoDisabledGuard(Doc5(doc), Doc7(doc)), std::wstring);
    EXPECT_EQ(UndoOf(doc), kUntouched);
    EXPECT_EQ(journal().Lines(), (Lines{"doc7#68(&)"}));
}

TEST_F(HostGuards, NestedUndoGuardsUnwindInReverseAndVersionSevenFirst)
{
    sim::Document& doc = Assembly();
    try {
        UndoContainerGuard outer(Doc5(doc), Doc7(doc));
        UndoDisabledGuard inner(Doc5(doc), Doc7(doc));
        journal().Clear();
        throw std::runtime_error("the step failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(journal().Lines(), (Lines{"doc7#69(0)", "doc5.70=true", "doc7#67(-1)", "doc5.70=true"}));
    EXPECT_EQ(UndoOf(doc), kUntouched);
}

TEST_F(HostGuards, AFailingRestoreIsTracedAndTheOtherRestoreStillHappens)
{
    sim::Document& doc = Assembly();
    TraceLog log(L"test", false);
    {
        UndoContainerGuard guard(Doc5(doc), Doc7(doc));
        velmar().Faults().FailMember("doc7#67", E_FAIL);
    }
    EXPECT_TRUE(doc.V5().Bool(70)) << "the version-5 restore must not be skipped";
    EXPECT_NE(log.Text().find(L"~UndoContainerGuard: 0x80004005"), std::wstring::npos) << log.Text();
}

TEST_F(HostGuards, RestoresThatFailWhileAnExceptionUnwindsDoNotEndTheProcess)
{
    sim::Document& doc = Assembly();
    try {
        UndoDisabledGuard guard(Doc5(doc), Doc7(doc));
        velmar().Faults().FailMember("doc7#69", E_FAIL);
        velmar().Faults().FailMember("doc5.70", E_FAIL);
        throw std::runtime_error("the step failed");
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "the step failed");
    }
}

TEST_F(HostGuards, AnUndoGuardFailingHalfWayPutsBackWhatItHadSwitched)
{
    sim::Document& doc = Assembly();
    velmar().Faults().FailMember("doc5.70", E_FAIL, 1);
    EXPECT_THROW(UndoContainerGuard(Doc5(doc), Doc7(doc)), _com_error);
    EXPECT_EQ(UndoOf(doc), kUntouched);
    EXPECT_EQ(journal().Lines(), (Lines{"doc7#70(&)", "doc7#67(0)", "doc5.70=false -> 80004005", "doc7#67(-1)"}));

    journal().Clear();
    velmar().Faults().FailMember("doc5.70", E_FAIL, 1);
    EXPECT_THROW(UndoDisabledGuard(Doc5(doc), Doc7(doc)), _com_error);
    EXPECT_EQ(UndoOf(doc), kUntouched);
    EXPECT_EQ(journal().Lines().back(), "doc7#69(0)");
}

TEST_F(HostGuards, PhantomGuardShowsThePartAsAPhantomAndPutsItsLookBack)
{
    sim::Document& doc = Assembly();
    sim::Part& bolt = velmar().AddPart("bolt");
    {
        PhantomGuard guard(Doc5(doc), bolt.V5().As<IVel5Part>());
        EXPECT_EQ(bolt.V5().Long(38), 0);
        EXPECT_DOUBLE_EQ(bolt.ColorParam().Double(6), 0.35);
        EXPECT_EQ(sim::Object::From(guard.Part()), &bolt.V5());
        EXPECT_EQ(sim::Object::From(guard.Placement())->Name(), "placement");
    }
    EXPECT_EQ(bolt.V5().Long(38), 7);
    EXPECT_DOUBLE_EQ(bolt.ColorParam().Double(6), 1.0);
    EXPECT_EQ(journal().Lines(),
              (Lines{"doc5.14(bolt5)", "placement.16()", "placement.15()", "bolt5.38", "bolt5.38=0", "bolt5.10()",
                     "boltColor.6", "boltColor.6=0.35", "bolt5.12()", "boltColor.6=1", "bolt5.38=7", "bolt5.12()"}));
}

TEST_F(HostGuards, AnExceptionInsideThePhantomScopeStillRestoresAndUpdates)
{
    sim::Document& doc = Assembly();
    sim::Part& bolt = velmar().AddPart("bolt");
    try {
        PhantomGuard guard(Doc5(doc), bolt.V5().As<IVel5Part>());
        journal().Clear();
        throw std::runtime_error("cancelled");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(journal().Lines(), (Lines{"boltColor.6=1", "bolt5.38=7", "bolt5.12()"}));
}

TEST_F(HostGuards, NoPhantomRefusesTheGuardBeforeThePartIsTouched)
{
    sim::Document& doc = Assembly();
    doc.SetPhantomReady(false);
    sim::Part& bolt = velmar().AddPart("bolt");
    try {
        PhantomGuard guard(Doc5(doc), bolt.V5().As<IVel5Part>());
        FAIL() << "no refusal";
    } catch (const std::wstring& message) {
        EXPECT_EQ(message, L"Can't create phantom");
    }
    EXPECT_EQ(journal().Lines(), (Lines{"doc5.14(bolt5)", "placement.16()"}));
}

TEST_F(HostGuards, APhantomGuardFailingHalfWayPutsThePartsLookBack)
{
    sim::Document& doc = Assembly();
    sim::Part& bolt = velmar().AddPart("bolt");
    velmar().Faults().FailMember("bolt5.12", E_FAIL, 1);
    EXPECT_THROW(PhantomGuard(Doc5(doc), bolt.V5().As<IVel5Part>()), _com_error);
    EXPECT_EQ(bolt.V5().Long(38), 7);
    EXPECT_DOUBLE_EQ(bolt.ColorParam().Double(6), 1.0);

    journal().Clear();
    velmar().Faults().FailMember("bolt5.10", E_FAIL, 1);
    EXPECT_THROW(PhantomGuard(Doc5(doc), bolt.V5().As<IVel5Part>()), _com_error);
    EXPECT_EQ(bolt.V5().Long(38), 7);
    EXPECT_EQ(journal().Lines().back(), "bolt5.38=7");
}

TEST_F(HostGuards, DocumentStateGuardMakesTheOwnerCurrentAndPutsThePreviousBack)
{
    sim::Document& doc = Assembly();
    auto previous = velmar().NewObject("previous");
    auto owner = velmar().NewObject("owner");
    previous->Supports(__uuidof(IVel5Object));
    owner->Supports(__uuidof(IVel5Object));
    sim::Entity& hole = velmar().AddEntity("hole", 25);
    hole.V5().Value(IVel5Entity::Owner) = _variant_t(owner->Primary());
    doc.V5().Value(IVel5Document3D::CurrentObject) = _variant_t(previous->Primary());
    {
        DocumentStateGuard guard(Doc5(doc), hole.V5().Ptr());
        EXPECT_EQ(sim::Object::From(V_DISPATCH(&doc.V5().Value(74))), owner.get());
    }
    EXPECT_EQ(sim::Object::From(V_DISPATCH(&doc.V5().Value(74))), previous.get());
    EXPECT_EQ(journal().Lines(), (Lines{"doc5.74", "hole5.14()", "doc5.73(owner)", "doc5.73(previous)"}));
}

TEST_F(HostGuards, DocumentStateGuardWhoseOwnerIsCurrentSwitchesNothing)
{
    sim::Document& doc = Assembly();
    auto owner = velmar().NewObject("owner");
    owner->Supports(__uuidof(IVel5Object));
    sim::Entity& hole = velmar().AddEntity("hole", 25);
    hole.V5().Value(IVel5Entity::Owner) = _variant_t(owner->Primary());
    doc.V5().Value(IVel5Document3D::CurrentObject) = _variant_t(owner->Primary());
    { DocumentStateGuard guard(Doc5(doc), hole.V5().Ptr()); }
    EXPECT_EQ(journal().Lines(), (Lines{"doc5.74", "hole5.14()"}));
}

TEST_F(HostGuards, DocumentStateGuardRestoresNothingWhenNothingWasCurrent)
{
    // Velmar may not accept "no current object": the owner stays current after the scope.
    sim::Document& doc = Assembly();
    auto owner = velmar().NewObject("owner");
    owner->Supports(__uuidof(IVel5Object));
    sim::Entity& hole = velmar().AddEntity("hole", 25);
    hole.V5().Value(IVel5Entity::Owner) = _variant_t(owner->Primary());
    { DocumentStateGuard guard(Doc5(doc), hole.V5().Ptr()); }
    EXPECT_EQ(journal().Lines(), (Lines{"doc5.74", "hole5.14()", "doc5.73(owner)"}));
}

TEST_F(HostGuards, DocumentStateGuardOfNoObjectMakesNoCall)
{
    sim::Document& doc = Assembly();
    { DocumentStateGuard guard(Doc5(doc), nullptr); }
    EXPECT_TRUE(journal().Lines().empty());
}

TEST_F(HostGuards, SpcCreateGuardSwitchesTheUpdateModeOffAndUpdatesOnBothEnds)
{
    sim::Document& doc = Assembly();
    {
        SpcCreateGuard guard(doc.SpcDescription().As<IVel7SpcDescription>());
        EXPECT_FALSE(doc.SpcDescription().Bool(34));
    }
    EXPECT_TRUE(doc.SpcDescription().Bool(34));
    EXPECT_EQ(journal().Lines(), (Lines{"spcDsc#34(&)", "spcDsc#35(0)", "spcDsc#19(&)", "spcDsc#35(-1)", "spcDsc#19(&)"}));
}

TEST_F(HostGuards, SpcCreateGuardIsInactiveWithoutDescriptionOrUpdateMode)
{
    sim::Document& doc = Assembly();
    { SpcCreateGuard guard(nullptr); }
    EXPECT_TRUE(journal().Lines().empty());

    doc.SpcDescription().Value(34) = _variant_t(VARIANT_FALSE, VT_I2);
    { SpcCreateGuard guard(doc.SpcDescription().As<IVel7SpcDescription>()); }
    EXPECT_EQ(journal().Lines(), (Lines{"spcDsc#34(&)"}));
}

TEST_F(HostGuards, ASpcCreateGuardFailingHalfWayPutsTheUpdateModeBack)
{
    sim::Document& doc = Assembly();
    velmar().Faults().FailMember("spcDsc#19", E_FAIL, 1);
    EXPECT_THROW(SpcCreateGuard(doc.SpcDescription().As<IVel7SpcDescription>()), _com_error);
    EXPECT_TRUE(doc.SpcDescription().Bool(34));
    EXPECT_EQ(journal().Lines().back(), "spcDsc#35(-1)");
}

TEST_F(HostGuards, FragmentInsertGuardOpensAndClosesATemporaryDocumentThroughTheApplication)
{
    {
        FragmentInsertGuard guard(velmar().App5().As<IVel5Application>());
        ASSERT_EQ(velmar().TemporaryDocuments().size(), 1u);
        EXPECT_EQ(sim::Object::From(guard.Document()), velmar().TemporaryDocuments()[0].get());
    }
    EXPECT_EQ(journal().Lines(), (Lines{"app5.4()", "app5.9(35)", "struct35.5=1", "struct35.4=3", "tempDoc.152(struct35)",
                                        "tempDoc.151()", "app5.16()"}));
    sim::Object& parameters = *velmar().Structures().at(0);
    EXPECT_EQ(V_VT(&parameters.Value(4)), VT_I2);
    EXPECT_EQ(V_VT(&parameters.Value(5)), VT_I2);
}

TEST_F(HostGuards, FragmentInsertGuardPassesItsKind)
{
    { FragmentInsertGuard guard(velmar().App5().As<IVel5Application>(), 7); }
    EXPECT_EQ(velmar().Structures().at(0)->Long(4), 7);
}

TEST_F(HostGuards, AFailingCloseOfTheTemporaryDocumentStillRefreshesTheApplication)
{
    TraceLog log(L"test", false);
    velmar().Faults().FailMember("tempDoc.151", E_FAIL);
    { FragmentInsertGuard guard(velmar().App5().As<IVel5Application>()); }
    EXPECT_EQ(journal().Lines().back(), "app5.16()");
    EXPECT_NE(log.Text().find(L"~FragmentInsertGuard"), std::wstring::npos);
}

TEST_F(HostGuards, CurrentObjectSpcAndFragmentGuardsRestoreWhenAnExceptionLeavesTheirScope)
{
    sim::Document& doc = Assembly();
    auto previous = velmar().NewObject("previous");
    auto owner = velmar().NewObject("owner");
    previous->Supports(__uuidof(IVel5Object));
    owner->Supports(__uuidof(IVel5Object));
    sim::Entity& hole = velmar().AddEntity("hole", 25);
    hole.V5().Value(IVel5Entity::Owner) = _variant_t(owner->Primary());
    doc.V5().Value(IVel5Document3D::CurrentObject) = _variant_t(previous->Primary());
    try {
        DocumentStateGuard state(Doc5(doc), hole.V5().Ptr());
        SpcCreateGuard spc(doc.SpcDescription().As<IVel7SpcDescription>());
        FragmentInsertGuard fragment(velmar().App5().As<IVel5Application>());
        journal().Clear();
        throw std::runtime_error("the insertion failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(journal().Lines(),
              (Lines{"tempDoc.151()", "app5.16()", "spcDsc#35(-1)", "spcDsc#19(&)", "doc5.73(previous)"}));
    EXPECT_EQ(sim::Object::From(V_DISPATCH(&doc.V5().Value(74))), previous.get());
    EXPECT_TRUE(doc.SpcDescription().Bool(34));
}
