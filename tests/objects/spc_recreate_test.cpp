// Rebuilding a part's specification object: in its place or at the active preset's after one question,
// with the user's column texts, position number and comment objects carried over; and what a failure of
// any host call on the way leaves in the document.
#include "objects/nm_vel_obj.h"

#include "core/display_name.h"
#include "core/modal_seam.h"
#include "objects/cant_create_spc_obj.h"
#include "objects/spc_obj_snapshot.h"
#include "spc_stand_in.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace spc_test;

namespace {

class Recreate : public SpcStandIn {
protected:
    struct Asked {
        HWND owner;
        std::wstring text;
        std::wstring caption;
        UINT style;
    };

    // An object the library made and the user edited: its designation and identity, position 12, a note,
    // two comments.
    sim::SpcObject& UserObject(long section, const std::string& commentPrefix = "c")
    {
        sim::SpcObject& object = Spc().AddObject(section);
        object.ColumnA(5, 1)->SetText(L"old designation");
        object.ColumnB(20, 1)->SetText(L"Q-" + std::wstring(commentPrefix.begin(), commentPrefix.end()));
        object.ColumnA(3, 1)->SetText(L"12");
        object.ColumnA(6, 1)->SetText(L"user note");
        object.AddComment(commentPrefix + "1");
        object.AddComment(commentPrefix + "2");
        return object;
    }

    std::unique_ptr<TestVelObj> Part(std::vector<sim::SpcObject*> existing)
    {
        auto vars = BoltVariables();
        vars.push_back({L"Note", L"part note"});
        auto part = MakePart(vars);
        part->existing = std::move(existing);
        return part;
    }

    ObjArray Bolt()
    {
        auto bolt = velmar().NewObject("bolt7");
        bolt->Face<IVel7Part>();
        ObjArray geometry;
        geometry.push_back(bolt->Ptr());
        return geometry;
    }

    sim::SpcObject& Current(const NMVelObj& part) { return *Spc().Find(part.iSpcObj); }

    static ModalSeam Seam(std::vector<Asked>& asked, int& answer)
    {
        ModalSeam seam;
        seam.messageBox = [&asked, &answer](HWND owner, const std::wstring& text, const std::wstring& caption, UINT style) {
            asked.push_back({owner, text, caption, style});
            return answer;
        };
        return seam;
    }

    std::vector<Asked> asked_;
    int answer_ = IDNO;
    testhooks::ScopedModalSeam seam_{Seam(asked_, answer_)};
};

std::vector<std::string> Sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST_F(Recreate, AnObjectInThePresetsPlaceIsRebuiltThereWithoutAQuestionAndTheActiveColumnSet)
{
    Open({15, 0, 0, 0});
    sim::SpcObject& old = UserObject(25);
    auto part = Part({&old});
    Active().ColumnsMode = true;
    Active().Columns = L"5.1=Designation;6.1=Note";

    part->ChangeSpcObject(Context(), Bolt());
    EXPECT_TRUE(asked_.empty());
    ASSERT_EQ(Spc().Objects().size(), 1u);
    sim::SpcObject& made = *Spc().Objects()[0];
    EXPECT_NE(&made, &old);
    EXPECT_TRUE(old.deleted);
    EXPECT_EQ(made.section, 25);
    EXPECT_EQ(made.geometry, (Names{"bolt7"}));
    EXPECT_EQ(made.ColumnA(5, 1)->Text(), L"Болт М8х40");
    EXPECT_EQ(made.ColumnA(6, 1)->Text(), L"part note");
    EXPECT_EQ(part->RebuildPreset->Columns, L"5.1=Designation;6.1=Note");
    EXPECT_EQ(part->positions, (std::vector<int32_t>{12}));
}

TEST_F(Recreate, AMovedObjectAsksOnceAndYesPutsItAtThePresetsPlaceWithOnlyItsPosition)
{
    Open({15, 0, 0, 0});
    const std::wstring previousName = LibraryDisplayName();
    SetLibraryDisplayName(L"Нормсет");
    sim::SpcObject& old = UserObject(30);
    auto part = Part({&old});
    answer_ = IDYES;
    part->ChangeSpcObject(Context(), Bolt());
    SetLibraryDisplayName(previousName);

    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].owner, velmar().MainWindow());
    EXPECT_EQ(asked_[0].text, L"Местоположение объекта спецификации не совпадает с тем, которое задано в текущем шаблоне. "
                              L"Переместить объект спецификации?");
    EXPECT_EQ(asked_[0].caption, L"Нормсет");
    EXPECT_EQ(asked_[0].style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(part->MoveAnswer, NMVelObj::MoveToPreset);
    ASSERT_EQ(Spc().Objects().size(), 1u);
    sim::SpcObject& made = *Spc().Objects()[0];
    EXPECT_EQ(made.section, 25);
    EXPECT_EQ(made.ColumnA(6, 1)->Text(), L"");
    EXPECT_EQ(made.ColumnA(5, 1)->Text(), L"Болт М8х40");
    EXPECT_EQ(part->positions, (std::vector<int32_t>{12}));
    EXPECT_TRUE(old.deleted);
}

