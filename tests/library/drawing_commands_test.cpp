// The whole-drawing commands through LIBRARYENTRY: the spc objects of every library part of a drawing
// (4) and find and replace (2), against the stand-in drawing.
#include "core/modal_seam.h"
#include "insert2d/drawing_stand_in.h"
#include "insert2d/user_data_block.h"
#include "library/command_dispatch.h"
#include "library/command_table.h"
#include "sim/sample_responses.h"
#include "support/library_holds_velmar.h"

#include <gmock/gmock.h>

#include <iterator>
#include <map>

using namespace drawing_test;
using response_xml::Object;
using response_xml::Response;

namespace {

const wchar_t kNut[] = L"PART:5915[d=12]";

class DrawingCommands : public LibraryHoldsVelmar<DrawingStandIn> {
protected:
    // A macro with a library identity, at the top level or inside another macro.
    long LibraryMacro(const std::wstring& id, const std::wstring& name, long owner = 0)
    {
        const long macro = Drawing().AddMacro(0, 0, owner);
        Drawing().Find(macro)->block = EncodeUserData({L"Нормсет", L"", id, name, L"nut.vbs"});
        return macro;
    }
    std::wstring NutResponse(bool spc, const std::wstring& designation = L"Гайка М12", const wchar_t* section = L"25",
                             const wchar_t* id = kNut)
    {
        std::vector<Attr> method = {{L"NM_IID", id}, {L"URL", folder_.Path()}, {L"MethodBody", L"nut.vbs"},
                                    {L"Designation", designation}};
        if (spc) {
            for (const Attr& variable : SpcVariables())
                method.push_back(variable);
            method.push_back({L"spcSection", section});
        }
        return Response(Object(L"MethodParameters", {{L"d", L"12"}}) + Object(L"Method", method));
    }
    // A command as Velmar runs it; the question is answered Yes.
    bool Run(unsigned command, std::wstring& message)
    {
        ModalSeam seam;
        seam.messageBox = [](HWND, const std::wstring&, const std::wstring&, UINT) { return IDYES; };
        testhooks::ScopedModalSeam scoped(seam);
        TraceLog log(L"LIBRARYENTRY", false);
        std::wstring title;
        const bool dialog = ExecuteLibCommand(FindLibCommand(command), title, message);
        trace = log.Text();
        return dialog;
    }
    std::vector<std::wstring> Messages()
    {
        std::vector<std::wstring> texts;
        for (const sim::Question& question : velmar().User().Questions())
            if (question.kind == "message")
                texts.push_back(question.text);
        return texts;
    }
    std::wstring trace;
};

} // namespace

