// The record of an existing specification object before it is rebuilt: its place, its position number and
// its column texts, and the writing back of those texts into the new object.
#include "objects/spc_obj_snapshot.h"

#include "spc_stand_in.h"

#include <gtest/gtest.h>

using namespace spc_test;
using Saved = std::vector<NMSpcObjSnapshot::SavedColumn>;

namespace {

class Snapshot : public SpcStandIn {
protected:
    // An old object with a designation, a position, a note, a format and a column no definition describes.
    sim::SpcObject& Old(const std::wstring& position = L"12")
    {
        sim::SpcObject& old = Spc().AddObject(30);
        old.ColumnA(5, 1)->SetText(L"Болт");
        old.ColumnA(3, 1)->SetText(position);
        old.ColumnA(6, 1)->SetText(L"note");
        old.ColumnA(9, 1)->SetText(L"A4");
        old.AddColumnA({2, 1, L""}).SetText(L"undescribed");
        return old;
    }
};

} // namespace

TEST_F(Snapshot, ReadsThePlaceOfTheOldObjectAndNothingElseWithoutColumns)
{
    Open();
    sim::SpcObject& old = Old();
    old.subsection = 2;
    old.nestedBlock = 3;
    old.nestedSection = 31;
    old.additionalBlock = 4;
    const SpcDocContext context = Context();
    journal().Clear();
    NMSpcObjSnapshot snapshot(context, old.Obj().As<IVel7SpcObject>(), false, false);
    EXPECT_EQ(journal().Lines(), (Lines{"spcObj1#12(&)", "spcObj1#13(&)", "spcObj1#21(&)", "spcObj1#19(&)", "spcObj1#17(&)"}));
    EXPECT_EQ(snapshot.SectionNum, 30);
    EXPECT_EQ(snapshot.SubSectionNum, 2);
    EXPECT_EQ(snapshot.NestedBlockNum, 3);
    EXPECT_EQ(snapshot.NestedSectionNum, 31);
    EXPECT_EQ(snapshot.AdditionalBlockNum, 4);
    // Every other field has a defined value.
    EXPECT_FALSE(snapshot.SectionMode);
    EXPECT_FALSE(snapshot.SubSectionMode);
    EXPECT_EQ(snapshot.ExtSectionMode, 0);
    EXPECT_FALSE(snapshot.ColumnsMode);
    EXPECT_FALSE(snapshot.HasPosition);
    EXPECT_TRUE(snapshot.SavedColumns.empty());
    EXPECT_NE(snapshot.OldObject, nullptr);
}

TEST_F(Snapshot, WithoutAnOldObjectItIsEmptyAndAsksNothing)
{
    Open();
    const SpcDocContext context = Context();
    journal().Clear();
    NMSpcObjSnapshot snapshot(context, nullptr, false, true);
    EXPECT_TRUE(journal().Lines().empty());
    EXPECT_EQ(snapshot.OldObject, nullptr);
    EXPECT_FALSE(snapshot.HasPosition);
    EXPECT_TRUE(snapshot.SavedColumns.empty());
}

TEST_F(Snapshot, SavesEveryColumnButTheDesignationSortedAndTakesThePosition)
{
    Open();
    sim::SpcObject& old = Old();
    NMSpcObjSnapshot snapshot(Context(), old.Obj().As<IVel7SpcObject>(), false, true);
    EXPECT_EQ(snapshot.SavedColumns, (Saved{{2, 1, L"undescribed"}, {6, 1, L"note"}, {9, 1, L"A4"}}));
    EXPECT_TRUE(snapshot.HasPosition);
    EXPECT_EQ(snapshot.Position, 12);
    EXPECT_EQ(CountContaining("#28("), 0u);
}