TEST_F(Recreate, NoKeepsTheOldPlaceAndTheTypedColumnsAndRebuildsOnlyTheDesignation)
{
    Open({15, 0, 0, 0});
    sim::SpcObject& old = UserObject(30);
    old.nestedBlock = 2;
    old.nestedSection = 31;
    auto part = Part({&old});
    Active().ColumnsMode = true;
    Active().Columns = L"5.1=Designation;6.1=Note";
    answer_ = IDNO;
    part->ChangeSpcObject(Context(), Bolt());

    EXPECT_EQ(asked_.size(), 1u);
    EXPECT_EQ(part->MoveAnswer, NMVelObj::KeepPlace);
    ASSERT_EQ(Spc().Objects().size(), 1u);
    sim::SpcObject& made = *Spc().Objects()[0];
    EXPECT_EQ(made.section, 30);
    EXPECT_EQ(made.nestedBlock, 2);
    EXPECT_EQ(made.nestedSection, 31);
    EXPECT_EQ(made.ColumnA(6, 1)->Text(), L"user note");
    EXPECT_EQ(made.ColumnA(5, 1)->Text(), L"Болт М8х40");
    EXPECT_EQ(part->RebuildPreset->Columns, L"5.1=Designation,VELMAR_SPEC_PATTERN");
    EXPECT_EQ(part->RebuildPreset->SectionNum, 30);
    EXPECT_EQ(part->OwnPreset->SectionNum, 25) << "the old place is the rebuild's alone";
    EXPECT_EQ(part->positions, (std::vector<int32_t>{12}));
}

TEST_F(Recreate, AMoveQuestionThatCouldNotBeShownFailsAndLeavesTheOldObject)
{
    Open({15, 0, 0, 0});
    sim::SpcObject& old = UserObject(30);
    auto part = Part({&old});
    answer_ = 0;
    EXPECT_THROW(part->ChangeSpcObject(Context(), Bolt()), std::wstring);
    EXPECT_EQ(asked_.size(), 1u);
    EXPECT_EQ(part->MoveAnswer, NMVelObj::MoveNotAsked);
    EXPECT_EQ(Spc().Objects(), (std::vector<sim::SpcObject*>{&old}));
    EXPECT_FALSE(old.deleted);
}