TEST_F(DrawingCommands, SpcPassGivesEveryPartItsObjectAskingOncePerRunOfAnIdentifierAndCountsASetOnce)
{
    // The user's own columns: a note and the position.
    Spc().DefineColumnA({9, 1, L"Примечание"});
    Spc().DefineColumnA({3, 1, L"Позиция"});
    const long nut1 = LibraryMacro(kNut, L"Гайка М12");
    const long nut2 = LibraryMacro(kNut, L"Гайка М12");
    // Its answer fails once the part is made: the nut after it is asked for again, not given that part.
    LibraryMacro(L"PART:5915[d=16]", L"Гайка М12");
    LibraryMacro(L"PART:W", L"Шайба");
    const long plain = Drawing().AddMacro();
    const long nut3 = LibraryMacro(kNut, L"Гайка М12", plain);
    LibraryMacro(L"PART:S", L"Винт");
    // Its answer holds a section that is no number: skipped, the parts after it go on.
    LibraryMacro(L"PART:D", L"Гайка М10");
    // A bolt, a washer and a nut: three lines, counted once.
    const long set = LibraryMacro(L"TCS:1", L"Комплект");
    LibraryMacro(kNut, L"Гайка М12", set);
    // The reference book lists no member of it: skipped, not counted as made.
    LibraryMacro(kNut, L"Гайка М12", LibraryMacro(L"TCS:2", L"Комплект"));
    // Its members have no place in the bill of materials: skipped, its line, leader and comment kept.
    const long bare = LibraryMacro(L"TCS:3", L"Комплект");
    LibraryMacro(L"PART:W", L"Шайба", bare);
    const long bareLeader = Drawing().AddLeader({});
    sim::SpcObject& bareLine = Spc().AddObject(25);
    bareLine.Link(*velmar().Drawings().DrawingObject(bare));
    bareLine.Link(*velmar().Drawings().DrawingObject(bareLeader));
    bareLine.AddComment("kept");
    // Its member's answer is cut short: skipped, and the part after it is made.
    LibraryMacro(L"PART:CUT", L"Гайка М12", LibraryMacro(L"TCS:4", L"Комплект"));
    const long screw = LibraryMacro(L"PART:SH", L"Шуруп");
    book_->SetClientString(L"TCS:1", L"PART:B\r\nPART:WS\r\n" + std::wstring(kNut) + L"\r\n");
    book_->SetClientString(L"TCS:3", L"PART:W\r\n");
    book_->SetClientString(L"TCS:4", L"PART:CUT\r\n");
    book_->SetPlacedResponse(kNut, NutResponse(true));
    book_->SetPlacedResponse(L"PART:B", NutResponse(true, L"Болт М12", L"25", L"PART:B"));
    book_->SetPlacedResponse(L"PART:WS", NutResponse(true, L"Шайба 12", L"25", L"PART:WS"));
    book_->SetPlacedResponse(L"PART:5915[d=16]", NutResponse(true, L""));
    book_->SetPlacedResponse(L"PART:W", NutResponse(false));
    book_->SetPlacedResponse(L"PART:D", NutResponse(true, L"Гайка М10", L"abc"));
    book_->SetPlacedResponse(L"PART:CUT", NutResponse(true).substr(0, 60));
    book_->SetPlacedResponse(L"PART:SH", NutResponse(true, L"Шуруп", L"25", L"PART:SH"));
    std::wstring message;
    EXPECT_FALSE(Run(4, message)) << sim::Utf8(message);
    // The nuts but the one without designation and the damaged one, the first set, the wood screw; the washer
    // has no place in the bill of materials, the screw no answer, the other sets no members, none with a
    // place, or an answer cut short.
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Просмотр документа завершен. Создано объектов спецификации: 5 из 12."});
    EXPECT_THAT(trace, testing::HasSubstr(L"StrToInt64(abc) invalid argument"));
    EXPECT_EQ(journal().Count("client#31(\"PART:5915[d=12]\",\"ВЕЛМАР 2D\",&)"), 3u)
        << "for the first nut, for the nut after the failure, for the set's member";
    EXPECT_THAT(trace, testing::HasSubstr(L"Bad Response!"));
    const std::vector<long> leaders = Leaders();
    ASSERT_EQ(leaders.size(), 5u) << "the third set's, the two nuts' asked for, the first set's, the wood screw's";
    EXPECT_EQ(leaders.front(), bareLeader);
    // A nut asked for gets a new leader that joins its spc object before the macro; the set's members go
    // with the set macro and its leader.
    const auto named = [](const char* kind, long reference) { return kind + std::to_string(reference); };
    const std::string setLeader = named("leader", leaders[3]);
    EXPECT_EQ(SpcGeometry(), (std::vector<std::vector<std::string>>{{named("macro", bare), named("leader", bareLeader)},
                                                                    {named("leader", leaders[1]), named("macro", nut1)},
                                                                    {named("macro", nut2)},
                                                                    {named("leader", leaders[2]), named("macro", nut3)},
                                                                    {named("macro", set), setLeader},
                                                                    {named("macro", set), setLeader},
                                                                    {named("macro", set), setLeader},
                                                                    {named("leader", leaders[4]), named("macro", screw)}}));
    std::vector<std::string> described;
    for (sim::SpcObject* object : Spc().Objects())
        described.push_back(object->Describe() + object->DescribeComments());
    const std::string nut = "section 25, 5.1 \"Гайка М12\"";
    EXPECT_EQ(described, (std::vector<std::string>{"section 25, comment \"kept\"", nut, nut, nut, "section 25, 5.1 \"Болт М12\"",
                                                   "section 25, 5.1 \"Шайба 12\"", nut, "section 25, 5.1 \"Шуруп\""}));

    // Each line of the set commented, noted and numbered apart: a pass again puts every comment, note and
    // position on the new line of its own member, and one taken back (Velmar refusing to delete the set's
    // first old line) leaves each on its old line.
    const auto setLines = [&] {
        std::vector<sim::SpcObject*> lines;
        for (sim::SpcObject* object : Spc().Objects())
            if (object->geometry.front() == named("macro", set))
                lines.push_back(object);
        return lines;
    };
    long position = 0;
    for (sim::SpcObject* line : setLines()) {
        const std::string name = sim::Utf8(line->ColumnA(5, 1)->Text());
        line->AddComment(name);
        line->ColumnA(9, 1)->SetText(L"note " + line->ColumnA(5, 1)->Text());
        line->ColumnA(3, 1)->SetText(std::to_wstring(++position));
    }
    // Each line's name: its comments and its note.
    const auto userTexts = [&] {
        std::vector<std::string> texts;
        for (sim::SpcObject* line : setLines())
            texts.push_back(sim::Utf8(line->ColumnA(5, 1)->Text()) + ":" + line->DescribeComments() + " " +
                            sim::Utf8(line->ColumnA(9, 1)->Text()));
        return texts;
    };
    const std::vector<std::string> own = {"Болт М12:, comment \"Болт М12\" note Болт М12",
                                          "Шайба 12:, comment \"Шайба 12\" note Шайба 12",
                                          "Гайка М12:, comment \"Гайка М12\" note Гайка М12"};
    ASSERT_EQ(userTexts(), own);
    const std::vector<sim::SpcObject*> old = setLines();
    velmar().Faults().FailMember(old.front()->Name() + "#34", E_FAIL);
    EXPECT_TRUE(Run(4, message));
    velmar().Faults().Clear();
    EXPECT_EQ(setLines(), old);
    EXPECT_EQ(userTexts(), own);
    velmar().User().Clear();
    const size_t positions = document_->PositionsSet().size();
    EXPECT_FALSE(Run(4, message)) << sim::Utf8(message);
    EXPECT_NE(setLines(), old);
    EXPECT_EQ(userTexts(), own);
    EXPECT_EQ(std::vector<long>(document_->PositionsSet().begin() + static_cast<std::ptrdiff_t>(positions), document_->PositionsSet().end()),
              (std::vector<long>{1, 2, 3}));

    // A second bolt's line beside the set's own: both bolts' comments go to the bolt's new line, and a
    // take-back gives each its own back.
    sim::SpcObject& extra = Spc().AddObject(25);
    extra.Link(*velmar().Drawings().DrawingObject(set));
    for (long leader : Leaders())
        if (named("leader", leader) == setLines().front()->geometry.back())
            extra.Link(*velmar().Drawings().DrawingObject(leader));
    extra.ColumnA(5, 1)->SetText(L"Болт М12");
    extra.AddComment("extra");
    const std::vector<std::string> withExtra = {own[0], own[1], own[2], "Болт М12:, comment \"extra\" "};
    ASSERT_EQ(userTexts(), withExtra);
    velmar().Faults().FailMember(setLines().front()->Name() + "#34", E_FAIL);
    EXPECT_TRUE(Run(4, message));
    velmar().Faults().Clear();
    EXPECT_EQ(userTexts(), withExtra);
}

