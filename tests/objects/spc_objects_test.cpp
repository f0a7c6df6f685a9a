// Creating, placing, filling and reusing a part's specification object, read back from the stand-in's
// specification model.
#include "objects/nm_vel_obj.h"

#include "core/display_name.h"
#include "hostapi/vtable_call.h"
#include "objects/cant_create_spc_obj.h"
#include "objects/spc_column_set.h"
#include "spc_stand_in.h"

#include <gmock/gmock.h>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

using namespace spc_test;
using testing::HasSubstr;

namespace {

class SpcObjects : public SpcStandIn {
protected:
    void Parse(NMVelObj& part)
    {
        ParseColumnSet(part.OwnPreset->ParsedColumns, part.OwnPreset->Columns, part.pData->ObjData);
    }

    ObjArray Geometry(std::vector<std::string> names)
    {
        ObjArray geometry;
        for (const auto& name : names) {
            auto object = velmar().NewObject(name);
            object->Face<IVel7Part>();
            geometry.push_back(object->Ptr());
        }
        return geometry;
    }

    // A part whose preset imposes the given columns, with these further variables.
    std::unique_ptr<TestVelObj> PartWithColumns(const std::wstring& columns, std::vector<response_xml::Attr> more = {},
                                                bool is3DSpec = false)
    {
        auto vars = BoltVariables();
        vars.back().value = columns;
        vars.insert(vars.end(), more.begin(), more.end());
        auto part = MakePart(vars, is3DSpec);
        Parse(*part);
        return part;
    }

    // The part's new object, made and filled.
    sim::SpcObject& MadeAndFilled(TestVelObj& part, const SpcDocContext& context)
    {
        part.CreateNewSpcObject(context, {});
        part.FillSpcObjectColumns(context);
        return *Spc().Find(part.iSpcObj);
    }
};

bool Throws(std::function<void()> action)
{
    try {
        action();
    } catch (const CantCreateSpcObj&) {
        return true;
    }
    return false;
}

} // namespace

TEST_F(SpcObjects, ANewObjectIsPlacedByTheOwnPresetNumberedAndLinkedToTheGeometry)
{
    Open();
    auto vars = BoltVariables();
    vars[1].value = L"3";   // subsection
    vars[2].value = L"2";   // nested block
    vars[3].value = L"7";   // nested section
    vars[4].value = L"4";   // additional block
    vars.push_back({L"VELMAR_SPEC_PATTERN", L"4|a|b"});
    auto part = MakePart(vars);
    Parse(*part);
    const SpcDocContext context = Context();
    journal().Clear();

    part->CreateNewSpcObject(context, Geometry({"bolt7", "nut7"}));
    ASSERT_EQ(Spc().Objects().size(), 1u);
    sim::SpcObject& made = *Spc().Objects()[0];
    EXPECT_EQ(Spc().Find(part->iSpcObj), &made);
    EXPECT_EQ(On("spcObjs"), (Lines{"spcObjs#14(25,4,&)"}));
    EXPECT_EQ(made.section, 25);
    EXPECT_EQ(made.number, 4);
    EXPECT_EQ(made.subsection, 3);
    EXPECT_EQ(made.additionalBlock, 4);
    EXPECT_EQ(made.additionalBlockSection, 25);
    EXPECT_EQ(made.nestedBlock, 2);
    EXPECT_EQ(made.nestedSection, 7);
    EXPECT_EQ(made.geometry, (Names{"bolt7", "nut7"}));
    EXPECT_THAT(log_.Text(), HasSubstr(L"IsMainlyValid"));
    EXPECT_THAT(log_.Text(), HasSubstr(L"aGeom.size()=2"));
    EXPECT_THAT(log_.Text(), HasSubstr(L"iSpcObj->IncludeGeometry(aGeom, VARIANT_FALSE)=-1"));
}

