// The host object base: what construction asks of Velmar, the own preset from part data, and the
// deletion of the part's existing specification objects.
#include "objects/nm_vel_obj.h"

#include "spc_stand_in.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace spc_test;
using testing::HasSubstr;
using testing::Not;

namespace {

class VelObjBase : public SpcStandIn {};

std::wstring LoadFailure(NMVelObj& part, std::vector<response_xml::Attr> vars)
{
    try {
        LoadPart(part, std::move(vars));
    } catch (const std::wstring& text) {
        return text;
    }
    return L"(nothing thrown)";
}

} // namespace

TEST_F(VelObjBase, ConstructionTakesVelmarsMainWindowAndVersionOnce)
{
    Open({15, 0, 0, 77});
    TestVelObj part(velmar().App5().As<IVel5Application>(), velmar().App7().As<IVel7Application>(), nullptr, false, true);
    EXPECT_EQ(part.OwnerWindow(), velmar().MainWindow());
    EXPECT_EQ(part.HostVersion, 1500u);
    EXPECT_EQ(journal().Lines(), (Lines{"app5.21()", "app5.50(&,&,&,&)"}));
    EXPECT_TRUE(part.IsNMObject);
    EXPECT_FALSE(part.IsSpecActive);
    EXPECT_TRUE(part.Is3DSpec);
    EXPECT_EQ(part.NM_LibName, L"Нормсет");
    EXPECT_EQ(part.NM_Type, L"Стандартное изделие");
    EXPECT_FALSE(part.NM_LibFileName.empty());
    EXPECT_FALSE(part.HasSpcData());
    EXPECT_THAT(log_.Text(), HasSubstr(L"NM_Type=\"Стандартное изделие\""));
}

TEST_F(VelObjBase, ConstructionWithoutAnApplicationRaisesENoPointer)
{
    Open();
    try {
        TestVelObj part(nullptr, velmar().App7().As<IVel7Application>(), nullptr, true, false);
        FAIL() << "no failure";
    } catch (const _com_error& error) {
        EXPECT_EQ(error.Error(), E_POINTER);
    }
}

TEST_F(VelObjBase, APartThatNamesASectionOwnsAPresetFromItsVariables)
{
    Open();
    auto vars = BoltVariables();
    vars[0].value = L"30";
    vars[4].value = L"2";
    auto part = MakePart(vars);
    ASSERT_TRUE(part->HasSpcData());
    EXPECT_EQ(part->OwnPreset->SectionNum, 30);
    EXPECT_EQ(part->OwnPreset->AdditionalBlockNum, 2);
    EXPECT_EQ(part->OwnPreset->Columns, L"5.1=Designation,VELMAR_SPEC_PATTERN");
}

TEST_F(VelObjBase, APartWithoutASectionHasNoSpecificationDataAndCannotCreateObjects)
{
    Open();
    auto part = MakePart({});
    EXPECT_FALSE(part->HasSpcData());
    EXPECT_FALSE(part->IsCanCreateSpcObj());
}

TEST_F(VelObjBase, ASecondLoadKeepsTheFirstOwnPreset)
{
    Open();
    auto part = MakePart();
    const NMSpcPreset* first = part->OwnPreset.get();
    auto other = BoltVariables();
    other[0].value = L"40";
    LoadPart(*part, other);
    EXPECT_EQ(part->OwnPreset.get(), first);
    EXPECT_EQ(part->OwnPreset->SectionNum, 25);
}

TEST_F(VelObjBase, ASectionWithoutItsColumnsFailsTheLoad)
{
    Open();
    TestVelObj part(velmar().App5().As<IVel5Application>(), velmar().App7().As<IVel7Application>(), nullptr, true, false);
    auto vars = BoltVariables();
    vars.pop_back();
    EXPECT_EQ(LoadFailure(part, vars), L"No variable with name \"spcColumns\"");
    EXPECT_FALSE(part.HasSpcData());
}

TEST_F(VelObjBase, CreatingNeedsTheOwnPresetAndTheSetting)
{
    Open();
    auto part = MakePart();
    EXPECT_TRUE(part->IsCanCreateSpcObj());
    settings.CreateSpcObject = false;
    EXPECT_FALSE(part->IsCanCreateSpcObj());
    settings.CreateSpcObject = true;
    part->Settings = nullptr;
    EXPECT_FALSE(part->IsCanCreateSpcObj());
}

TEST_F(VelObjBase, BeginBatchSwitchesToBatchModeAndForgetsTheAnswerAndTheMessage)
{
    Open();
    auto part = MakePart();
    part->MoveAnswer = NMVelObj::KeepPlace;
    part->SpcErrorShown = true;
    part->BeginBatch();
    EXPECT_EQ(part->MessageMode, 1u);
    EXPECT_EQ(part->MoveAnswer, NMVelObj::MoveNotAsked);
    EXPECT_FALSE(part->SpcErrorShown);
}

