// Component properties of an inserted part: its identity, its attributes and, in 2D, its name and mass.
#include "objects/comp_properties.h"

#include "core/scratch_folder.h"
#include "spc_stand_in.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using namespace spc_test;
using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;

namespace {

const double kMaterial = 174963986747.0;
const double kCoating = 302406992401.0;
const double kCode = 173984476184.0;

class ComponentProperties : public SpcStandIn {
protected:
    // The document knows properties 5, 8 and the material; the library knows the coating and the code.
    void SetUpProperties(bool libraryFile = true)
    {
        Open();
        velmar().SetSystemFolder(folder_.Path().substr(0, folder_.Path().size() - 1));
        if (libraryFile) {
            ASSERT_TRUE(WriteFileBytes(folder_ / L"properties.lpt", "properties"));
        }
        sim::PropertyModel& props = velmar().Properties();
        props.AddDocumentProperty(5, L"Обозначение");
        props.AddDocumentProperty(8, L"Масса");
        props.AddDocumentProperty(kMaterial, L"Материал");
        props.AddLibraryProperty(kCoating, L"Покрытие");
        props.AddLibraryProperty(kCode, L"Код");
        component_ = velmar().NewObject("component7");
        component_->Face<IVel7Part>();
        keeper_ = &props.MakeKeeper(*component_);
    }

    std::unique_ptr<CompProperties3D> Writer()
    {
        return std::make_unique<CompProperties3D>(velmar().App5().As<IVel5Application>(), velmar().App7().As<IVel7Application>(),
                                                  component_->Ptr());
    }

    static std::wstring Attrs(std::vector<std::wstring> pieces)
    {
        std::wstring text;
        for (size_t i = 0; i < pieces.size(); ++i)
            text += (i ? std::wstring(1, L"\x01\x07\x0D"[i % 3]) : L"") + pieces[i];
        return text;
    }

    void TearDown() override
    {
        component_ = {};
        SpcStandIn::TearDown();
    }

    ScratchFolder folder_;
    sim::ObjectRef component_;
    sim::PropertyKeeper* keeper_ = nullptr;
};

} // namespace

TEST_F(ComponentProperties, IdentityAndAttributesAreWrittenToTheComponent)
{
    SetUpProperties();
    Writer()->Save(Attrs({L"Материал", L"-", L"Сталь 45", L"Покрытие", L"-", L"Цинк"}), L"Q-17");
    EXPECT_EQ(keeper_->entries, (Pairs{{L"ID Normset", L"Q-17"}}));
    EXPECT_EQ(keeper_->writes, (Pairs{{L"Материал", L"Сталь 45"}, {L"Покрытие", L"Цинк"}}));
    // The library's coating became a document property before its value was written.
    ASSERT_NE(velmar().Properties().DocumentProperty(L"Покрытие"), nullptr);
    EXPECT_EQ(velmar().Properties().DocumentProperty(L"Покрытие")->id, kCoating);
    EXPECT_EQ(keeper_->Text(L"Покрытие"), L"Цинк");
}

TEST_F(ComponentProperties, AnExistingIdentityIsReplaced)
{
    SetUpProperties();
    keeper_->entries = {{L"Other", L"x"}, {L"ID Normset", L"old"}};
    Writer()->Save(Attrs({L"Материал", L"-", L"Сталь"}), L"Q-17");
    EXPECT_EQ(keeper_->entries, (Pairs{{L"Other", L"x"}, {L"ID Normset", L"Q-17"}}));
}

TEST_F(ComponentProperties, EmptyAttributesWriteNothingNotEvenTheIdentity)
{
    SetUpProperties();
    Writer()->Save(L"", L"Q-17");
    EXPECT_TRUE(keeper_->entries.empty());
    EXPECT_TRUE(keeper_->writes.empty());
}

TEST_F(ComponentProperties, AnEmptyIdentitySkipsOnlyTheIdentity)
{
    SetUpProperties();
    Writer()->Save(Attrs({L"Материал", L"-", L"Сталь"}), L"");
    EXPECT_TRUE(keeper_->entries.empty());
    EXPECT_EQ(keeper_->writes, (Pairs{{L"Материал", L"Сталь"}}));
}