TEST_F(SpcObjects, ZeroSubsectionAndBlocksLeaveWhatVelmarMade)
{
    Open();
    auto part = MakePart();
    Parse(*part);
    const SpcDocContext context = Context();
    part->CreateNewSpcObject(context, Geometry({"bolt7"}));
    // The subsection is not touched; the blocks are written as 0, their sections not at all.
    EXPECT_EQ(On("spcObj1"), (Lines{"spcObj1#18(0)", "spcObj1#22(0)", "spcObj1#50(bolt7,0,&)"}));
    EXPECT_EQ(Spc().Objects()[0]->geometry, (Names{"bolt7"}));
}

TEST_F(SpcObjects, AnEmptyGeometryListIsIncludedAsNothing)
{
    Open();
    auto part = MakePart();
    Parse(*part);
    part->CreateNewSpcObject(Context(), {});
    EXPECT_EQ(journal().Count("spcObj1#50(empty,0,&)"), 1u);
    EXPECT_TRUE(Spc().Objects()[0]->geometry.empty());
}

TEST_F(SpcObjects, AnAdditionVelmarRefusesIsRetriedOnceWithNumberZero)
{
    Open();
    auto vars = BoltVariables();
    vars.push_back({L"VELMAR_SPEC_PATTERN", L"4|a"});
    auto part = MakePart(vars);
    Parse(*part);
    const SpcDocContext context = Context();
    Spc().RefuseAdd(1);
    journal().Clear();
    part->CreateNewSpcObject(context, {});
    EXPECT_EQ(On("spcObjs"), (Lines{"spcObjs#14(25,4,&)", "spcObjs#14(25,0,&)"}));
    ASSERT_EQ(Spc().Objects().size(), 1u);
    EXPECT_EQ(Spc().Objects()[0]->number, 0);
    EXPECT_EQ(Spc().Find(part->iSpcObj), Spc().Objects()[0]);

    // Refused twice: no object, and none kept from before.
    Spc().RefuseAdd(2);
    journal().Clear();
    EXPECT_TRUE(Throws([&] { part->CreateNewSpcObject(context, {}); }));
    EXPECT_EQ(part->iSpcObj, nullptr);
    EXPECT_EQ(Spc().Objects().size(), 1u);
    EXPECT_EQ(journal().Lines(), (Lines{"spcObjs#14(25,4,&)", "spcObjs#14(25,0,&)"}));
}

TEST_F(SpcObjects, AnIncompleteContextMakesNoObjectAndCallsNothing)
{
    Open();
    auto part = MakePart();
    Parse(*part);
    SpcDocContext context = Context();
    context.iSpcDscSubA = nullptr;
    journal().Clear();
    EXPECT_TRUE(Throws([&] { part->CreateNewSpcObject(context, {}); }));
    EXPECT_TRUE(journal().Lines().empty());
    EXPECT_TRUE(Spc().Objects().empty());
}

TEST_F(SpcObjects, APartWithoutItsOwnPresetCannotHaveAnObject)
{
    Open();
    auto part = MakePart({});
    const SpcDocContext context = Context();
    journal().Clear();
    EXPECT_TRUE(Throws([&] { part->CreateNewSpcObject(context, {}); }));
    EXPECT_TRUE(Throws([&] { part->ChangeSpcObject(context, {}); }));
    EXPECT_TRUE(Throws([&] { part->RecreateSpcObject(context, nullptr, {}); }));
    EXPECT_TRUE(Throws([&] { part->RecreateSpcObjByActivePreset(context, nullptr, {}); }));
    EXPECT_TRUE(journal().Lines().empty());
    EXPECT_THAT(log_.Text(), HasSubstr(L"OwnPreset=null"));
}

TEST_F(SpcObjects, TheFailureMessageIsShownEveryTimeOutsideABatch)
{
    Open();
    const std::wstring previousName = LibraryDisplayName();
    SetLibraryDisplayName(L"Нормсет");
    auto part = MakePart();
    part->ShowSpcObjectCreateError();
    part->ShowSpcObjectCreateError();
    SetLibraryDisplayName(previousName);
    const auto& questions = velmar().User().Questions();
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0].text, L"Не удалось создать объект спецификации.");
    EXPECT_EQ(questions[0].caption, L"Нормсет");
    EXPECT_EQ(questions[0].flags, 48);
}