// Each line of a set is rebuilt from its own member's old line: twins each keep their own texts and share
// one position, a member added takes nothing typed on another line, and of two lines of one member (one
// Velmar would not delete) the set's own keeps what the user typed last.
TEST_F(DrawingCommands, SpcPassRebuildsEachLineOfASetFromItsOwnMembersLine)
{
    Spc().DefineColumnA({9, 1, L"Примечание"});
    Spc().DefineColumnA({3, 1, L"Позиция"});
    book_->SetPlacedResponse(L"PART:B", NutResponse(true, L"Болт М12", L"25", L"PART:B"));
    book_->SetPlacedResponse(L"PART:WS", NutResponse(true, L"Шайба 12", L"25", L"PART:WS"));
    book_->SetPlacedResponse(kNut, NutResponse(true));
    const std::wstring nut = std::wstring(kNut) + L"\r\n";
    // A washer under the head and one under the nut; a set the washer joins later; a set whose nut's old
    // line Velmar will not delete.
    const long twins = LibraryMacro(L"TCS:T", L"Комплект");
    const long added = LibraryMacro(L"TCS:A", L"Комплект");
    const long kept = LibraryMacro(L"TCS:K", L"Комплект");
    for (long set : {twins, added, kept})
        LibraryMacro(kNut, L"Гайка М12", set);
    book_->SetClientString(L"TCS:T", L"PART:B\r\nPART:WS\r\nPART:WS\r\n" + nut);
    book_->SetClientString(L"TCS:A", L"PART:B\r\n" + nut);
    book_->SetClientString(L"TCS:K", L"PART:B\r\nPART:WS\r\n" + nut);
    std::wstring message;
    ASSERT_FALSE(Run(4, message)) << sim::Utf8(message);

    const auto linesOf = [&](long set) {
        std::vector<sim::SpcObject*> lines;
        for (sim::SpcObject* object : Spc().Objects())
            if (object->geometry.front() == "macro" + std::to_string(set))
                lines.push_back(object);
        return lines;
    };
    // Each line: its designation, the note typed on it and its comments.
    const auto typed = [&](long set) {
        std::vector<std::string> texts;
        for (sim::SpcObject* line : linesOf(set))
            texts.push_back(sim::Utf8(line->ColumnA(5, 1)->Text()) + ": " + sim::Utf8(line->ColumnA(9, 1)->Text()) +
                            line->DescribeComments());
        return texts;
    };
    // The user numbers and notes every line apart, and comments each.
    for (long set : {twins, added, kept}) {
        long position = 0;
        for (sim::SpcObject* line : linesOf(set)) {
            line->ColumnA(3, 1)->SetText(std::to_wstring(++position));
            line->ColumnA(9, 1)->SetText(L"note " + std::to_wstring(position));
            line->AddComment("c" + std::to_string(position));
        }
    }
    const std::vector<std::string> twinsTyped = {"Болт М12: note 1, comment \"c1\"", "Шайба 12: note 2, comment \"c2\"",
                                                 "Шайба 12: note 3, comment \"c3\"", "Гайка М12: note 4, comment \"c4\""};
    const std::vector<std::string> keptTyped = {"Болт М12: note 1, comment \"c1\"", "Шайба 12: note 2, comment \"c2\"",
                                                "Гайка М12: note 3, comment \"c3\""};
    ASSERT_EQ(typed(twins), twinsTyped);

    // The washer joins the second set: its line carries no other line's note or position.
    book_->SetClientString(L"TCS:A", L"PART:B\r\nPART:WS\r\n" + nut);
    const size_t positions = document_->PositionsSet().size();
    ASSERT_FALSE(Run(4, message)) << sim::Utf8(message);
    EXPECT_EQ(typed(twins), twinsTyped);
    EXPECT_EQ(typed(added), (std::vector<std::string>{"Болт М12: note 1, comment \"c1\"", "Шайба 12: ",
                                                      "Гайка М12: note 2, comment \"c2\""}));
    EXPECT_EQ(typed(kept), keptTyped);
    EXPECT_EQ(std::vector<long>(document_->PositionsSet().begin() + static_cast<std::ptrdiff_t>(positions),
                                document_->PositionsSet().end()),
              (std::vector<long>{1, 2, 2, 4, 1, 2, 1, 2, 3}))
        << "the twins share the first one's position";

    // Velmar refuses to delete the twins' first old line: their rebuild is taken back (and the pass ends).
    velmar().Faults().FailMember(linesOf(twins).front()->Name() + "#34", E_FAIL);
    EXPECT_TRUE(Run(4, message));
    velmar().Faults().Clear();
    EXPECT_EQ(typed(twins), twinsTyped);
    // Velmar refuses to delete the third set's nut's old line, which stays beside the nut's new one.
    sim::SpcObject* oldNut = linesOf(kept).back();
    velmar().Faults().FailMember(oldNut->Name() + "#34", E_FAIL);
    EXPECT_TRUE(Run(4, message));
    velmar().Faults().Clear();
    ASSERT_EQ(linesOf(kept).size(), 4u);
    EXPECT_EQ(linesOf(kept).front(), oldNut);
    // The user types on the nut's new line.
    sim::SpcObject* newNut = linesOf(kept).back();
    newNut->ColumnA(9, 1)->SetText(L"newer");
    newNut->AddComment("newer");
    oldNut->AddComment("old");
    ASSERT_FALSE(Run(4, message)) << sim::Utf8(message);
    EXPECT_EQ(typed(twins), twinsTyped);
    EXPECT_EQ(typed(kept), (std::vector<std::string>{"Гайка М12: note 3, comment \"old\"", keptTyped[0], keptTyped[1],
                                                     "Гайка М12: newer, comment \"c3\", comment \"newer\""}))
        << "the set's own line is the nut's; the old one shows a note the nut's does not, and stays";
}