TEST_F(Snapshot, OnlyAWholeSigned32BitNumberIsAPosition)
{
    Open();
    const struct {
        const wchar_t* text;
        bool has;
        int32_t value;
    } cases[] = {{L"12", true, 12},  {L"-7", true, -7},   {L"2147483647", true, 2147483647},
                 {L"12a", false, 0}, {L"", false, 0},     {L"99999999999", false, 0},
                 {L"1 2", false, 0}, {L"2147483648", false, 0}};
    for (const auto& c : cases) {
        sim::SpcObject& old = Old(c.text);
        NMSpcObjSnapshot snapshot(Context(), old.Obj().As<IVel7SpcObject>(), false, true);
        EXPECT_EQ(snapshot.HasPosition, c.has) << sim::Utf8(c.text);
        if (c.has) {
            EXPECT_EQ(snapshot.Position, c.value) << sim::Utf8(c.text);
        }
        EXPECT_EQ(snapshot.SavedColumns.size(), 3u) << "the position column is never saved";
    }
}

TEST_F(Snapshot, InA3DSpecificationOnlyColumnsOfThe3DFormAreSaved)
{
    UseVelmar({15, 0, 1, 0});
    sim::Document& document = velmar().OpenDocument(5);
    document.Spc().DefineColumnA({9, 1, L"Формат", true});
    document.Spc().DefineColumnA({6, 1, L"Примечание", false});
    document.Spc().DefineColumnA({3, 1, L"Поз.", true});
    document.Spc().DefineColumnA({5, 1, L"Обозначение", true});
    sim::SpcObject& old = document.Spc().AddObject(30);
    old.ColumnA(3, 1)->SetText(L"4");
    old.ColumnA(6, 1)->SetText(L"note");
    old.ColumnA(9, 1)->SetText(L"A4");
    old.AddColumnA({2, 1, L""}).SetText(L"undescribed");
    NMSpcObjSnapshot snapshot(Context(), old.Obj().As<IVel7SpcObject>(), true, true);
    EXPECT_EQ(snapshot.SavedColumns, (Saved{{9, 1, L"A4"}}));
    EXPECT_EQ(snapshot.Position, 4);
}

TEST_F(Snapshot, AnIncompleteContextSavesNoColumns)
{
    Open();
    sim::SpcObject& old = Old();
    SpcDocContext context = Context();
    context.iSpcDscSubA = nullptr;
    NMSpcObjSnapshot snapshot(context, old.Obj().As<IVel7SpcObject>(), false, true);
    EXPECT_TRUE(snapshot.SavedColumns.empty());
    EXPECT_FALSE(snapshot.HasPosition);
    EXPECT_EQ(CountContaining("spcObj1#30("), 0u);
}

TEST_F(Snapshot, RestoringWritesEachSavedTextIntoTheColumnOfTheSameKey)
{
    Open();
    sim::SpcObject& old = Old();
    NMSpcObjSnapshot snapshot(Context(), old.Obj().As<IVel7SpcObject>(), false, true);
    sim::SpcObject& made = Spc().AddObject(25);
    made.ColumnA(5, 1)->SetText(L"new designation");
    snapshot.RestoreColumns(made.Obj().As<IVel7SpcObject>());
    EXPECT_EQ(made.ColumnA(6, 1)->Text(), L"note");
    EXPECT_EQ(made.ColumnA(9, 1)->Text(), L"A4");
    EXPECT_EQ(made.ColumnA(6, 1)->WholeString(), L"note");
    EXPECT_EQ(made.ColumnA(5, 1)->Text(), L"new designation");
    EXPECT_EQ(made.ColumnA(3, 1)->WholeString(), L"");
}

TEST_F(Snapshot, RestoringNothingCallsNothing)
{
    Open();
    sim::SpcObject& made = Spc().AddObject(25);
    NMSpcObjSnapshot snapshot(Context(), nullptr, false, true);
    journal().Clear();
    snapshot.RestoreColumns(made.Obj().As<IVel7SpcObject>());
    EXPECT_TRUE(journal().Lines().empty());
}