TEST_F(SpcObjects, InABatchTheFailureMessageIsShownOncePerBatch)
{
    Open();
    auto part = MakePart();
    part->BeginBatch();
    part->ShowSpcObjectCreateError();
    part->ShowSpcObjectCreateError();
    EXPECT_EQ(velmar().User().Questions().size(), 1u);
    part->BeginBatch();
    part->ShowSpcObjectCreateError();
    EXPECT_EQ(velmar().User().Questions().size(), 2u);
    part->MessageMode = 2;
    part->SpcErrorShown = false;
    part->ShowSpcObjectCreateError();
    EXPECT_EQ(velmar().User().Questions().size(), 2u);
}

TEST_F(SpcObjects, HostsBefore1501NeverReuseAnObject)
{
    Open({15, 0, 0, 0});
    sim::SpcObject& old = Spc().AddObject(25);
    auto part = MakePart();
    part->existing = {&old};
    const SpcDocContext context = Context();
    part->GetExistsSpcObjects(context);
    journal().Clear();
    EXPECT_FALSE(part->CanUseOldSpcObj(context));
    EXPECT_TRUE(journal().Lines().empty());
}

TEST_F(SpcObjects, From1501TheOneObjectInThePresetsSectionIsReused)
{
    Open();
    sim::SpcObject& old = Spc().AddObject(25);
    auto part = MakePart();
    part->existing = {&old};
    const SpcDocContext context = Context();
    part->GetExistsSpcObjects(context);
    EXPECT_TRUE(part->CanUseOldSpcObj(context));

    old.section = 30;
    EXPECT_FALSE(part->CanUseOldSpcObj(context));
    EXPECT_EQ(part->ExSpcObjs.size(), 1u);
}

// Of several objects a new one is made: those with the library's identity stay listed; where none has it (no
// column, or lines made before it) the part's own were told from the user's before, and all stay listed.
TEST_F(SpcObjects, OfSeveralObjectsThoseWithTheLibrarysIdentityStayListedElseAll)
{
    struct Row {
        const char* what;
        std::vector<std::wstring> ids;   // per object, its "ID Normset" text
        bool column;
        std::vector<size_t> listed;
    };
    const Row rows[] = {
        {"two of three with the identity", {L"Q-1", L"", L"Q-3"}, true, {0, 2}},
        {"none with it", {L"", L"", L""}, true, {0, 1, 2}},
        {"without the column", {L"Q-1", L"", L""}, false, {0, 1, 2}},
    };
    Open();
    for (const Row& row : rows) {
        std::vector<sim::SpcObject*> objects;
        for (const std::wstring& id : row.ids) {
            objects.push_back(&Spc().AddObject(25));
            objects.back()->ColumnB(20, 1)->SetText(id);
        }
        auto part = MakePart();
        part->existing = objects;
        SpcDocContext context = Context();
        if (!row.column)
            context.iSpcDscSubB = nullptr;
        part->GetExistsSpcObjects(context);
        EXPECT_FALSE(part->CanUseOldSpcObj(context)) << row.what;
        std::vector<size_t> listed;
        for (const IDispatchPtr& object : part->ExSpcObjs)
            listed.push_back(static_cast<size_t>(std::find(objects.begin(), objects.end(), Spc().Find(object)) - objects.begin()));
        EXPECT_EQ(listed, row.listed) << row.what;
    }
}

