// Constructive elements and fastener sets in a part: the block of named values they keep on the macro
// element, read back by both readers at both store locations; unique names; a failed part script.
#include "objects/nm_vel_obj_elem_3d.h"

#include "core/display_name.h"
#include "core/vbscript_host.h"
#include "objects/elem_3d_stand_in.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

class Elem3D : public elem3d_test::Elem3DStandIn {
protected:
    // An element about to be saved: position mode 2 with a bore, two planes and numbers, the identity.
    std::unique_ptr<NMVelObjElem3D> NewElement(sim::GeoEntity& macro, bool isTCS)
    {
        auto element = std::make_unique<NMVelObjElem3D>(App5(), App7(), nullptr, nullptr, isTCS, false);
        element->iMacro = macro.Entity();
        element->iMacroDef = macro.Definition().As<IVel5MacroDefinition>();
        element->elem_pos = NMElemPos::Create(App5(), App7(), 2);
        ElemPos& item = element->elem_pos->CurrentItem();
        item.iCylFace = geometry_->AddEntity("bore", 1, top_).V5().Ptr();
        item.X = 12.5;
        item.A = -1;
        item.SubMode = L"По вершине";
        element->elem_pos->iStartPlane = geometry_->AddEntity("start", 1, top_).V5().Ptr();
        element->elem_pos->tcsH = 30;
        element->NM_ID = L"PART:HOLE[M8]";
        element->NM_Name = L"Отверстие М8";
        element->NM_QuarvendID = L"Q-17";
        element->NM_Body = L"hole.vbs";
        return element;
    }
    std::string NameOf(IUnknown* object)
    {
        sim::Object* standIn = sim::Object::From(object);
        return standIn ? standIn->Name() : "null";
    }
};

} // namespace

TEST_F(Elem3D, ABlockWrittenAtAHostVersionIsReadBackFromTheSameStore)
{
    struct Row {
        sim::HostVersion version;
        bool inTopPart;
    };
    for (const Row& row : {Row{{14, 0, 0, 0}, false}, Row{{14, 0, 1, 0}, true}}) {
        Open(row.version);
        sim::GeoEntity& macro = AddElement("hole");
        NewElement(macro, true)->Save();
        SCOPED_TRACE(row.inTopPart ? "14.0.1" : "14.0.0");
        EXPECT_EQ(top_->Store().Entries(), row.inTopPart ? 1u : 0u);
        EXPECT_EQ(document_->Store().Entries(), row.inTopPart ? 0u : 1u);
        sim::Object& record = *sim::Object::From(V_DISPATCH(&macro.Definition().Value(IVel5MacroDefinition::SetUserParam)));
        EXPECT_EQ(record.Text(IVel5UserParam::LibName), L"Нормсет");
        EXPECT_EQ(record.Long(IVel5UserParam::Flag), 1);

        NMVelObjElem3D read(App5(), App7(), nullptr, macro.Entity(), false, false);
        EXPECT_TRUE(read.IsNMObject);
        EXPECT_TRUE(read.IsTCS);
        EXPECT_FALSE(read.IsElement);
        EXPECT_EQ(read.state, NMObject::StateReplace);
        EXPECT_EQ(read.NM_ID, L"PART:HOLE[M8]");
        EXPECT_EQ(read.NM_Name, L"Отверстие М8");
        EXPECT_EQ(read.NM_QuarvendID, L"Q-17");
        EXPECT_EQ(read.NM_Body, L"hole.vbs");
        EXPECT_EQ(read.NM_Type, L"Стандартное изделие");
        ASSERT_TRUE(read.elem_pos);
        EXPECT_EQ(read.elem_pos->PosMode, 2);
        EXPECT_EQ(read.elem_pos->tcsH, 30);
        const ElemPos& item = read.elem_pos->CurrentItem();
        EXPECT_EQ(NameOf(item.iCylFace), "bore5");
        EXPECT_EQ(NameOf(read.elem_pos->iStartPlane), "start5");
        EXPECT_EQ(item.iEdge1, nullptr);   // a null reference round-trips as null
        EXPECT_EQ(item.X, 12.5);
        EXPECT_EQ(item.A, -1);
        EXPECT_EQ(item.SubMode, _bstr_t(L"По вершине"));
    }
}

TEST_F(Elem3D, ABlockOfAnElementHasNoSetValuesAndItsFlagsFollowIdentityAndMode)
{
    Open();
    sim::GeoEntity& macro = AddElement("hole");
    NewElement(macro, false)->Save();
    sim::DataStore::Section& values = *top_->Store().SectionNamed("holeDef7", L"Нормсет");
    EXPECT_EQ(values.count(L"tkrH"), 0u);
    EXPECT_EQ(V_VT(&values.at(L"ElName")), VT_BSTR);
    EXPECT_EQ(SysStringLen(V_BSTR(&values.at(L"ElName"))), 0u);
    EXPECT_EQ(V_VT(&values.at(L"Code")), VT_I4);
    EXPECT_EQ(V_VT(&values.at(L"Edge1")), VT_DISPATCH);

    struct Row {
        const wchar_t* name;
        _variant_t value;
        bool recognised;
        bool set = false;   // the block says it is a fastener set's
    };
    const Row rows[] = {
        {L"X", _variant_t(L"12.5"), true},         // another type reads as the default
        {L"NMUID", _variant_t(L""), false},        // no identity: not a library element
        {L"Code", _variant_t(L"2"), false},        // no mode
        {L"NMUID", _variant_t(L""), false, true},  // nor a set
    };
    for (const Row& row : rows) {
        const _variant_t kept = values.at(row.name);
        values[row.name] = row.value;
        values[L"IsTKR"] = _variant_t(row.set ? 1L : 0L);
        NMVelObjElem3D read(App5(), App7(), nullptr, macro.Entity(), false, false);
        EXPECT_EQ(read.IsNMObject, row.recognised) << row.name;
        EXPECT_EQ(read.IsElement, row.recognised) << row.name;
        EXPECT_FALSE(read.IsTCS) << row.name;
        EXPECT_EQ(read.NM_Name, L"Отверстие М8") << row.name;
        EXPECT_EQ(read.elem_pos->CurrentItem().X, row.value.vt == VT_BSTR && std::wstring(row.name) == L"X" ? 0.0 : 12.5);
        EXPECT_EQ(read.elem_pos->tcsH, 0) << "set values of an element are not read";
        values[row.name] = kept;
    }
}

