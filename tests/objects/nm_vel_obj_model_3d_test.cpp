// Components placed in an assembly keep the part's identity in a user-parameter block and are
// recognised again from it; blocks of older versions and of other libraries.
#include "objects/nm_vel_obj_model_3d.h"

#include "objects/elem_3d_stand_in.h"

#include <gtest/gtest.h>

namespace {

class Model3D : public elem3d_test::Elem3DStandIn {
protected:
    void SetUp() override
    {
        Open();
        component_ = &velmar().AddPart("comp");
    }
    std::unique_ptr<NMVelObjModel3D> Read()
    {
        return std::make_unique<NMVelObjModel3D>(App5(), App7(), nullptr, component_->V5().As<IVel5Part>(), false);
    }
    void Save()
    {
        NMVelObjModel3D model(App5(), App7(), nullptr, nullptr, false);
        model.iPrt5 = component_->V5().As<IVel5Part>();
        model.NM_ID = L"PART:BOLT[M8]";
        model.NM_Name = L"Болт М8х40";
        model.NM_Body = L"bolt.m3d";
        model.NM_QuarvendID = L"Q-8";
        model.NM_Type = L"Крепёж";
        model.Save();
    }
    sim::Part* component_ = nullptr;
};

} // namespace

TEST_F(Model3D, ASavedIdentityIsReadBackAsAStandardPart)
{
    Save();
    EXPECT_TRUE(component_->V5().Bool(IVel5Part::UserParamSet));
    const auto& block = velmar().UserParams().BlockOf(*component_);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->items.size(), 14u);
    EXPECT_EQ(block->items.at(3).narrow, L"");
    auto model = Read();
    EXPECT_TRUE(model->IsNMObject);
    EXPECT_EQ(model->state, NMObject::StateEdit);
    EXPECT_EQ(model->NM_ID, L"PART:BOLT[M8]");
    EXPECT_EQ(model->NM_Name, L"Болт М8х40");
    EXPECT_EQ(model->NM_Body, L"bolt.m3d");
    EXPECT_EQ(model->NM_QuarvendID, L"Q-8");
    EXPECT_EQ(model->NM_Type, L"Стандартное изделие");
    EXPECT_EQ(sim::Object::From(model->iPrt7), &component_->V7());
}

TEST_F(Model3D, AnOlderNineItemBlockIsReadFromItsEightBitItemsWithoutAskingPastItsEnd)
{
    sim::UserParamBlock older{L"C:\\lib\\normset.dll", L"Нормсет", 1, {}};
    for (const wchar_t* text : {L"Q-8", L"Q-8", L"Q-8", L"", L"PART:NUT[M8]", L"Гайка М8", L"nut.m3d", L"x", L"Q-8"})
        older.items.push_back({text, L""});
    velmar().UserParams().BlockOf(*component_) = older;
    auto model = Read();
    EXPECT_TRUE(model->IsNMObject);
    EXPECT_EQ(model->NM_ID, L"PART:NUT[M8]");
    EXPECT_EQ(model->NM_Name, L"Гайка М8");
    EXPECT_EQ(model->NM_QuarvendID, L"Q-8");
    for (const std::string& line : journal().Lines())
        EXPECT_EQ(line.find("valueArray.8(9"), std::string::npos) << line;
}

TEST_F(Model3D, AnotherLibrarysBlockOrNoneLeavesThePartUnrecognisedAndItsIdentityAlone)
{
    auto none = Read();
    EXPECT_FALSE(none->IsNMObject);
    velmar().UserParams().BlockOf(*component_) = sim::UserParamBlock{L"other.dll", L"Другая", 1, {{L"", L"PART:X"}}};
    NMVelObjModel3D model(App5(), App7(), nullptr, nullptr, false);
    model.NM_ID = L"kept";
    model.iPrt5 = component_->V5().As<IVel5Part>();
    model.Load();
    EXPECT_FALSE(model.IsNMObject);
    EXPECT_EQ(model.NM_ID, L"kept");
    EXPECT_EQ(model.NM_LibName, L"Нормсет");
}

TEST_F(Model3D, APartThatRefusesTheBlockIsAnInternalError)
{
    velmar().UserParams().RefuseAttach(*component_, true);
    try {
        Save();
        ADD_FAILURE() << "no failure";
    } catch (const std::wstring& message) {
        EXPECT_EQ(message, L"Can't set user param");
    }
    EXPECT_FALSE(component_->V5().Bool(IVel5Part::UserParamSet));
}

TEST_F(Model3D, ANewFileNameIsSetAndThePartUpdated)
{
    auto model = Read();
    journal().Clear();
    model->SetFileName(L"D:\\models\\bolt.m3d");
    EXPECT_EQ(journal().Lines(), (std::vector<std::string>{"comp5.6=\"D:\\models\\bolt.m3d\"", "comp5.12()"}));
    model->iPrt5 = nullptr;
    EXPECT_EQ(sim::CaughtHostError([&] { model->SetFileName(L"x"); }).Error(), E_POINTER);
}