// Which lines are the part's is the pairing's rule; here, that the part's own line comes first, its second
// lines after it, and the user's are given back, in Velmar's order, with and without the "ID Normset" column.
TEST_F(SpcObjects, OnlyThePartsOwnAndSecondLinesStayListedOwnFirst)
{
    Open();
    for (const bool column : {true, false}) {
        sim::SpcObject& hand = Spc().AddObject(25);
        sim::SpcObject& second = Spc().AddObject(25);
        sim::SpcObject& own = Spc().AddObject(25);
        hand.ColumnA(5, 1)->SetText(L"Прокладка");
        for (sim::SpcObject* line : {&second, &own}) {
            line->ColumnA(5, 1)->SetText(L"Болт М8х40");
            line->ColumnB(20, 1)->SetText(L"Q-1");
        }
        auto part = MakePart();
        part->existing = {&hand, &second, &own};
        SpcDocContext context = Context();
        if (!column)
            context.iSpcDscSubB = nullptr;
        part->GetExistsSpcObjects(context);

        const ObjArray users = part->KeepOwnSpcLinesListed(context, {L"", L"Болт М8х40", L"Q-1"}, {false, false, true});
        ASSERT_EQ(part->ExSpcObjs.size(), 2u) << column;
        EXPECT_EQ(Spc().Find(part->ExSpcObjs[0]), &own) << column;
        EXPECT_EQ(Spc().Find(part->ExSpcObjs[1]), &second) << column;
        ASSERT_EQ(users.size(), 1u) << column;
        EXPECT_EQ(Spc().Find(users[0]), &hand) << column;
    }
}

// What tells an old line's part, and what else the user may have written on it: every other column it
// fills, but the position Velmar numbers and the "ID Normset" value, which tells the part.
TEST_F(SpcObjects, AnOldLineShowsItsPartsTextsAndEveryOtherColumnItFillsButItsPosition)
{
    Open();
    sim::SpcObject& line = Spc().AddObject(25);
    line.ColumnA(5, 1)->SetText(L"Болт М8х40");
    line.ColumnA(3, 1)->SetText(L"7");
    line.ColumnA(6, 1)->SetText(L"мой текст");
    line.ColumnB(8, 1)->SetText(L"0,5");
    line.ColumnB(20, 1)->SetText(L"Q-1");
    for (const bool column : {true, false}) {
        auto part = MakePart();
        part->existing = {&line};
        SpcDocContext context = Context();
        if (!column)
            context.iSpcDscSubB = nullptr;
        part->GetExistsSpcObjects(context);
        const std::vector<OldSpcLine> read = part->ReadOldSpcLines(context, {true});
        ASSERT_EQ(read.size(), 1u);
        EXPECT_EQ(read[0].identity.name, L"Болт М8х40") << column;
        EXPECT_EQ(read[0].identity.member, column ? L"Q-1" : L"") << column;
        std::vector<SpcLineColumn> others = {{0, 6, 1, L"мой текст"}};
        if (column)
            others.push_back({1, 8, 1, L"0,5"});
        EXPECT_EQ(read[0].others, others) << column;
    }
}

TEST_F(SpcObjects, AReusedObjectIsPlacedNumberedLinkedAndLeavesTheList)
{
    Open();
    sim::SpcObject& old = Spc().AddObject(25);
    old.geometry = {"old7"};
    auto vars = BoltVariables();
    vars[4].value = L"3";
    vars.push_back({L"VELMAR_SPEC_PATTERN", L"6|a"});
    auto part = MakePart(vars);
    Parse(*part);
    part->existing = {&old};
    part->GetExistsSpcObjects(Context());

    part->useOldSpcObj(Geometry({"bolt7"}));
    EXPECT_EQ(Spc().Find(part->iSpcObj), &old);
    EXPECT_EQ(old.additionalBlock, 3);
    EXPECT_EQ(old.additionalBlockSection, 25);
    EXPECT_EQ(old.number, 6);
    EXPECT_EQ(old.geometry, (Names{"old7", "bolt7"}));
    EXPECT_EQ(old.updates, 1);
    EXPECT_TRUE(part->ExSpcObjs.empty());
}

TEST_F(SpcObjects, AReusedObjectGetsNoGeometryCallForAnEmptyList)
{
    Open();
    sim::SpcObject& old = Spc().AddObject(25);
    auto part = MakePart();
    Parse(*part);
    part->existing = {&old};
    part->GetExistsSpcObjects(Context());
    part->useOldSpcObj({});
    EXPECT_EQ(CountContaining("spcObj1#50("), 0u);
}