TEST_F(Elem3D, RecognitionReadsIdentityModeAndFlagsOnly)
{
    Open();
    sim::GeoEntity& macro = AddElement("hole");
    NewElement(macro, true)->Save();
    journal().Clear();
    NMVelObjElem3D found(App5(), App7(), macro.Entity());
    EXPECT_TRUE(found.IsNMObject);
    EXPECT_TRUE(found.IsTCS);
    EXPECT_EQ(found.elem_pos->CurrentItem().SubMode, _bstr_t(L"По вершине"));
    EXPECT_EQ(found.elem_pos->CurrentItem().iCylFace, nullptr);
    Lines read;
    for (const sim::Call& call : journal().Calls())
        if (call.object == "topStoreSection")
            read.push_back(call.args.at(0));
    EXPECT_EQ(read, (Lines{"\"Code\"", "\"SelTypeN\"", "\"Name\"", "\"UID\"", "\"NMUID\"", "\"Body\"", "\"Type\"", "\"IsTKR\""}));
    EXPECT_EQ(sim::CaughtHostError([&] { NMVelObjElem3D(App5(), App7(), nullptr); }).Error(), E_POINTER);
}

TEST_F(Elem3D, AnElementWithoutABlockIsNotALibraryElementAndANewOneIsAnElementUnlessASet)
{
    Open();
    sim::GeoEntity& macro = AddElement("hole");
    NMVelObjElem3D plain(App5(), App7(), nullptr, macro.Entity(), false, false);
    EXPECT_FALSE(plain.IsNMObject);
    EXPECT_EQ(plain.elem_pos, nullptr);
    EXPECT_TRUE(NMVelObjElem3D(App5(), App7(), nullptr, nullptr, false, false).IsElement);
    EXPECT_FALSE(NMVelObjElem3D(App5(), App7(), nullptr, nullptr, true, false).IsElement);
}

TEST_F(Elem3D, UniqueNamesCountEveryElementOfThePartItsOwnIncluded)
{
    struct Row {
        std::vector<std::string> others;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {{}, L"B (1)"},                 // the element's own name is B
        {{"B (1)"}, L"B (2)"},
        {{"C"}, L"B (1)"},
    };
    for (const Row& row : rows) {
        Open();
        sim::GeoEntity& own = AddElement("B");
        for (const std::string& name : row.others)
            AddElement(name);
        {
            NMVelObjElem3D element(App5(), App7(), nullptr, nullptr, false, false);
            element.SetUniqueName(own.Entity(), L"B");
        }
        EXPECT_EQ(own.V5().Text(IVel5Entity::Name), row.expected);
        EXPECT_EQ(journal().Count("B5.10()"), 1u);
    }
    Open();
    sim::GeoEntity& fresh = AddElement("A");
    NMVelObjElem3D element(App5(), App7(), nullptr, nullptr, false, false);
    element.SetUniqueName(fresh.Entity(), L"B");
    EXPECT_EQ(fresh.V5().Text(IVel5Entity::Name), L"B");
}

namespace {

class FailingScript : public NMVelObjElem3D {
public:
    using NMVelObjElem3D::NMVelObjElem3D;
    void Insert() override { throw VBScriptError(L"Line 3: Type mismatch"); }
};

} // namespace

TEST_F(Elem3D, AFailedScriptIsUndoneAndWarnedAboutOnceAndApplyGoesOn)
{
    Open();
    SetLibraryDisplayName(L"Нормсет");
    FailingScript element(App5(), App7(), nullptr, nullptr, false, false);
    element.state = NMObject::StateInsert;
    journal().Clear();
    EXPECT_EQ(element.Apply(), NMObject::StateInsert);
    EXPECT_EQ(journal().Lines(), (Lines{"app5.109(57643,false)", "app7#34(\"Не удалось построить конструктивный элемент.\r\n"
                                        "Проверьте правильность позиционирования.\",\"Нормсет\",48,&)"}));
    EXPECT_EQ(velmar().User().Questions().size(), 1u);
    EXPECT_NE(log_.Text().find(L"iVObj->vlExecuteVelmarCommand(vlCMEditUndo, VARIANT_FALSE)=-1"), std::wstring::npos);
    SetLibraryDisplayName(L"");
}

TEST_F(Elem3D, OnlyAnEditedObjectMayReuseItsSpecificationObject)
{
    Open();
    NMVelObjElem3D element(App5(), App7(), nullptr, nullptr, false, false);
    element.state = NMObject::StateInsert;
    SpcDocContext context;
    // The base would look at the listed objects first; in the insert state nothing is asked.
    element.ExSpcObjs.push_back(nullptr);
    journal().Clear();
    EXPECT_FALSE(element.CanUseOldSpcObj(context));
    EXPECT_EQ(journal().Lines(), Lines{});
}