TEST_F(DrawingCommands, ADrawingWithoutPartsOrWithoutABillOfMaterialsMakesNone)
{
    // Without a bill of materials even the drawing's part is not counted.
    book_->SetPlacedResponse(kNut, NutResponse(true));
    for (bool description : {true, false}) {
        velmar().User().Clear();
        document_->SetSpcDescription(description);
        document_->AllowSpcDescriptionCreation(description);
        if (!description)
            LibraryMacro(kNut, L"Гайка М12");
        std::wstring message;
        EXPECT_FALSE(Run(4, message)) << sim::Utf8(message);
        EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Просмотр документа завершен. Создано объектов спецификации: 0 из 0."});
    }
}

TEST_F(DrawingCommands, FindAndReplaceChoosesReplacesEveryPartOfTheNameAndShowsTheListAfterwards)
{
    struct Row {
        const wchar_t* designation;              // of the replacement; none: a fastener set naming no members
        std::vector<std::wstring> names;         // the last panel's list, its value and hint
        std::wstring value;
        std::wstring hint;
        const wchar_t* button = L"button 9157";  // every part of the name replaced, or the one shown
    };
    const Row rows[] = {
        {L"Гайка М12", {L"Гайка М12", L"Шайба"}, L"Гайка М12", L"[2] Гайка М12"},
        {L"Гайка М16", {L"Гайка М16", L"Шайба"}, L"Гайка М16", L"[2] Гайка М16"},
        // A set that draws nothing replaces nothing: the user is told, the drawing stays as it was.
        {nullptr, {}, L"", L""},
        {nullptr, {}, L"", L"", L"button 9156"},
    };
    for (const Row& row : rows) {
        Release();
        Restart();
        Hold();
        LibraryMacro(kNut, L"Гайка М12");
        LibraryMacro(kNut, L"Гайка М12");
        LibraryMacro(L"PART:W", L"Шайба");
        book_->QueueSelect(sim::SelectAnswer());
        sim::SelectAnswer answer;
        answer.responseXml =
            row.designation ? NutResponse(true, row.designation) : response_xml::WithoutMembers(sim::SampleResponse("fastener_set_2d"));
        book_->QueueSelect(answer);
        for (const wchar_t* run : {L"button 9055", L"button 9055", row.button, L"cancel"})
            velmar().User().Answer("panel", _variant_t(run));
        std::wstring message;
        const bool dialog = Run(2, message);
        if (!row.designation) {
            SCOPED_TRACE(sim::Utf8(row.button));
            // The failure ends the command: the panel is not run again.
            velmar().User().Clear();
            EXPECT_EQ(message, L"Изделие \"Комплект крепежа М8: болт, шайба, гайка\" ничего не нарисовало и не помещено в чертёж.");
            EXPECT_EQ(Messages(), std::vector<std::wstring>{});
            EXPECT_EQ(Macros().size(), 3u);
            for (long macro : Macros())
                EXPECT_EQ(TypesIn(macro), std::vector<long>{});
            EXPECT_EQ(Spc().Objects().size(), 0u);
            continue;
        }
        EXPECT_FALSE(dialog) << sim::Utf8(message);
        ASSERT_EQ(book_->Selections().size(), 2u) << "closed without a choice, then chosen";
        EXPECT_EQ(book_->Selections()[0].location, kNut);
        EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Просмотр документа завершен. Выполнено замен: 2 из 2."});
        ASSERT_EQ(velmar().Panels().Pages().size(), 4u);
        const sim::PanelControl& names = *velmar().Panels().Pages()[3].Find(9151);
        EXPECT_EQ(names.items, row.names);
        EXPECT_EQ(std::wstring(_bstr_t(names.value)), row.value);
        EXPECT_EQ(names.name, row.hint);
        // Each nut drawn again by its script in its place: three macros, the washer untouched.
        ASSERT_EQ(Macros().size(), 3u);
        EXPECT_EQ(TypesIn(Macros()[0]), (std::vector<long>{1, 3}));
    }
}