// In the preset's section, the block the active preset imposes decides: the nested block and section
// for mode 1, the additional block for any other non-zero mode; the other block does not count.
TEST_F(Recreate, TheImposedBlockDecidesWhetherAnObjectInThePresetsSectionIsInPlace)
{
    const struct {
        int32_t mode;
        long nestedBlock, nestedSection, additionalBlock;   // of the old object
        bool asked;
    } cases[] = {
        {1, 2, 31, 9, false}, {1, 2, 32, 4, true}, {1, 3, 31, 4, true},
        {2, 7, 7, 4, false},  {2, 2, 31, 5, true}, {5, 2, 31, 5, true},
        {0, 7, 7, 9, false},
    };
    for (const auto& c : cases) {
        Open({15, 0, 0, 0});
        sim::SpcObject& old = UserObject(25);
        old.nestedBlock = c.nestedBlock;
        old.nestedSection = c.nestedSection;
        old.additionalBlock = c.additionalBlock;
        Active().ExtSectionMode = c.mode;
        Active().NestedBlockNum = 2;
        Active().NestedSectionNum = 31;
        Active().AdditionalBlockNum = 4;
        auto part = Part({&old});
        asked_.clear();
        part->ChangeSpcObject(Context(), Bolt());
        EXPECT_EQ(asked_.size(), c.asked ? 1u : 0u) << "mode " << c.mode << ", old " << c.nestedBlock << "/"
                                                     << c.nestedSection << "/" << c.additionalBlock;
        EXPECT_EQ(part->MoveAnswer, c.asked ? NMVelObj::KeepPlace : NMVelObj::MoveNotAsked) << "mode " << c.mode;
        // In place or kept by the answer: the old object's place either way.
        ASSERT_EQ(Spc().Objects().size(), 1u);
        EXPECT_EQ(Current(*part).nestedSection, c.nestedSection) << "mode " << c.mode;
        EXPECT_EQ(Current(*part).additionalBlock, c.additionalBlock) << "mode " << c.mode;
    }
}

TEST_F(Recreate, AKeptAnswerIsNotAskedAgain)
{
    // The second rebuild still finds the object out of the part's place: in place, the active column set
    // would write the part's note over the user's.
    Open({15, 0, 0, 0});
    Active().ColumnsMode = true;
    Active().Columns = L"5.1=Designation;6.1=Note";
    sim::SpcObject& old = UserObject(30);
    auto part = Part({&old});
    part->ChangeSpcObject(Context(), Bolt());
    part->existing = {&Current(*part)};
    part->ChangeSpcObject(Context(), Bolt());
    EXPECT_EQ(asked_.size(), 1u);
    ASSERT_EQ(Spc().Objects().size(), 1u);
    EXPECT_EQ(Spc().Objects()[0]->section, 30);
    EXPECT_EQ(Spc().Objects()[0]->ColumnA(6, 1)->Text(), L"user note");
}

TEST_F(Recreate, ABatchIsNeverAskedAndKeepsTheSavedColumns)
{
    Open({15, 0, 0, 0});
    sim::SpcObject& moved = UserObject(30);
    auto part = Part({&moved});
    part->MoveAnswer = NMVelObj::KeepPlaceSilently;
    part->ChangeSpcObject(Context(), Bolt());
    EXPECT_TRUE(asked_.empty());
    sim::SpcObject& made = Current(*part);
    EXPECT_EQ(made.section, 30);
    EXPECT_EQ(made.ColumnA(6, 1)->Text(), L"user note");
}

TEST_F(Recreate, AnObjectWithoutSavedColumnsKeepsItsPlaceWithTheActiveColumnSet)
{
    Open({15, 0, 0, 0});
    sim::SpcObject& old = UserObject(30);
    auto part = Part({&old});
    part->MoveAnswer = NMVelObj::KeepPlace;
    Active().ColumnsMode = true;
    Active().Columns = L"5.1=Designation;6.1=Note";
    const SpcDocContext context = Context();
    part->GetExistsSpcObjects(context);
    NMSpcObjSnapshot snapshot(context, part->GetFirstSpcObject(), false, false);
    part->RecreateSpcObject(context, &snapshot, Bolt());
    part->FillSpcObjectColumns(context);
    sim::SpcObject& made = Current(*part);
    EXPECT_EQ(made.section, 30);
    EXPECT_EQ(made.ColumnA(6, 1)->Text(), L"part note");
    EXPECT_TRUE(part->positions.empty());
}

TEST_F(Recreate, ByTheOldObjectTheRebuiltObjectTakesAllFiveNumbersOfItsPlace)
{
    Open({15, 0, 0, 0});
    sim::SpcObject& old = UserObject(25);
    old.subsection = 4;
    old.nestedBlock = 3;
    old.nestedSection = 26;
    old.additionalBlock = 2;
    auto part = Part({&old});
    part->ChangeSpcObject(Context(), Bolt());
    EXPECT_TRUE(asked_.empty());
    sim::SpcObject& made = Current(*part);
    EXPECT_EQ(made.section, 25);
    EXPECT_EQ(made.subsection, 4);
    EXPECT_EQ(made.nestedBlock, 3);
    EXPECT_EQ(made.nestedSection, 26);
    EXPECT_EQ(made.additionalBlock, 2);
    EXPECT_EQ(made.additionalBlockSection, 25);
}