TEST_F(ComponentProperties, WithoutThePropertyLibraryNothingIsWritten)
{
    SetUpProperties(false);
    journal().Clear();
    Writer()->Save(Attrs({L"Материал", L"-", L"Сталь"}), L"Q-17");
    EXPECT_TRUE(keeper_->entries.empty());
    EXPECT_TRUE(keeper_->writes.empty());
    // The library is not even asked for its properties.
    EXPECT_EQ(journal().Count("app7#9(\"\",&)"), 1u);
    EXPECT_EQ(journal().Lines().size(), 2u);
}

TEST_F(ComponentProperties, PiecesAfterTheLastWholeGroupAreIgnored)
{
    SetUpProperties();
    Writer()->Save(Attrs({L"Материал", L"-", L"Сталь", L"Код"}), L"");
    EXPECT_EQ(keeper_->writes, (Pairs{{L"Материал", L"Сталь"}}));
    EXPECT_EQ(velmar().Properties().DocumentProperty(L"Код"), nullptr);
}

TEST_F(ComponentProperties, AnUnknownNameBecomesANewDocumentPropertyOnce)
{
    SetUpProperties();
    Writer()->Save(Attrs({L"Твёрдость", L"-", L"HRC 40", L"Твёрдость", L"-", L"HRC 45"}), L"");
    const sim::ComponentProperty* made = velmar().Properties().DocumentProperty(L"Твёрдость");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->setting14, 3);
    EXPECT_EQ(made->setting20, 0);
    EXPECT_EQ(made->setting34, 0);
    EXPECT_EQ(made->commits, 1);
    EXPECT_EQ(velmar().Properties().DocumentProperties().size(), 4u);
    EXPECT_EQ(keeper_->Text(L"Твёрдость"), L"HRC 45");
}

TEST_F(ComponentProperties, ALibraryPropertyIsAddedToTheDocumentOnce)
{
    SetUpProperties();
    Writer()->Save(Attrs({L"Код", L"-", L"1", L"Код", L"-", L"2"}), L"");
    EXPECT_EQ(journal().Count("app7#10(libProp5,&)"), 1u);
    EXPECT_EQ(velmar().Properties().DocumentProperties().size(), 4u);
    EXPECT_EQ(keeper_->Text(L"Код"), L"2");
}

TEST_F(ComponentProperties, NamesAreComparedExactly)
{
    SetUpProperties();
    Writer()->Save(Attrs({L"материал", L"-", L"Сталь"}), L"");
    // Not the material property: a new property of that exact name.
    ASSERT_NE(velmar().Properties().DocumentProperty(L"материал"), nullptr);
    EXPECT_EQ(keeper_->Text(L"Материал"), L"");
    EXPECT_EQ(keeper_->Text(L"материал"), L"Сталь");
}

TEST_F(ComponentProperties, AComponentWithoutAKeeperGetsNothing)
{
    SetUpProperties();
    auto plain = velmar().NewObject("plain7");
    plain->Face<IVel7Part>();
    CompProperties3D writer(velmar().App5().As<IVel5Application>(), velmar().App7().As<IVel7Application>(), plain->Ptr());
    journal().Clear();
    writer.Save(Attrs({L"Материал", L"-", L"Сталь"}), L"Q");
    EXPECT_TRUE(journal().Lines().empty());
}

TEST_F(ComponentProperties, WithoutTheVersion7ApplicationConstructionRaisesENoPointer)
{
    SetUpProperties();
    try {
        CompProperties3D writer(velmar().App5().As<IVel5Application>(), nullptr, component_->Ptr());
        FAIL() << "no failure";
    } catch (const _com_error& error) {
        EXPECT_EQ(error.Error(), E_POINTER);
    }
}