namespace {

// A drawing of the spc pass's fault sweeps below: a nut and a set of two members, and what was there before.
struct SweptDrawing {
    const char* name;
    bool linesBefore;
    bool refuseMove;
    bool nutLeaderGone;
    std::vector<std::string> comments;   // of the set's lines after the pass, in order
};

const SweptDrawing kSweptDrawings[] = {{"NoLinesBefore", false, false, false, {"", ""}},
                                       {"LinesBefore", true, false, false, {"note", ""}},
                                       {"LinesBeforeCommentNotMoved", true, true, false, {"note", "", ""}},
                                       {"LinesBeforeNutsLeaderGone", true, false, true, {"note", ""}}};

// The host calls of a drawing's pass are swept in shares, each a test of its own within its time limit on
// a busy machine.
constexpr size_t kShares = 6;

struct SweepShare {
    size_t drawing;   // in kSweptDrawings
    size_t share;
};

std::vector<SweepShare> EachShareOfEachDrawing()
{
    std::vector<SweepShare> shares;
    for (size_t drawing = 0; drawing < std::size(kSweptDrawings); ++drawing)
        for (size_t share = 0; share < kShares; ++share)
            shares.push_back({drawing, share});
    return shares;
}

// Name the drawing (and the share) in the name of its test.
void PrintTo(const SweptDrawing& drawing, std::ostream* out)
{
    *out << drawing.name;
}

void PrintTo(const SweepShare& share, std::ostream* out)
{
    *out << kSweptDrawings[share.drawing].name << "_Share" << share.share + 1 << "of" << kShares;
}

class DrawingCommandsSweep : public DrawingCommands {
protected:
    // A fresh Velmar with the drawing; gives the pass over it.
    std::function<void()> Draw(const SweptDrawing& row)
    {
        Release();
        Restart();
        Hold();
        nut = LibraryMacro(kNut, L"Гайка М12");
        set = LibraryMacro(L"TCS:1", L"Комплект");
        LibraryMacro(kNut, L"Гайка М12", set);
        LibraryMacro(kNut, L"Гайка М12", set);
        book_->SetClientString(L"TCS:1", std::wstring(kNut) + L"\r\n" + kNut + L"\r\n");
        book_->SetPlacedResponse(kNut, NutResponse(true));
        if (row.linesBefore) {
            std::wstring message;
            EXPECT_FALSE(Run(4, message)) << sim::Utf8(message);
            velmar().User().Clear();
            sim::SpcObject& first = *LinesOf(set).at(0);
            first.AddComment("note");
            first.refuseCommentRemovals = row.refuseMove ? 1000 : 0;
        }
        if (row.nutLeaderGone)
            for (long leader : Leaders())
                for (const std::string& name : LinesOf(nut).at(0)->geometry)
                    if (name == Name("leader", leader))
                        Drawing().Delete(leader);
        return [this] {
            std::wstring message;
            reported = Run(4, message);
        };
    }
    std::vector<sim::SpcObject*> LinesOf(long owner)
    {
        std::vector<sim::SpcObject*> lines;
        for (sim::SpcObject* object : Spc().Objects())
            if (std::find(object->geometry.begin(), object->geometry.end(), Name("macro", owner)) != object->geometry.end())
                lines.push_back(object);
        return lines;
    }
    // The comments of the set's lines, one text a line.
    std::vector<std::string> SetComments()
    {
        std::vector<std::string> texts;
        for (sim::SpcObject* object : LinesOf(set)) {
            std::string text;
            for (const std::string& comment : object->Comments())
                text += comment;
            texts.push_back(text);
        }
        return texts;
    }
    // The rule after every fault: each part and set in one generation of lines on one live leader, beside
    // which only an old line of the set may stand where mayKeep.
    void CheckLines(const SweptDrawing& row, bool mayKeep)
    {
        std::vector<std::string> leaders;
        for (long leader : Leaders())
            leaders.push_back(Name("leader", leader));
        std::vector<std::string> held;
        for (sim::SpcObject* object : Spc().Objects()) {
            EXPECT_FALSE(object->geometry.empty()) << "a line with no geometry";
            for (const std::string& name : object->geometry)
                if (std::find(leaders.begin(), leaders.end(), name) != leaders.end())
                    held.push_back(name);
        }
        for (const std::string& leader : leaders)
            EXPECT_TRUE(std::find(held.begin(), held.end(), leader) != held.end()) << leader << " is held by no line";
        for (long owner : {nut, set}) {
            std::map<std::string, size_t> byLeader;   // its lines by their live leader ("" none)
            bool comment = false;
            for (sim::SpcObject* object : LinesOf(owner)) {
                const std::vector<std::string>& geometry = object->geometry;
                comment = comment || !object->Comments().empty();
                const auto leader = std::find_first_of(geometry.begin(), geometry.end(), leaders.begin(), leaders.end());
                ++byLeader[leader != geometry.end() ? *leader : ""];
            }
            const size_t generation = owner == set ? 2 : 1;
            size_t whole = 0;
            size_t kept = 0;
            for (const auto& [leader, lines] : byLeader) {
                if (leader.empty() && !(owner == nut && row.nutLeaderGone))
                    ADD_FAILURE() << "macro " << owner << ": a line without a live leader";
                if (lines == generation && whole == 0)
                    ++whole;
                else
                    kept += lines;
            }
            if (row.linesBefore || !byLeader.empty()) {
                EXPECT_EQ(whole, 1u) << "macro " << owner << ": one generation of lines on one leader";
            }
            EXPECT_LE(kept, owner == set && mayKeep ? 1u : 0u) << "macro " << owner << ": lines beside its generation";
            if (owner == set && row.linesBefore) {
                EXPECT_TRUE(comment) << "the user's comment is lost";
            }
        }
    }