TEST_F(Recreate, WithoutAnOldObjectTheObjectIsMadeByTheActivePreset)
{
    Open();
    auto part = Part({});
    Active().SectionMode = true;
    Active().SectionNum = 40;
    part->RecreateSpcObject(Context(), nullptr, Bolt());
    EXPECT_TRUE(asked_.empty());
    ASSERT_EQ(Spc().Objects().size(), 1u);
    EXPECT_EQ(Spc().Objects()[0]->section, 40);
    EXPECT_TRUE(part->positions.empty());
}

TEST_F(Recreate, From1501CommentObjectsMoveToTheNewObjectInOrder)
{
    Open();
    sim::SpcObject& first = UserObject(25, "a");
    sim::SpcObject& second = UserObject(25, "b");
    auto part = Part({&first, &second});
    part->ChangeSpcObject(Context(), Bolt());
    // Of two objects none is reused: a new one takes the comments of both, and they go.
    sim::SpcObject& made = Current(*part);
    EXPECT_EQ(made.Comments(), (Names{"a1", "a2", "b1", "b2"}));
    EXPECT_TRUE(first.deleted);
    EXPECT_TRUE(second.deleted);
    EXPECT_EQ(Spc().Objects(), (std::vector<sim::SpcObject*>{&made}));
}

TEST_F(Recreate, From1501TheOneObjectInPlaceIsReusedWithItsComments)
{
    Open();
    sim::SpcObject& old = UserObject(25);
    auto part = Part({&old});
    part->ChangeSpcObject(Context(), Bolt());
    EXPECT_EQ(&Current(*part), &old);
    EXPECT_FALSE(old.deleted);
    EXPECT_EQ(old.Comments(), (Names{"c1", "c2"}));
    EXPECT_EQ(old.geometry, (Names{"bolt7"}));
    EXPECT_EQ(Spc().Objects().size(), 1u);
}

TEST_F(Recreate, Before1501NoCommentObjectIsMoved)
{
    Open({15, 0, 0, 0});
    sim::SpcObject& old = UserObject(25);
    auto part = Part({&old});
    part->ChangeSpcObject(Context(), Bolt());
    EXPECT_TRUE(Current(*part).Comments().empty());
    EXPECT_EQ(CountContaining("#42("), 0u);
}

TEST_F(Recreate, ARefusedObjectLeavesTheOldObjectsAndTheirCommentsAlone)
{
    Open();
    sim::SpcObject& first = UserObject(25, "a");
    sim::SpcObject& second = UserObject(25, "b");
    auto part = Part({&first, &second});
    Spc().RefuseAdd(2);
    EXPECT_THROW(part->ChangeSpcObject(Context(), Bolt()), CantCreateSpcObj);
    EXPECT_EQ(Spc().Objects(), (std::vector<sim::SpcObject*>{&first, &second}));
    EXPECT_EQ(first.Comments(), (Names{"a1", "a2"}));
    EXPECT_EQ(second.Comments(), (Names{"b1", "b2"}));
    EXPECT_EQ(CountContaining("#16("), 0u);
}

// moveCommentObjects on its own: the new object exists, two old objects are listed.
class MoveComments : public Recreate {
protected:
    void SetUpObjects()
    {
        Open();
        first = &UserObject(25, "a");
        second = &UserObject(25, "b");
        target = &Spc().AddObject(25);
        part = Part({first, second});
        part->GetExistsSpcObjects(Context());
        part->iSpcObj = target->Obj().As<IVel7SpcObject>();
    }

    sim::SpcObject* first = nullptr;
    sim::SpcObject* second = nullptr;
    sim::SpcObject* target = nullptr;
    std::unique_ptr<TestVelObj> part;

    void TearDown() override
    {
        part.reset();
        Recreate::TearDown();
    }
};