TEST_F(SpcObjects, ColumnsAreFilledFromThePresetAndThePartVariables)
{
    Open();
    auto part = PartWithColumns(L"5.1=Designation;6.1=Note", {{L"Note", L"примечание"},
                                                              {L"MACC", L"0.5"},
                                                              {L"Quarvend_IID", L"Q-17"},
                                                              {L"Handle", L"H-1"},
                                                              {L"ExtObjectName", L"Сталь 45"}});
    sim::SpcObject& made = MadeAndFilled(*part, Context());

    // Collection A takes the whole formatted text, collection B the first line.
    EXPECT_EQ(made.ColumnA(5, 1)->Text(), L"Болт М8х40");
    EXPECT_EQ(made.ColumnA(5, 1)->WholeString(), L"Болт М8х40");
    EXPECT_EQ(made.ColumnA(6, 1)->Text(), L"примечание");
    EXPECT_EQ(made.ColumnB(5, 1)->Text(), L"Болт М8х40");
    EXPECT_EQ(made.ColumnB(5, 1)->Lines(), (std::vector<std::wstring>{L"Болт М8х40"}));
    EXPECT_EQ(made.ColumnB(5, 1)->WholeString(), L"");
    EXPECT_EQ(made.ColumnB(8, 1)->Text(), L"0.5");
    EXPECT_EQ(made.ColumnB(20, 1)->Text(), L"Q-17");
    EXPECT_EQ(made.ColumnB(21, 1)->Text(), L"H-1");
    EXPECT_EQ(made.ColumnB(22, 1)->Text(), L"Сталь 45");
    EXPECT_EQ(made.ColumnB(22, 1)->WholeString(), L"");
    EXPECT_EQ(made.updates, 1);
    EXPECT_THAT(log_.Text(), HasSubstr(L"iSpcObj->Update()=-1"));
}

TEST_F(SpcObjects, VariablesWithoutAValueLeaveTheirColumnsAlone)
{
    Open();
    auto part = PartWithColumns(L"5.1=Designation", {{L"MACC", L"NULL_VALUE"}, {L"Handle", L"  "}});
    sim::SpcObject& made = MadeAndFilled(*part, Context());
    EXPECT_EQ(made.ColumnB(8, 1)->Text(), L"");
    EXPECT_EQ(made.ColumnB(20, 1)->Text(), L"");
    EXPECT_EQ(made.ColumnB(21, 1)->Text(), L"");
}

TEST_F(SpcObjects, WithoutTheDefinitionsOfCollectionBOnlyCollectionAIsFilled)
{
    Open();
    auto part = PartWithColumns(L"5.1=Designation", {{L"Quarvend_IID", L"Q-17"}});
    SpcDocContext context = Context();
    context.iSpcDscSubB = nullptr;
    sim::SpcObject& made = MadeAndFilled(*part, context);
    EXPECT_EQ(made.ColumnA(5, 1)->Text(), L"Болт М8х40");
    EXPECT_EQ(made.ColumnB(5, 1)->Text(), L"");
    EXPECT_EQ(made.ColumnB(20, 1)->Text(), L"");
    EXPECT_EQ(CountContaining("spcObj1#31("), 0u);
    EXPECT_EQ(made.updates, 1);
}

TEST_F(SpcObjects, FillingWithoutAnObjectRaisesENoPointer)
{
    Open();
    auto part = PartWithColumns(L"5.1=Designation");
    try {
        part->FillSpcObjectColumns(Context());
        FAIL() << "no failure";
    } catch (const _com_error& error) {
        EXPECT_EQ(error.Error(), E_POINTER);
    }
}

TEST_F(SpcObjects, ARecordColumnTakesItsItemsFromThePatternOnANumberedObject)
{
    Open();
    auto part = PartWithColumns(L"9.1=Format,FormatPattern", {{L"Format", L"A4"}, {L"FormatPattern", L"2|x||z"}});
    sim::SpcObject& made = MadeAndFilled(*part, Context());
    const sim::SpcObjectColumn& column = *made.ColumnA(9, 1);
    // Three texts, two items: the second item's empty text only switches it off.
    ASSERT_EQ(column.items.size(), 2u);
    EXPECT_EQ(column.items[0].value, L"x");
    EXPECT_TRUE(column.items[0].on);
    EXPECT_EQ(column.items[1].writes, 0);
    EXPECT_FALSE(column.items[1].on);
    EXPECT_EQ(journal().Count("spcObj1.colA[9.1].item1#15(0)"), 1u);
    EXPECT_EQ(column.Text(), L"");
    EXPECT_EQ(made.updates, 1);
}