TEST_F(VelObjBase, RemovingNoObjectsCallsNothingAndTracesNoCount)
{
    Open();
    auto part = MakePart();
    journal().Clear();
    part->RemoveExistsSpcObjects();
    EXPECT_TRUE(journal().Lines().empty());
    EXPECT_THAT(log_.Text(), Not(HasSubstr(L"ExSpcObjs.size()")));
}

TEST_F(VelObjBase, EachObjectIsUnlinkedUpdatedAndDeletedInTurn)
{
    Open();
    sim::SpcObject& first = Spc().AddObject(25);
    sim::SpcObject& second = Spc().AddObject(25);
    first.geometry = {"bolt7"};
    auto part = MakePart();
    part->existing = {&first, &second};
    part->GetExistsSpcObjects(Context());
    journal().Clear();

    part->RemoveExistsSpcObjects();
    EXPECT_EQ(journal().Lines(), (Lines{"spcObj1#48(&)", "spcObj1#51(-1,-1,&)", "spcObj1#33(&)", "spcObj1#34()", "spcObj2#48(&)",
                                        "spcObj2#51(-1,-1,&)", "spcObj2#33(&)", "spcObj2#34()"}));
    EXPECT_TRUE(part->ExSpcObjs.empty());
    EXPECT_TRUE(Spc().Objects().empty());
    EXPECT_TRUE(first.geometry.empty());
    EXPECT_THAT(log_.Text(), HasSubstr(L"ExSpcObjs.size()=2"));
}

TEST_F(VelObjBase, AFailedDeletionLeavesOnlyTheObjectsNotDeletedListed)
{
    Open();
    sim::SpcObject& first = Spc().AddObject(25);
    sim::SpcObject& second = Spc().AddObject(25);
    const sim::ObjectRef bolt = velmar().NewObject("bolt7");
    second.Link(*bolt);
    auto part = MakePart();
    part->existing = {&first, &second};
    part->GetExistsSpcObjects(Context());
    velmar().Faults().FailMember("spcObj2#34", E_FAIL, 1);

    EXPECT_THROW(part->RemoveExistsSpcObjects(), _com_error);
    ASSERT_EQ(part->ExSpcObjs.size(), 1u);
    EXPECT_EQ(Spc().Find(part->ExSpcObjs[0]), &second);
    EXPECT_EQ(Spc().Objects(), (std::vector<sim::SpcObject*>{&second}));
    EXPECT_EQ(second.geometry, Lines{"bolt7"}) << "the one not deleted holds what it held";

    // A later call deletes only what is left, never the first one again.
    journal().Clear();
    part->RemoveExistsSpcObjects();
    EXPECT_EQ(CountContaining("spcObj1"), 0u);
    EXPECT_TRUE(Spc().Objects().empty());
}

TEST_F(VelObjBase, AListedObjectThatIsNoSpecificationObjectRaisesENoPointer)
{
    Open();
    sim::SpcObject& first = Spc().AddObject(25);
    auto stranger = velmar().NewObject("stranger");
    stranger->Face<IVel7Part>();
    auto part = MakePart();
    part->ExSpcObjs.assign({first.Obj().Ptr(), stranger->Ptr()});
    try {
        part->RemoveExistsSpcObjects();
        FAIL() << "no failure";
    } catch (const _com_error& error) {
        EXPECT_EQ(error.Error(), E_POINTER);
    }
    EXPECT_TRUE(first.deleted);
    ASSERT_EQ(part->ExSpcObjs.size(), 1u);
    EXPECT_EQ(sim::Object::From(part->ExSpcObjs[0]), stranger.get());
}

TEST_F(VelObjBase, TheFirstSpecificationObjectIsNullForAnEmptyListOrAStranger)
{
    Open();
    auto part = MakePart();
    journal().Clear();
    EXPECT_EQ(part->GetFirstSpcObject(), nullptr);
    EXPECT_TRUE(journal().Lines().empty());

    auto stranger = velmar().NewObject("stranger");
    stranger->Face<IVel7Part>();
    part->ExSpcObjs.assign({stranger->Ptr()});
    EXPECT_EQ(part->GetFirstSpcObject(), nullptr);

    sim::SpcObject& object = Spc().AddObject(25);
    part->ExSpcObjs.assign({object.Obj().Ptr(), stranger->Ptr()});
    EXPECT_EQ(Spc().Find(part->GetFirstSpcObject()), &object);
}