TEST_F(MoveComments, ARefusedRemovalStopsThatObjectWhichIsKept)
{
    SetUpObjects();
    first->refuseCommentRemovals = 1;
    part->moveCommentObjects();
    EXPECT_EQ(first->Comments(), (Names{"a1", "a2"}));
    EXPECT_EQ(target->Comments(), (Names{"b1", "b2"}));
    ASSERT_EQ(part->ExSpcObjs.size(), 1u);
    EXPECT_EQ(Spc().Find(part->ExSpcObjs[0]), second);
    part->RemoveExistsSpcObjects();
    EXPECT_FALSE(first->deleted);
    EXPECT_TRUE(second->deleted);
}

TEST_F(MoveComments, ACommentTheNewObjectRefusesGoesBackAndItsObjectIsKept)
{
    SetUpObjects();
    target->refuseCommentAdds = 1;
    part->moveCommentObjects();
    EXPECT_EQ(Sorted(first->Comments()), (Names{"a1", "a2"}));
    EXPECT_EQ(target->Comments(), (Names{"b1", "b2"}));
    ASSERT_EQ(part->ExSpcObjs.size(), 1u);
    EXPECT_EQ(Spc().Find(part->ExSpcObjs[0]), second);
}

TEST_F(MoveComments, AFailedAdditionPutsTheCommentBackBeforeTheFailureTravelsOn)
{
    SetUpObjects();
    velmar().Faults().FailMember("spcObj3.comments#15", E_FAIL, 1);
    EXPECT_THROW(part->moveCommentObjects(), _com_error);
    EXPECT_EQ(Sorted(first->Comments()), (Names{"a1", "a2"}));
    EXPECT_EQ(second->Comments(), (Names{"b1", "b2"}));
    EXPECT_TRUE(target->Comments().empty());
    EXPECT_EQ(part->ExSpcObjs.size(), 2u);
}

TEST_F(MoveComments, AHostThatKeepsRemovedCommentsIsAskedNoMoreThanItsCountAtTheStart)
{
    SetUpObjects();
    first->removalsKeepComments = true;
    part->moveCommentObjects();
    EXPECT_EQ(journal().Count("spcObj1.comments#16(0,&)"), 2u);
    EXPECT_EQ(target->Comments(), (Names{"a1", "a1", "b1", "b2"}));
}

TEST_F(MoveComments, WithoutTheNewObjectsCommentsNothingIsRemoved)
{
    SetUpObjects();
    part->iSpcObj = nullptr;
    EXPECT_THROW(part->moveCommentObjects(), _com_error);
    EXPECT_EQ(CountContaining("#16("), 0u);
}

// Every host call of a rebuild failing in turn: every comment is still in the document exactly once,
// and no old object is gone unless a new object took its place.
class RecreateFaults : public Recreate {
protected:
    void Sweep(long oldSection, int32_t answer)
    {
        std::unique_ptr<TestVelObj> part;
        sim::SpcObject* first = nullptr;
        sim::SpcObject* second = nullptr;
        SweepHostFailures(
            [&] {
                Open();
                first = &UserObject(oldSection, "a");
                second = &UserObject(oldSection, "b");
                part = Part({first, second});
                part->MoveAnswer = answer;
                return [&part, context = Context(), geometry = Bolt()] { part->ChangeSpcObject(context, geometry); };
            },
            [&](size_t n) {
                Names comments;
                for (sim::SpcObject* object : Spc().Objects())
                    for (const auto& comment : object->Comments())
                        comments.push_back(comment);
                EXPECT_EQ(Sorted(comments), (Names{"a1", "a2", "b1", "b2"})) << "call " << n;
                const sim::SpcObject* made = part->iSpcObj ? Spc().Find(part->iSpcObj) : nullptr;
                for (sim::SpcObject* old : {first, second}) {
                    if (old->deleted) {
                        EXPECT_TRUE(made && !made->deleted && made != old) << "call " << n;
                    }
                }
            });
        part.reset();
    }
};

TEST_F(RecreateFaults, RebuildingInTheOldPlace)
{
    Sweep(25, NMVelObj::MoveNotAsked);
}

TEST_F(RecreateFaults, MovingToThePresetsPlace)
{
    Sweep(30, NMVelObj::MoveToPreset);
}