TEST_F(SpcObjects, APlusPatternUpdatesTheObjectAndWritesTheTextToo)
{
    Open();
    auto part = PartWithColumns(L"9.1=Format,FormatPattern", {{L"Format", L"A4"}, {L"FormatPattern", L"+2|x|y"}});
    sim::SpcObject& made = MadeAndFilled(*part, Context());
    const sim::SpcObjectColumn& column = *made.ColumnA(9, 1);
    EXPECT_EQ(column.items[1].value, L"y");
    EXPECT_EQ(column.Text(), L"A4");
    EXPECT_EQ(made.updates, 2);
}

TEST_F(SpcObjects, ARecordColumnWithoutAPatternOrOnAnUnnumberedObjectTakesTheText)
{
    Open();
    auto plain = PartWithColumns(L"9.1=Format", {{L"Format", L"A4"}});
    sim::SpcObject& first = MadeAndFilled(*plain, Context());
    EXPECT_EQ(first.ColumnA(9, 1)->Text(), L"A4");
    EXPECT_EQ(first.ColumnA(9, 1)->items[0].writes, 0);

    auto unnumbered = PartWithColumns(L"9.1=Format,FormatPattern", {{L"Format", L"A3"}, {L"FormatPattern", L"0|x"}});
    sim::SpcObject& second = MadeAndFilled(*unnumbered, Context());
    EXPECT_EQ(second.number, 0);
    EXPECT_EQ(second.ColumnA(9, 1)->Text(), L"A3");
    EXPECT_EQ(second.ColumnA(9, 1)->items[0].writes, 0);
}

TEST_F(SpcObjects, AColumnOfAnotherKindIsLeftAlone)
{
    Open();
    Spc().DefineColumnA({7, 1, L"Прочее", true, 5});
    auto part = PartWithColumns(L"5.1=Designation;7.1=Note", {{L"Note", L"n"}});
    sim::SpcObject& made = MadeAndFilled(*part, Context());
    EXPECT_EQ(made.ColumnA(5, 1)->Text(), L"Болт М8х40");
    EXPECT_EQ(made.ColumnA(7, 1)->Text(), L"");
    EXPECT_EQ(made.ColumnA(7, 1)->WholeString(), L"");
}

// Two definitions of one name: the first one's column is missing from the object, so the second one's
// column is the one found.
TEST_F(SpcObjects, ADefinitionWhoseColumnIsMissingLetsTheSearchGoOn)
{
    UseVelmar({15, 0, 1, 0});
    sim::SpcModel& spc = velmar().OpenDocument(5).Spc();
    spc.DefineColumnA({5, 1, L"Обозначение"});
    spc.DefineColumnB({23, 1, L"ID Normset"});
    spc.DefineColumnB({20, 1, L"ID Normset"});
    settings.Presets.assign(1, NMSpcPreset(L"Active"));
    sim::SpcObject& object = spc.AddObject(25);
    ASSERT_EQ(object.columnsB.front()->Type(), 23);
    object.columnsB.erase(object.columnsB.begin());
    auto part = MakePart();
    const SpcDocContext context = Context();
    const IDispatchPtr columnsB = V7Get(object.Obj().As<IVel7SpcObject>(), &IVel7SpcObjectBase::get_ColumnsB);

    IVel7SpcColumnPtr found = part->FindColumnByName(columnsB, context.iSpcDscSubB, L"ID Normset");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(ColumnKey(found), (SpcColumnKey{20, 1}));
    EXPECT_EQ(part->FindColumnByType(columnsB, context.iSpcDscSubB, {23, 1}), nullptr);
}