    long nut = 0;
    long set = 0;
    bool reported = false;   // the last pass's answer: an error dialog shown
};

class DrawingCommandsSpcPassFailures : public DrawingCommandsSweep, public testing::WithParamInterface<SweepShare> {};

class DrawingCommandsSpcPassRefusals : public DrawingCommandsSweep, public testing::WithParamInterface<SweptDrawing> {};

} // namespace

// The pass over a drawing with a nut and a set of two members: before it nothing, or their spc objects and
// leaders from an earlier pass, with the user's comment on the set's first line (which Velmar may refuse
// to move), or with the nut's line left without its leader (as a silent insertion leaves it). Every host
// call failing in turn leaves each of them in exactly one generation of lines on one live leader (the nut's
// line may stay without one where it had none), or none where it had none; no line without geometry, no
// leader held by no line, and the comment on a line that holds the set. Beside that generation only an old
// line Velmar kept, for a comment it would not move, stands, with its own leader.
TEST_P(DrawingCommandsSpcPassFailures, EveryHostCallOfAnSpcPassFailingLeavesEachPartAndSetInAnSpcObjectWithItsLeader)
{
    const SweptDrawing& row = kSweptDrawings[GetParam().drawing];
    SweepDrawingFailures([&] { return Draw(row); },
                         [&](const sim::Call& failed) {
                             SCOPED_TRACE(failed.Text());
                             CheckLines(row, row.refuseMove);
                         },
                         {GetParam().share, kShares});
    // The last run went through: the comment on the set's first new line, or on its old line kept.
    EXPECT_EQ(SetComments(), row.comments);
}