TEST_F(ComponentProperties, A2DPartAlsoGetsItsNameAndMass)
{
    SetUpProperties();
    auto part = MakePart({{L"MACC", L"12,5"}});
    CompProperties2D writer(velmar().App5().As<IVel5Application>(), velmar().App7().As<IVel7Application>(), component_->Ptr(),
                            part.get());
    writer.Save(Attrs({L"Материал", L"-", L"Сталь"}), L"Q-17");
    EXPECT_EQ(keeper_->Text(L"Обозначение"), L"Болт М8х40");
    const _variant_t mass = keeper_->Value(L"Масса");
    EXPECT_EQ(V_VT(&mass), VT_R8);
    EXPECT_DOUBLE_EQ(static_cast<double>(mass), 12.5);
    EXPECT_EQ(keeper_->Text(L"Материал"), L"Сталь");
    EXPECT_EQ(keeper_->entries, (Pairs{{L"ID Normset", L"Q-17"}}));
}

TEST_F(ComponentProperties, A2DPartWithoutAMassWritesNone)
{
    for (const wchar_t* macc : {L"NULL_VALUE", L"  "}) {
        SetUpProperties();
        auto part = MakePart({{L"MACC", macc}});
        CompProperties2D writer(velmar().App5().As<IVel5Application>(), velmar().App7().As<IVel7Application>(),
                                component_->Ptr(), part.get());
        writer.Save(Attrs({L"Материал", L"-", L"Сталь"}), L"");
        const _variant_t mass = keeper_->Value(L"Масса");
        EXPECT_EQ(V_VT(&mass), VT_EMPTY);
        EXPECT_EQ(keeper_->Text(L"Материал"), L"Сталь");
    }
    SetUpProperties();
    auto part = MakePart({});
    CompProperties2D writer(velmar().App5().As<IVel5Application>(), velmar().App7().As<IVel7Application>(), component_->Ptr(),
                            part.get());
    writer.Save(Attrs({L"Материал", L"-", L"Сталь"}), L"");
    EXPECT_EQ(keeper_->writes, (Pairs{{L"Обозначение", L"Болт М8х40"}, {L"Материал", L"Сталь"}}));
}

// No number, below zero, or infinite once scaled to kilograms as a 3D part's mass is: left out, the rest
// written. A mass of zero is one a part can have, and is written as zero whatever its sign.
TEST_F(ComponentProperties, A2DMassNoPartCanHaveIsLeftOutAndTheRestWritten)
{
    struct Row {
        const wchar_t* macc;
        std::optional<double> written;
    };
    for (const Row& row : {Row{L"около 12", std::nullopt}, Row{L"-0,0412", std::nullopt}, Row{L"5e306", std::nullopt}, Row{L"0", 0.0},
                           Row{L"-0", 0.0}}) {
        SetUpProperties();
        auto part = MakePart({{L"MACC", row.macc}});
        CompProperties2D writer(velmar().App5().As<IVel5Application>(), velmar().App7().As<IVel7Application>(),
                                component_->Ptr(), part.get());
        EXPECT_NO_THROW(writer.Save(Attrs({L"Материал", L"-", L"Сталь"}), L"Q-17"));
        const _variant_t mass = keeper_->Value(L"Масса");
        if (row.written) {
            ASSERT_EQ(V_VT(&mass), VT_R8) << sim::Utf8(row.macc);
            EXPECT_EQ(V_R8(&mass), *row.written) << sim::Utf8(row.macc);
            EXPECT_FALSE(std::signbit(V_R8(&mass))) << sim::Utf8(row.macc);
        } else {
            EXPECT_EQ(V_VT(&mass), VT_EMPTY) << sim::Utf8(row.macc);
        }
        EXPECT_EQ(keeper_->Text(L"Обозначение"), L"Болт М8х40");
        EXPECT_EQ(keeper_->Text(L"Материал"), L"Сталь");
        EXPECT_EQ(keeper_->entries, (Pairs{{L"ID Normset", L"Q-17"}}));
    }
}

TEST_F(ComponentProperties, A2DPartWithEmptyAttributesGetsNothing)
{
    SetUpProperties();
    auto part = MakePart({{L"MACC", L"12"}});
    CompProperties2D writer(velmar().App5().As<IVel5Application>(), velmar().App7().As<IVel7Application>(), component_->Ptr(),
                            part.get());
    writer.Save(L"", L"Q-17");
    EXPECT_TRUE(keeper_->writes.empty());
    EXPECT_TRUE(keeper_->entries.empty());
}