TEST_F(SpcObjects, OutsideA3DSpecificationThe3DFlagIsNeverRead)
{
    Open();
    auto part = PartWithColumns(L"5.1=Designation;6.1=Note", {{L"Note", L"n"}, {L"Quarvend_IID", L"Q"}});
    MadeAndFilled(*part, Context());
    EXPECT_EQ(CountContaining("#28("), 0u);
}

TEST_F(SpcObjects, InA3DSpecificationOnlyColumnsOfThe3DFormAreFilled)
{
    UseVelmar({15, 0, 1, 0});
    sim::Document& document = velmar().OpenDocument(5);
    document.Spc().DefineColumnA({5, 1, L"Обозначение", true});
    document.Spc().DefineColumnA({6, 1, L"Примечание", false});
    document.Spc().DefineColumnB({20, 1, L"ID Normset", false});
    settings.Presets.assign(1, NMSpcPreset(L"Active"));
    auto part = PartWithColumns(L"5.1=Designation;6.1=Note", {{L"Note", L"n"}, {L"Quarvend_IID", L"Q"}}, true);
    sim::SpcObject& made = MadeAndFilled(*part, Context());
    EXPECT_EQ(made.ColumnA(5, 1)->Text(), L"Болт М8х40");
    EXPECT_EQ(made.ColumnA(6, 1)->Text(), L"");
    EXPECT_EQ(made.ColumnB(20, 1)->Text(), L"");
}

TEST_F(SpcObjects, ColumnNamesAreComparedExactly)
{
    Open();
    auto part = MakePart();
    Parse(*part);
    const SpcDocContext context = Context();
    part->CreateNewSpcObject(context, {});
    const IDispatchPtr columnsB = V7Get(part->iSpcObj, &IVel7SpcObjectBase::get_ColumnsB);
    EXPECT_NE(part->FindColumnByName(columnsB, context.iSpcDscSubB, L"ID Normset"), nullptr);
    EXPECT_EQ(part->FindColumnByName(columnsB, context.iSpcDscSubB, L"id normset"), nullptr);
    EXPECT_EQ(part->FindColumnByName(columnsB, context.iSpcDscSubB, L"ID Normset "), nullptr);
    EXPECT_EQ(part->FindColumnByType(columnsB, context.iSpcDscSubB, {8, 1}) != nullptr, true);
    EXPECT_EQ(part->FindColumnByType(columnsB, context.iSpcDscSubB, {8, 2}), nullptr);
}

TEST_F(SpcObjects, EveryFailedHostCallOfACreationEndsInAFailureWithAtMostTheOneObject)
{
    std::unique_ptr<TestVelObj> part;
    SweepHostFailures(
        [&] {
            Open();
            part = PartWithColumns(L"5.1=Designation;9.1=Format,FormatPattern",
                                   {{L"Format", L"A4"}, {L"FormatPattern", L"+1|x|y"}, {L"MACC", L"2"}, {L"Quarvend_IID", L"Q"}});
            return [&part, context = Context(), geometry = Geometry({"bolt7"})] {
                part->RecreateSpcObject(context, nullptr, geometry);
                part->FillSpcObjectColumns(context);
            };
        },
        [&](size_t n) { EXPECT_LE(Spc().Objects().size(), 1u) << "call " << n; });
    part.reset();
}

TEST_F(SpcObjects, ALinesIdentityByPresetIsReadFromTheColumnSetTheActivePresetImposes)
{
    Open();
    struct Row {
        const char* what;
        bool activeColumns;
        std::wstring designation;
        std::wstring name;
    };
    const Row rows[] = {
        {"the part's own column set", false, L"", L"Болт М8х40"},
        {"the active preset's column set", true, L"Болт М8х40", L""},
    };
    for (const Row& row : rows) {
        Active().ColumnsMode = row.activeColumns;
        Active().Columns = L"4.1=Designation,VELMAR_SPEC_PATTERN";
        const auto part = MakePart();
        const SpcLineIdentity identity = part->LineIdentityByPreset();
        EXPECT_EQ(identity.designation, row.designation) << row.what;
        EXPECT_EQ(identity.name, row.name) << row.what;
    }
}