// The same drawings, with every inclusion of geometry that Velmar answers "not done" in turn, and with
// Velmar refusing to delete the set's old lines: the same rule holds, and an old line Velmar would not
// delete stands beside the generation with its own leader.
TEST_P(DrawingCommandsSpcPassRefusals, VelmarRefusingAnInclusionOrAnOldLinesDeletionLeavesEachPartAndSetInAnSpcObjectWithItsLeader)
{
    const SweptDrawing& row = GetParam();
    for (int n = 1;; ++n) {
        const std::function<void()> run = Draw(row);
        const int before = Spc().Inclusions();
        Spc().RefuseInclusion(n);
        run();
        SCOPED_TRACE(testing::Message() << "inclusion " << n << " not done");
        CheckLines(row, row.refuseMove);
        if (Spc().Inclusions() - before < n) {
            EXPECT_GT(n, 2) << "fewer inclusions than the pass makes";
            break;
        }
        EXPECT_TRUE(reported) << "a refused inclusion taken as done";
    }
    if (!row.linesBefore)
        return;
    // Velmar will not delete the set's old lines: the pass fails with them as they were.
    const std::function<void()> refused = Draw(row);
    const std::vector<sim::SpcObject*> old = LinesOf(set);
    for (sim::SpcObject* line : old)
        velmar().Faults().FailMember(line->Name() + "#34", E_FAIL);
    refused();
    velmar().Faults().Clear();
    {
        SCOPED_TRACE("old lines not deleted");
        CheckLines(row, row.refuseMove);
        EXPECT_EQ(LinesOf(set), old);
        EXPECT_EQ(SetComments(), (std::vector<std::string>{"note", ""}));
    }
    // Nor the later one, once the first is gone: it stays readable with its leader, and the user is told.
    const std::function<void()> later = Draw(row);
    sim::SpcObject* second = LinesOf(set).at(1);
    velmar().Faults().FailMember(second->Name() + "#34", E_FAIL);
    later();
    velmar().Faults().Clear();
    SCOPED_TRACE("the later old line not deleted");
    CheckLines(row, true);
    EXPECT_TRUE(reported);
    const std::vector<sim::SpcObject*> after = LinesOf(set);
    EXPECT_NE(std::find(after.begin(), after.end(), second), after.end());
}

INSTANTIATE_TEST_SUITE_P(EachShareOfEachDrawing, DrawingCommandsSpcPassFailures, testing::ValuesIn(EachShareOfEachDrawing()));
INSTANTIATE_TEST_SUITE_P(EachDrawing, DrawingCommandsSpcPassRefusals, testing::ValuesIn(kSweptDrawings));
