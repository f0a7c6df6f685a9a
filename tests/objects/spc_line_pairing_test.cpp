// Which old line each part of a set is rebuilt from, and whose new line takes each old line's comments.
#include "objects/spc_line_pairing.h"

#include <gtest/gtest.h>

namespace {

// "DESIGNATION|NAME", or "DESIGNATION|NAME|MEMBER" where the part or line knows its member; a part written
// "-" gets no line, one written with a leading "?" has no spc data. A line written with a leading "*" is
// held by the set's leader, one with a leading "+" is attached to the set beside its leader; a plain line
// is one of a set without a leader. A line's "#TEXT" at the end is a note written in its column 9.1.
SpcLineIdentity Identity(std::wstring text)
{
    text = text.substr(0, text.find(L'#'));
    const size_t bar = text.find(L'|');
    const size_t second = bar == std::wstring::npos ? bar : text.find(L'|', bar + 1);
    if (bar == std::wstring::npos)
        return {text, L"", L""};
    return {text.substr(0, bar), text.substr(bar + 1, second == std::wstring::npos ? second : second - bar - 1),
            second == std::wstring::npos ? L"" : text.substr(second + 1)};
}

std::vector<std::optional<SpcLinePart>> Parts(const std::vector<std::wstring>& texts)
{
    std::vector<std::optional<SpcLinePart>> parts;
    for (const std::wstring& text : texts)
        if (text == L"-")
            parts.push_back(std::nullopt);
        else if (text.starts_with(L"?"))
            parts.push_back(SpcLinePart{Identity(text.substr(1)), false});
        else
            parts.push_back(SpcLinePart{Identity(text)});
    return parts;
}

OldSpcLine Line(const std::wstring& text)
{
    OldSpcLine line{Identity(text.substr(text.starts_with(L"+") || text.starts_with(L"*") ? 1 : 0)), text.starts_with(L"*"), {}};
    if (const size_t note = text.find(L'#'); note != std::wstring::npos)
        line.others.push_back({0, 9, 1, text.substr(note + 1)});
    return line;
}

std::vector<OldSpcLine> Lines(const std::vector<std::wstring>& texts)
{
    std::vector<OldSpcLine> lines;
    for (const std::wstring& text : texts)
        lines.push_back(Line(text));
    return lines;
}

// -1 for none.
std::vector<int> Indices(const std::vector<std::optional<size_t>>& pairs)
{
    std::vector<int> indices;
    for (const auto& index : pairs)
        indices.push_back(index ? static_cast<int>(*index) : -1);
    return indices;
}

} // namespace

// The parts of a set as it stands: each row's old lines paired with them.
TEST(SpcLinePairing, EachPartTakesTheLineMadeForItAndEachLineGivesItsCommentsToItsPart)
{
    struct Row {
        const char* what;
        std::vector<std::wstring> parts;
        std::vector<std::wstring> lines;
        std::vector<int> own;     // per part
        std::vector<int> owner;   // per line
        bool column = false;      // the bill of materials has the "ID Normset" column: a line's member is its value there
        bool ordered = true;      // the parts are in the set's order, not the drawing's
    };
    const Row rows[] = {
        {"by designation, the lines out of the set's order",
         {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {L"Г|Гайка", L"Б|Болт", L"Ш|Шайба"}, {1, 2, 0}, {2, 0, 1}},
        {"by designation before name: the name of another part is not enough",
         {L"Б|Шайба", L"Ш|Болт"}, {L"Ш|Шайба", L"Б|Болт"}, {1, 0}, {1, 0}},
        {"by name where no line shows a designation",
         {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {L"|Гайка", L"|Шайба", L"|Болт"}, {2, 1, 0}, {2, 1, 0}},
        {"an empty text shows nothing: the bolt's line deleted, the others keep theirs",
         {L"|Болт", L"|Шайба", L"|Гайка"}, {L"|Шайба", L"|Гайка"}, {-1, 0, 1}, {1, 2}},
        {"twins each take a line of their own, in Velmar's order",
         {L"Б|Болт", L"Ш|Шайба", L"Ш|Шайба", L"Г|Гайка"}, {L"Б|Болт", L"Ш|Шайба", L"Ш|Шайба", L"Г|Гайка"},
         {0, 1, 2, 3}, {0, 1, 2, 3}},
        {"a part added has no old line; the others keep theirs",
         {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {L"Б|Болт", L"Г|Гайка"}, {0, -1, 1}, {0, 2}},
        {"a part dropped: its line is no part's",
         {L"Б|Болт", L"Г|Гайка"}, {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {0, 2}, {0, -1, 1}},
        {"a part renamed takes the line left, in the set's order",
         {L"Б|Болт", L"Ш2|Шайба 2", L"Г|Гайка"}, {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {0, 1, 2}, {0, 1, 2}},
        {"of two lines of one part the set's leader holds the own one; the other's comments go to it too",
         {L"Б|Болт", L"Г|Гайка"}, {L"+Б|Болт", L"*Б|Болт", L"*Г|Гайка"}, {1, 2}, {0, 0, 1}},
        {"without a leader, of two noted lines of one part the one next to its neighbour's is its own, the other the user's",
         {L"Б|Болт", L"Г|Гайка"}, {L"Б|Болт#n1", L"Б|Болт#n2", L"Г|Гайка"}, {1, 2}, {-1, 0, 1}},
        {"a line beside the leader showing a part's text stays that part's second line, a part left or not",
         {L"Б|Болт", L"Ш|Шайба"}, {L"*Б|Болт", L"+Б|Болт"}, {0, -1}, {0, 0}},
        {"the washer's line typed over with the nut's text: the nut keeps the line in its place",
         {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {L"Б|Болт", L"Г|Гайка", L"Г|Гайка"}, {0, 1, 2}, {0, 1, 2}},
        {"the same under the set's leader, a line attached by hand before them",
         {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {L"+|Прокладка", L"*Б|Болт", L"*Г|Гайка", L"*Г|Гайка"}, {1, 2, 3}, {-1, 0, 1, 2}},
        {"twins from the reference book, the first twin's line typed over with the nut's text",
         {L"Б|Болт", L"Ш|Шайба", L"Ш|Шайба", L"Г|Гайка"}, {L"Б|Болт", L"Г|Гайка", L"Ш|Шайба", L"Г|Гайка"},
         {0, 1, 2, 3}, {0, 1, 2, 3}},
        {"a second line of one part goes to a part left only where it is the set's own",
         {L"Б|Болт", L"Ш|Шайба"}, {L"Б|Болт", L"Б|Болт"}, {0, 1}, {0, 1}},
        {"an empty text shows no part: a line left over is no part's, not the empty designation's",
         {L"|Болт"}, {L"|Болт", L"|Прокладка"}, {0}, {0, -1}},
        {"a line attached by hand that shows no member's text is no member's, a member left or not",
         {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {L"*Б|Болт", L"+|Прокладка", L"*Г|Гайка"}, {0, -1, 2}, {0, -1, 2}},
        {"a renamed member takes the set's own line left, the hand line stays no member's",
         {L"Б|Болт", L"Ш2|Шайба 2", L"Г|Гайка"}, {L"*Б|Болт", L"+|Прокладка", L"*Ш|Шайба", L"*Г|Гайка"},
         {0, 2, 3}, {0, -1, 1, 2}},
        {"the member a line knows before its texts: a line typed over with the nut's text stays the washer's",
         {L"Б|Болт|1", L"Ш|Шайба|2", L"Г|Гайка|3"}, {L"Г|Гайка|2", L"Б|Болт|1", L"Г|Гайка|3"}, {1, 0, 2}, {1, 0, 2}},
        {"a member dropped and another renamed: the renamed one takes the line in its place",
         {L"Б|Болт|1", L"Г2|Гайка 2|4"}, {L"*Б|Болт|1", L"*Ш|Шайба|2", L"*Г|Гайка|3"}, {0, 1}, {0, 1, -1}},
        {"a part without a line takes none, and its old line is no part's",
         {L"Б|Болт", L"-", L"Г|Гайка"}, {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {0, -1, 2}, {0, -1, 2}},
        {"no old lines", {L"Б|Болт"}, {}, {-1}, {}},
        {"a name two members share, typed over a third member's line: each keeps the line in its place",
         {L"|Деталь", L"|Шайба", L"|Деталь"}, {L"|Деталь", L"|Деталь", L"|Деталь"}, {0, 1, 2}, {0, 1, 2}},
        {"twins, the bolt's line typed over with their text: each keeps the line in its place",
         {L"Б|Болт", L"Ш|Шайба", L"Ш|Шайба", L"Г|Гайка"}, {L"Ш|Шайба", L"Ш|Шайба", L"Ш|Шайба", L"Г|Гайка"},
         {0, 1, 2, 3}, {0, 1, 2, 3}},
        {"the washer's line typed over with the nut's, the pin's built otherwise: each keeps the line in its place",
         {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка", L"Шп2|Шплинт 2"}, {L"Б|Болт", L"Г|Гайка", L"Г|Гайка", L"Шп|Шплинт"},
         {0, 1, 2, 3}, {0, 1, 2, 3}},
        {"a line typed over with the text of a member whose own line is built otherwise is that member's; the "
         "line left in a member's place is its own",
         {L"А|А", L"Б2|Б", L"В2|В", L"Г2|Г"}, {L"*А|А", L"*Г2|Б1", L"*В1|В1", L"*Г1|Г1"}, {0, 3, 2, 1}, {0, 3, 2, 1}},
        {"a member without spc data is known by what its line shows; the line attached by hand stays",
         {L"Б|Болт", L"?Ш|Шайба", L"Г|Гайка"}, {L"*Б|Болт", L"*Ш|Шайба", L"+|Прокладка", L"*Г|Гайка"}, {0, 1, 3}, {0, 1, -1, 2}},
        {"a line showing the text of a member without spc data and a note is the user's",
         {L"Б|Болт", L"?Ш|Шайба", L"Г|Гайка"}, {L"*Б|Болт", L"*Ш|Шайба#мой текст", L"*Г|Гайка"}, {0, -1, 2}, {0, -1, 2}},
        {"a line showing a part's text and a note of its own beside the part's line is the user's, not its second line",
         {L"Б|Болт", L"Ш|Шайба"}, {L"*Б|Болт#n", L"+Б|Болт#мой текст"}, {0, -1}, {0, -1}},
        // Places count once: a member's among the members with spc data, a line's among the set's own but
        // those of members without spc data.
        {"a member without spc data has no place: its neighbours' lines keep theirs",
         {L"Б|Болт", L"?Ш|Шайба", L"Г|Гайка", L"Д|Шплинт"}, {L"*Б|Болт", L"*Ш|Шайба", L"*Д|Шплинт", L"*Д|Шплинт"}, {0, 1, 2, 3},
         {0, 1, 2, 3}},
        {"the bolt's line typed with the nut's text, the washer without spc data: the bolt keeps its line in its place",
         {L"Б|Болт", L"?Ш|Шайба", L"Г|Гайка"}, {L"Г|Гайка", L"Г|Гайка"}, {0, -1, 1}, {0, 2}},
        {"the same under the leader", {L"Б|Болт", L"?Ш|Шайба", L"Г|Гайка"}, {L"*Г|Гайка", L"*Г|Гайка"}, {0, -1, 1}, {0, 2}},
        {"the hand line standing first, no leader, the washer's line typed with the nut's text: the washer keeps it",
         {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {L"|Прокладка", L"Б|Болт", L"Г|Гайка", L"Г|Гайка"}, {1, 2, 3}, {-1, 0, 1, 2}},
        {"the bolt's line typed with the washer's text, the hand line last: the bolt keeps it",
         {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {L"Ш|Шайба", L"Ш|Шайба", L"Г|Гайка", L"|Прокладка"}, {0, 1, 2}, {0, 1, 2, -1}},
        {"the nut's line typed with the washer's text, the hand line first: the nut keeps it",
         {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {L"|Прокладка", L"Б|Болт", L"Ш|Шайба", L"Ш|Шайба"}, {1, 2, 3}, {-1, 0, 1, 2}},
        {"the washer now without spc data keeps its line; the lines of members with spc data as many as they: the nut's typed "
         "over is its own", {L"Б|Болт", L"?Ш|Шайба", L"Г|Гайка"}, {L"Б|Болт", L"Ш|Шайба", L"|мой текст"}, {0, 1, 2}, {0, 1, 2}},
        {"a second line of a member without spc data is its own, not a member's left without a line",
         {L"Б|Болт", L"?Ш|Шайба", L"Г|Гайка", L"Д|Шплинт"}, {L"*Б|Болт", L"*Ш|Шайба", L"*Ш|Шайба", L"*Д|Шплинт"}, {0, 1, -1, 3},
         {0, 1, 1, 3}},
        {"the same without a leader", {L"Б|Болт", L"?Ш|Шайба", L"Г|Гайка", L"Д|Шплинт"}, {L"Б|Болт", L"Ш|Шайба", L"Ш|Шайба", L"Д|Шплинт"},
         {0, 1, -1, 3}, {0, 1, 1, 3}},
        {"twins, the first twin's line typed with the nut's text, the nut's own line beside the leader: the twin keeps it",
         {L"Б|Болт", L"Ш|Шайба", L"Ш|Шайба", L"Г|Гайка"}, {L"*Б|Болт", L"*Г|Гайка", L"*Ш|Шайба", L"+Г|Гайка"}, {0, 1, 2, 3},
         {0, 1, 2, 3}},
        {"twins: the line the leader holds is the first twin's, the one beside it the second's", {L"Ш|Шайба", L"Ш|Шайба"},
         {L"+Ш|Шайба", L"*Ш|Шайба"}, {1, 0}, {1, 0}},
        {"members read in the drawing's order have no places: the nut's line typed with the washer's text stays the nut's",
         {L"Б|Болт", L"Г|Гайка", L"Ш|Шайба"}, {L"*Б|Болт", L"*Ш|Шайба", L"*Ш|Шайба"}, {0, 2, 1}, {0, 2, 1}, false, false},
        // Without a leader a line no member shows is a member's only between its neighbours' lines, or in its
        // place where the lines are as many as the members with spc data.
        {"a member without a line (added since, or its line deleted): a set without a leader keeps the hand line",
         {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {L"Б|Болт", L"Г|Гайка", L"|Прокладка"}, {0, -1, 1}, {0, 2, -1}},
        {"a member without spc data takes no line, not even one between its neighbours' lines",
         {L"Б|Болт", L"?Ш|Шайба", L"Г|Гайка"}, {L"Б|Болт", L"|Прокладка", L"Г|Гайка"}, {0, -1, 2}, {0, -1, 2}},
        {"the lines as many as the members with spc data: the nut's typed over is its own in its place among them",
         {L"Б|Болт", L"?Ш|Шайба", L"Г|Гайка"}, {L"Б|Болт", L"|мой текст"}, {0, -1, 1}, {0, 2}},
        {"a line typed over between its neighbours' lines is the member's, the hand line after the last stays",
         {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {L"Б|Болт", L"|мой текст", L"Г|Гайка", L"|Прокладка"}, {0, 1, 2}, {0, 1, 2, -1}},
        {"the first member's line typed over, a hand line beside: taken for the user's, the member gets a new one",
         {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {L"|мой текст", L"Ш|Шайба", L"Г|Гайка", L"|Прокладка"}, {-1, 1, 2}, {-1, 1, 2, -1}},
        // A replace lists the lines it hands on before those it makes: a line the user listed with a member's
        // exact designation then stands before the member's own, which stands next to its neighbours' lines.
        {"a noted line listed by hand with the nut's designation stands first: the nut's own is the one after the washer's",
         {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {L"Г|Гайка#by-hand", L"Б|Болт#nB", L"Ш|Шайба#nW", L"Г|Гайка#nN"}, {1, 2, 3}, {-1, 0, 1, 2}},
        {"the same with the bolt's designation: the bolt's own is the last before the washer's",
         {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {L"Б|Болт#by-hand", L"Б|Болт#nB", L"Ш|Шайба#nW", L"Г|Гайка#nN"}, {1, 2, 3}, {-1, 0, 1, 2}},
        // Without a leader places decide only where the other lines confirm them.
        {"twins, no leader, the bolt's line typed with a free text, a hand line last: no washer's line is the bolt's",
         {L"Б|Болт", L"Ш|Шайба", L"Ш|Шайба", L"Г|Гайка"}, {L"|Деталь особая#nB", L"Ш|Шайба#nW1", L"Ш|Шайба#nW2", L"Г|Гайка#nN", L"|Прокладка#nH"},
         {-1, 1, 2, 3}, {-1, 1, 2, 3, -1}},
        {"the washer without spc data, no leader, the nut's line typed with its designation, a hand line: the nut takes neither",
         {L"Б|Болт", L"?Ш|Шайба", L"Г|Гайка"}, {L"Б|Болт#nB", L"Ш|Шайба#nN", L"|Прокладка#nH"}, {0, -1, -1}, {0, -1, -1}},
        {"no leader, the bolt's line typed with a free text, the washer listed by hand last: the washer keeps its own",
         {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {L"|Деталь особая#nB", L"Ш|Шайба#nW", L"Г|Гайка#nN", L"Ш|Шайба#nH"}, {-1, 1, 2},
         {-1, 1, 2, -1}},
        {"twins under the leader, the bolt's line gone: a twin's own line is not another line of theirs, the bolt takes none",
         {L"Б|Болт", L"Ш|Шайба", L"Ш|Шайба", L"Г|Гайка"}, {L"*Ш|Шайба#n1", L"*Ш|Шайба#n2", L"*Г|Гайка#nN"}, {-1, 0, 1, 2}, {1, 2, 3}},
        // With the "ID Normset" column a line is a member's only where its value names it.
        {"a hand line between the members' lines whose value names no member is the user's",
         {L"Б|Болт|1", L"Ш|Шайба|2", L"Г|Гайка|3"}, {L"Б|Болт|1", L"|Прокладка|9", L"Г|Гайка|3"}, {0, -1, 2}, {0, -1, 2}, true},
        {"a line without a value beside lines naming their members is the user's",
         {L"Б|Болт|1", L"Ш|Шайба|2", L"Г|Гайка|3"}, {L"Б|Болт|1", L"Ш|Шайба", L"Г|Гайка|3"}, {0, -1, 2}, {0, -1, 2}, true},
        {"a line naming a member a set no longer knows the identifier of is told by what it shows",
         {L"Б|Болт|1", L"|Шайба", L"Г|Гайка|3"}, {L"Б|Болт|1", L"|Шайба|2", L"Г|Гайка|3"}, {0, 1, 2}, {0, 1, 2}, true},
        {"a line naming the nut in the washer's place, the washer's line gone: the nut's second line, the washer knowing its "
         "identifier", {L"Б|Болт|1", L"Ш|Шайба|2", L"Г|Гайка|3"}, {L"*Б|Болт|1", L"*Г|Гайка|3", L"*Г|Гайка|3"}, {0, -1, 2}, {0, 2, 2},
         true},
        {"a line showing a member's text whose value names no member is the user's: the member gets a new line",
         {L"Б|Болт|1", L"Г|Гайка|3"}, {L"*Б|Болт|1", L"*Г|Гайка|9"}, {0, -1}, {0, -1}, true},
    };
    for (const Row& row : rows) {
        const SpcLinePairing pairing = PairOldSpcLines({Parts(row.parts), {}, row.ordered}, Lines(row.lines), row.column);
        EXPECT_EQ(Indices(pairing.own), row.own) << row.what;
        EXPECT_EQ(Indices(pairing.owner), row.owner) << row.what;
    }
}

// A set rebuilt in another make-up: its old lines are first paired with its members as they were, then each
// old member's lines go to the new member that succeeds it (by member, texts, then the set's order).
TEST(SpcLinePairing, EachOldLineGoesToTheSuccessorOfTheMemberItWasMadeFor)
{
    struct Row {
        const char* what;
        std::vector<std::wstring> was;    // the old members
        std::vector<std::wstring> lines;
        std::vector<std::wstring> now;    // the new members, "-" for one without a line
        std::vector<int> own;             // per new member
        std::vector<int> heir;            // per line: the new member taking its comments, -1 the first new line, -2 it stays
    };
    const Row rows[] = {
        {"the washer's line typed over with the nut's text, replaced by a make-up without the washer: the washer's "
         "line goes, the nut keeps its own",
         {L"Б|Болт|Б", L"Ш|Шайба|Ш", L"Г|Гайка|Г"}, {L"Б|Болт", L"Г|Гайка", L"Г|Гайка"}, {L"Б|Болт|Б", L"Г|Гайка|Г"},
         {0, 2}, {0, -1, 1}},
        {"members in another order and every text another size: each by its member",
         {L"Б10|Болт 10|Б", L"Ш10|Шайба 10|Ш", L"Г10|Гайка 10|Г"}, {L"Б10|Болт 10", L"Ш10|Шайба 10", L"Г10|Гайка 10"},
         {L"Г12|Гайка 12|Г", L"Б12|Болт 12|Б", L"Ш12|Шайба 12|Ш"}, {2, 0, 1}, {1, 2, 0}},
        {"a line attached by hand without a leader stays; a member added takes no line",
         {L"Б|Болт|Б", L"Г|Гайка|Г"}, {L"Б|Болт", L"Г|Гайка", L"|Прокладка"}, {L"Б|Болт|Б", L"Ш|Шайба|Ш", L"Г|Гайка|Г"},
         {0, -1, 1}, {0, 2, -2}},
        {"a member now without spc data, known by the name its macro keeps: its line goes, to the first new line",
         {L"Б|Болт|Б", L"|Шайба|Ш", L"Г|Гайка|Г"}, {L"Б|Болт", L"|Шайба", L"Г|Гайка"}, {L"Б|Болт|Б", L"-", L"Г|Гайка|Г"},
         {0, -1, 2}, {0, -1, 2}},
        {"a single part replaced by a set: its line goes to the member of its kind, the hand line stays",
         {L"Г|Гайка|Г"}, {L"Г|Гайка", L"+|Прокладка"}, {L"Б|Болт|Б", L"Ш|Шайба|Ш", L"Г|Гайка|Г"}, {-1, -1, 0}, {2, -2}},
        {"a single part replaced by a set, the hand line listed first and no leader: it stays",
         {L"Г|Гайка|Г"}, {L"+|Прокладка", L"+Г|Гайка"}, {L"Б|Болт|Б", L"Г|Гайка|Г"}, {-1, 1}, {-2, 1}},
        {"a single part replaced by a part of another kind, its line doubled before: one line, the other goes to it",
         {L"Г|Гайка|Г"}, {L"Г|Гайка", L"+Г|Гайка", L"+|Прокладка"}, {L"Ш|Шайба|Ш"}, {0}, {0, 0, -2}},
    };
    for (const Row& row : rows) {
        // One old member is a single part: a set of one.
        SpcLineMakeUp was{Parts(row.was), {}, true, row.was.size() == 1};
        for (const std::optional<SpcLinePart>& member : was.parts)
            was.kinds.push_back(member->identity);
        std::vector<SpcLineIdentity> now;
        std::vector<bool> getsLine;
        for (const std::optional<SpcLinePart>& member : Parts(row.now)) {
            getsLine.push_back(member.has_value());
            now.push_back(member ? member->identity : SpcLineIdentity{});
        }
        const SpcLineHandOver handOver = HandOverOldSpcLines(was, Lines(row.lines), false, now, getsLine);
        std::vector<int> heir;
        for (size_t j = 0; j < handOver.heir.size(); ++j)
            heir.push_back(!handOver.goes[j] ? -2 : handOver.heir[j] ? static_cast<int>(*handOver.heir[j]) : -1);
        EXPECT_EQ(Indices(handOver.own), row.own) << row.what;
        EXPECT_EQ(heir, row.heir) << row.what;
    }
}

// A single part is a set of one. Each row runs with the "ID Normset" column (a line's member is its value
// there) and without it (no line knows its member).
TEST(SpcLinePairing, ASinglePartKeepsOneLineOfItselfAndEveryLineTheUserAttached)
{
    struct Row {
        const char* what;
        std::wstring part;
        std::vector<std::wstring> lines;
        int own;                  // without the column
        std::vector<int> owner;
        int ownWithColumn;
        std::vector<int> ownerWithColumn;
    };
    const Row rows[] = {
        {"the own line and a line attached by hand", L"Г|Гайка|Q", {L"Г|Гайка|Q", L"|Прокладка"}, 0, {0, -1}, 0, {0, -1}},
        {"the hand line listed first", L"Г|Гайка|Q", {L"|Прокладка", L"Г|Гайка|Q"}, 1, {-1, 0}, 1, {-1, 0}},
        {"a hand line with a leader of its own listed first", L"Г|Гайка|Q", {L"*|Прокладка", L"*Г|Гайка|Q"}, 1, {-1, 0}, 1, {-1, 0}},
        {"a line doubled before: the one the leader holds is the own, the other goes", L"Г|Гайка|Q",
         {L"Г|Гайка|Q", L"*Г|Гайка|Q", L"|Прокладка"}, 1, {0, 0, -1}, 1, {0, 0, -1}},
        {"the own line typed over, held by the part's leader", L"Г|Гайка|Q", {L"*|мой текст|Q", L"|Прокладка"}, 0, {0, -1}, 0, {0, -1}},
        {"the own line typed over, no leader: nothing tells it, nothing is reused", L"Г|Гайка|Q", {L"|мой текст|Q", L"|Прокладка"},
         -1, {-1, -1}, 0, {0, -1}},
        {"the own line typed over, both lines under leaders: nothing is reused", L"Г|Гайка|Q", {L"*|Прокладка", L"*|мой текст|Q"},
         -1, {-1, -1}, 1, {-1, 0}},
        {"a single line is the part's whatever it shows", L"Г|Гайка|Q", {L"|Прокладка"}, 0, {0}, 0, {0}},
        {"a hand line typed with the part's text is its second line", L"Г|Гайка|Q", {L"Г|Гайка|Q", L"Г|Гайка"}, 0, {0, 0}, 0, {0, -1}},
        {"a line showing the part's name under another designation is the user's", L"Г|Гайка|Q", {L"Г|Гайка|Q", L"Х|Гайка"}, 0,
         {0, -1}, 0, {0, -1}},
        {"the same with a note of its own is the user's", L"Г|Гайка|Q", {L"Г|Гайка|Q#n", L"Г|Гайка#мой текст"}, 0, {0, -1}, 0, {0, -1}},
        {"the designation shown in the name's column", L"|Гайка М12|Q", {L"|Прокладка", L"|Гайка М12|Q"}, 1, {-1, 0}, 1, {-1, 0}},
        {"lines made before the bill of materials had the column are told by their texts", L"Г|Гайка",
         {L"|Прокладка", L"Г|Гайка"}, 1, {-1, 0}, 1, {-1, 0}},
        {"a hand line whose value names another part is the user's", L"Г|Гайка|Q", {L"|Прокладка|R", L"Г|Гайка|Q"}, 1, {-1, 0}, 1,
         {-1, 0}},
        {"the same beside an own line made before the column", L"Г|Гайка|Q", {L"Г|Гайка", L"|Прокладка|R"}, 0, {0, -1}, 0, {0, -1}},
    };
    for (const Row& row : rows)
        for (const bool column : {false, true}) {
            std::vector<OldSpcLine> lines;
            for (const std::wstring& text : row.lines) {
                // A line written with a leading "*" holds a leader of the part.
                OldSpcLine line = Line(text);
                if (!column)
                    line.identity.member.clear();
                lines.push_back(line);
            }
            const SpcLinePairing pairing = PairSinglePartLines(Identity(row.part), lines, column);
            EXPECT_EQ(Indices(pairing.own), std::vector<int>{column ? row.ownWithColumn : row.own}) << row.what << ", column " << column;
            EXPECT_EQ(Indices(pairing.owner), column ? row.ownerWithColumn : row.owner) << row.what << ", column " << column;
        }
}
