// Which old line each part of a set is rebuilt from, and whose new line takes each old line's comments.
#include "objects/spc_line_pairing.h"

#include "sim/journal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <string>

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
         "line left in a member's place is its own, the one left in the place of a member served is no other's",
         {L"А|А", L"Б2|Б", L"В2|В", L"Г2|Г"}, {L"*А|А", L"*Г2|Б1", L"*В1|В1", L"*Г1|Г1"}, {0, -1, 2, 1}, {0, 3, 2, -1}},
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
        {"a noted line listed by hand with the washer's designation stands first, the washer's own typed with the nut's: "
         "the washer keeps its own", {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {L"Ш|Шайба#by-hand", L"Б|Болт", L"Г|Гайка#nW", L"Г|Гайка"},
         {1, 2, 3}, {-1, 0, 1, 2}},
        // Without a leader places decide only where the other lines confirm them.
        {"twins, no leader, the bolt's line typed with a free text, a hand line last: no washer's line is the bolt's",
         {L"Б|Болт", L"Ш|Шайба", L"Ш|Шайба", L"Г|Гайка"}, {L"|Деталь особая#nB", L"Ш|Шайба#nW1", L"Ш|Шайба#nW2", L"Г|Гайка#nN", L"|Прокладка#nH"},
         {-1, 1, 2, 3}, {-1, 1, 2, 3, -1}},
        {"the washer without spc data, no leader, the nut's line typed with its designation, a hand line: the nut takes neither",
         {L"Б|Болт", L"?Ш|Шайба", L"Г|Гайка"}, {L"Б|Болт#nB", L"Ш|Шайба#nN", L"|Прокладка#nH"}, {0, -1, -1}, {0, -1, -1}},
        {"no leader, the bolt's line typed with a free text, the washer listed by hand last: the washer keeps its own",
         {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {L"|Деталь особая#nB", L"Ш|Шайба#nW", L"Г|Гайка#nN", L"Ш|Шайба#nH"}, {-1, 1, 2},
         {-1, 1, 2, -1}},
        {"the washer without spc data, no leader, a second noted line showing its text is the user's and counts: the lines "
         "are not as many as the members with spc data", {L"Б|Болт", L"?Ш|Шайба", L"Г|Гайка"},
         {L"Ш|Шайба", L"Ш|Шайба#мой", L"Б|Болт", L"Б|Болт#n"}, {2, 0, -1}, {1, -1, 0, -1}},
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
        {"the own line typed over, held by the part's leader, a noted hand line showing the part's text beside it: the "
         "leader tells", L"Г|Гайка|Q", {L"*|мой текст#n|Q", L"Г|Гайка#by-hand"}, 0, {0, -1}, 0, {0, -1}},
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

namespace {

// The generated sweep's world. Each line keeps, from the moment it is made, whom it was made for: a member
// of the make-up in force (renumbered when a replace makes that make-up anew) or the user. The user's acts
// change what a line shows, never that. The judge reads only those records and the pairing's answer.
constexpr size_t kUsers = static_cast<size_t>(-1);

// A standard part shows its whole designation in the name column; the pin has a designation of its own and
// a name every size shares.
struct SweptKind {
    const wchar_t* key;
    const wchar_t* name;
    const wchar_t* shown;
    bool designated;
};
constexpr SweptKind kSweptKinds[] = {
    {L"B", L"Болт", L"Болт М", false}, {L"W", L"Шайба", L"Шайба ", false}, {L"N", L"Гайка", L"Гайка М", false},
    {L"P", L"Шплинт", L"Шп", true}};
constexpr int kSweptSizes[] = {8, 12, 16};

struct SweptMember {
    size_t kind = 0;
    int size = 8;
    bool spc = true;
};

// The member as the make-up knows it: a member without spc data by its name and identifier only.
SpcLineIdentity SweptTexts(const SweptMember& member)
{
    const SweptKind& kind = kSweptKinds[member.kind];
    const std::wstring size = std::to_wstring(member.size);
    const std::wstring id = kind.key + size;
    if (kind.designated)
        return {member.spc ? kind.shown + size : L"", kind.name, id};
    return {L"", kind.shown + size, id};
}

// What it is whatever its size: the kind a replace's successor is found by.
SpcLineIdentity SweptKindOf(const SweptMember& member)
{
    return {L"", kSweptKinds[member.kind].name, kSweptKinds[member.kind].key};
}

struct SweptLine {
    OldSpcLine line;
    size_t madeFor = kUsers;
};

struct SweptState {
    bool single = false;
    bool leader = false;
    bool column = false;   // the bill of materials has the "ID Normset" column
    std::vector<SweptMember> members;
    std::vector<SweptLine> lines;
};

SweptLine MadeLine(const SweptState& state, size_t member, std::vector<SpcLineColumn> others)
{
    SpcLineIdentity shown = SweptTexts(state.members[member]);
    if (!state.column)
        shown.member.clear();
    return {{shown, state.leader, std::move(others)}, member};
}

std::optional<size_t> LineMadeFor(const SweptState& state, size_t member)
{
    for (size_t j = 0; j < state.lines.size(); ++j)
        if (state.lines[j].madeFor == member)
            return j;
    return std::nullopt;
}

SpcLineMakeUp SweptMakeUp(const SweptState& state)
{
    SpcLineMakeUp makeUp;
    makeUp.single = state.single;
    for (const SweptMember& member : state.members) {
        makeUp.parts.push_back(SpcLinePart{SweptTexts(member), member.spc});
        makeUp.kinds.push_back(SweptKindOf(member));
    }
    return makeUp;
}

std::vector<OldSpcLine> SweptLines(const SweptState& state)
{
    std::vector<OldSpcLine> lines;
    for (const SweptLine& line : state.lines)
        lines.push_back(line.line);
    return lines;
}

// For each new member, the old member it succeeds: the n-th of its kind succeeds the n-th.
std::vector<std::optional<size_t>> Succession(const std::vector<SweptMember>& was, const std::vector<SweptMember>& now, bool single)
{
    std::vector<std::optional<size_t>> predecessor(now.size());
    if (single) {
        predecessor[0] = 0;
        return predecessor;
    }
    std::vector<bool> taken(was.size());
    for (size_t k = 0; k < now.size(); ++k)
        for (size_t i = 0; i < was.size(); ++i)
            if (!taken[i] && was[i].kind == now[k].kind) {
                taken[i] = true;
                predecessor[k] = i;
                break;
            }
    return predecessor;
}

// What a replace leaves: the lines made for no member as they were, then a line for each new member with spc
// data, made from the line of the member it succeeds (its other columns kept, its texts the new member's).
// A single part's line is rewritten where it stands unless the host makes a new one.
SweptState Replaced(const SweptState& was, const std::vector<SweptMember>& now, bool inPlace)
{
    const std::vector<std::optional<size_t>> predecessor = Succession(was.members, now, was.single);
    SweptState next = was;
    next.members = now;
    next.lines.clear();
    for (const SweptLine& line : was.lines)
        if (line.madeFor == kUsers || (was.single && inPlace))
            next.lines.push_back(line);
    for (size_t k = 0; k < now.size(); ++k) {
        if (!now[k].spc)
            continue;
        std::optional<size_t> from = predecessor[k] ? LineMadeFor(was, *predecessor[k]) : std::nullopt;
        SweptLine made = MadeLine(next, k, from ? was.lines[*from].line.others : std::vector<SpcLineColumn>{});
        if (was.single && inPlace) {
            const size_t own = *LineMadeFor(next, 0);
            made.line.setsOwn = next.lines[own].line.setsOwn;
            next.lines[own] = made;
        } else {
            next.lines.push_back(made);
        }
    }
    return next;
}

// The judge. A line shows a member's text where its "ID Normset" value, designation or name is the member's.
bool ShowsTextOf(const OldSpcLine& line, const SpcLineIdentity& member)
{
    const auto same = [](const std::wstring& shown, const std::wstring& text) { return !shown.empty() && shown == text; };
    return same(line.identity.member, member.member) || same(line.identity.designation, member.designation) ||
           same(line.identity.name, member.name);
}

bool ShowsOnlyTextsOf(const OldSpcLine& line, const SpcLineIdentity& member)
{
    const auto from = [](const std::wstring& shown, const std::wstring& text) { return shown.empty() || shown == text; };
    return line.others.empty() && from(line.identity.member, member.member) &&
           from(line.identity.designation, member.designation) && from(line.identity.name, member.name) &&
           ShowsTextOf(line, member);
}

// The lines still show where a member's line stands: it shows the member's text, and no more lines show that
// text than members do.
bool Recognisable(const SweptState& state, size_t member)
{
    const SpcLineIdentity texts = SweptTexts(state.members[member]);
    if (!ShowsTextOf(state.lines[*LineMadeFor(state, member)].line, texts))
        return false;
    const auto lines = std::count_if(state.lines.begin(), state.lines.end(),
                                     [&](const SweptLine& line) { return ShowsTextOf(line.line, texts); });
    const auto members = std::count_if(state.members.begin(), state.members.end(), [&](const SweptMember& other) {
        const SpcLineIdentity its = SweptTexts(other);
        return its.designation == texts.designation && its.name == texts.name;
    });
    return lines <= members;
}

// The set's run shows plainly: each line made for a member shows the member's text, and no other stretch of
// the set's lines shows the members' texts in the set's order.
bool RunVisible(const SweptState& state)
{
    std::vector<size_t> lined;
    for (size_t i = 0; i < state.members.size(); ++i)
        if (LineMadeFor(state, i)) {
            if (!ShowsTextOf(state.lines[*LineMadeFor(state, i)].line, SweptTexts(state.members[i])))
                return false;
            lined.push_back(i);
        }
    std::vector<size_t> sets;
    for (size_t j = 0; j < state.lines.size(); ++j)
        if (state.lines[j].line.setsOwn || !state.leader)
            sets.push_back(j);
    size_t runs = 0;
    for (size_t s = 0; s + lined.size() <= sets.size(); ++s) {
        bool shows = true;
        for (size_t p = 0; p < lined.size() && shows; ++p)
            shows = ShowsTextOf(state.lines[sets[s + p]].line, SweptTexts(state.members[lined[p]]));
        runs += shows ? 1 : 0;
    }
    return runs == 1;
}

// Whether the records place a line in its member's run rather than the other line: after the line made for
// the nearest member with a line before it and before that of the nearest after it; for the first member the
// last of the two before the next member's line, for the last the first after the previous member's. None
// where the lines cannot show it: no neighbour, or, the run not plain to see, a neighbour's line not
// recognisable.
std::optional<bool> StandsInPlace(const SweptState& state, size_t member, size_t line, size_t other)
{
    const bool visible = RunVisible(state);
    std::optional<size_t> before;
    std::optional<size_t> after;
    for (size_t i = member; i-- > 0 && !before;)
        if ((before = LineMadeFor(state, i)) && !visible && !Recognisable(state, i))
            return std::nullopt;
    for (size_t i = member + 1; i < state.members.size() && !after; ++i)
        if ((after = LineMadeFor(state, i)) && !visible && !Recognisable(state, i))
            return std::nullopt;
    if (before && after)
        return *before < line && line < *after;
    if (after)
        return line < *after && !(line < other && other < *after);
    if (before)
        return *before < line && !(*before < other && other < line);
    return std::nullopt;
}

bool NamesMember(const OldSpcLine& line, const SpcLineIdentity& texts)
{
    return !line.identity.member.empty() && line.identity.member == texts.member;
}

// What tells the member's own line from a line the user attached that shows the member's text. Nothing where
// both show it, no leader holds one of them alone, no "ID Normset" value names the member, and in a set the
// run does not single one out (what the user wrote on them tells nothing of who made them). The own line
// typed away where it no longer shows the member's text and nothing else tells them: what the user typed
// decides, and the hand line may be taken for the member's own, though a line the user wrote on never goes on
// that guess.
enum class Telling { Told, Nothing, TypedAway };

Telling TellApart(const SweptState& state, size_t member, size_t hand)
{
    const std::optional<size_t> own = LineMadeFor(state, member);
    if (!own)
        return Telling::Told;
    const SpcLineIdentity texts = SweptTexts(state.members[member]);
    const OldSpcLine& a = state.lines[hand].line;
    const OldSpcLine& b = state.lines[*own].line;
    if (!ShowsTextOf(a, texts) || a.setsOwn != b.setsOwn || NamesMember(a, texts) || NamesMember(b, texts))
        return Telling::Told;
    if (!ShowsTextOf(b, texts))
        return Telling::TypedAway;
    if (state.single)
        return Telling::Nothing;
    const std::optional<bool> handInPlace = StandsInPlace(state, member, hand, *own);
    const std::optional<bool> ownInPlace = StandsInPlace(state, member, *own, hand);
    return !handInPlace || !ownInPlace || *handInPlace == *ownInPlace ? Telling::Nothing : Telling::Told;
}

// A member's own line typed with the text of a member without spc data reads as that member's own, kept from
// when it had spc data and standing in no place: the lines no longer tell the places of those after it, nor
// whose each line is. Only the rules on what goes hold there.
bool ReadsAsAnotherMembersOwn(const SweptState& state)
{
    return std::any_of(state.lines.begin(), state.lines.end(), [&](const SweptLine& line) {
        if (line.madeFor == kUsers || state.single)
            return false;
        bool spc = false;
        bool without = false;
        for (const SweptMember& member : state.members)
            if (ShowsTextOf(line.line, SweptTexts(member)))
                (member.spc ? spc : without) = true;
        return without && !spc;
    });
}

// What a road does with a line: rebuilds it as a member's (the member's new line made from it), deletes it
// with a member (a second line, a line of a member without spc data, a dropped member's), or leaves it.
struct SweptFate {
    enum { Stays, Rebuilt, Goes } what = Stays;
    std::optional<size_t> member;   // among the old members; none where the answer does not say
};

std::vector<SweptFate> FatesOf(const SweptState& state, const SpcLinePairing& pairing)
{
    std::vector<SweptFate> fates(state.lines.size());
    for (size_t j = 0; j < fates.size(); ++j)
        if (pairing.owner[j])
            fates[j] = {SweptFate::Goes, pairing.owner[j]};
    for (size_t i = 0; i < pairing.own.size(); ++i)
        if (pairing.own[i])
            fates[*pairing.own[i]] = {state.members[i].spc ? SweptFate::Rebuilt : SweptFate::Goes, i};
    return fates;
}

// A line rebuilt for a new member that succeeds no old one is given to no old member: none.
std::vector<SweptFate> FatesOf(const SweptState& state, const std::vector<std::optional<size_t>>& predecessor,
                               const SpcLineHandOver& handOver)
{
    std::vector<SweptFate> fates(state.lines.size());
    for (size_t j = 0; j < fates.size(); ++j)
        if (handOver.goes[j])
            fates[j] = {SweptFate::Goes, handOver.heir[j] ? predecessor[*handOver.heir[j]] : std::nullopt};
    for (size_t k = 0; k < handOver.own.size(); ++k)
        if (handOver.own[k])
            fates[*handOver.own[k]] = {SweptFate::Rebuilt, predecessor[k]};
    return fates;
}

// The first rule the fates break, empty where they keep every one. A line attached by hand showing no
// member's text is no member's; a line made for one member goes to no other unless it shows that one's text;
// a line attached by hand is not rebuilt as a member's (but where nothing tells it from the member's own, or
// the own line no longer shows the member, or it shows nothing but the member's texts), and goes only where it
// shows nothing but a member's texts; where nothing tells the two apart, neither goes if the user wrote on
// it. Where a member's line reads as the own line of a member without spc data, only the rules on what goes
// hold.
std::string Judge(const SweptState& state, const std::vector<SweptFate>& fates)
{
    std::vector<SpcLineIdentity> texts;
    for (const SweptMember& member : state.members)
        texts.push_back(SweptTexts(member));
    const auto showsAny = [&](const OldSpcLine& line) {
        return std::any_of(texts.begin(), texts.end(), [&](const SpcLineIdentity& member) { return ShowsTextOf(line, member); });
    };
    const bool placesLost = ReadsAsAnotherMembersOwn(state);
    for (size_t j = 0; j < fates.size(); ++j) {
        const OldSpcLine& line = state.lines[j].line;
        const SweptFate& fate = fates[j];
        const std::string at = " (line " + std::to_string(j) + ")";
        if (placesLost && fate.what != SweptFate::Goes)
            continue;
        if (state.lines[j].madeFor != kUsers) {
            // Twins are one member twice: which of them a line goes with tells nothing.
            const SweptMember& madeFor = state.members[state.lines[j].madeFor];
            const auto other = [&](size_t i) {
                const SweptMember& member = state.members[i];
                return (member.kind != madeFor.kind || member.size != madeFor.size || member.spc != madeFor.spc) &&
                       !ShowsTextOf(line, texts[i]);
            };
            if (fate.what == SweptFate::Rebuilt && !fate.member)
                return "a member's line is rebuilt for a new member that succeeds no old one" + at;
            if (fate.what != SweptFate::Stays && fate.member && other(*fate.member))
                return "a line made for one member is given to another whose text it does not show" + at;
            continue;
        }
        if (!showsAny(line)) {
            if (fate.what != SweptFate::Stays)
                return "a line attached by hand that shows no member's text is a member's" + at;
        } else if (fate.what == SweptFate::Rebuilt) {
            // A line showing nothing but the member's texts rebuilt as its line is one that went and a new
            // line of the member's: nothing the user wrote is rewritten.
            if (!fate.member || (TellApart(state, *fate.member, j) == Telling::Told && !ShowsOnlyTextsOf(line, texts[*fate.member])))
                return "a line attached by hand is rebuilt as a member's line" + at;
        } else if (fate.what == SweptFate::Goes) {
            const bool onlyTexts = fate.member ? ShowsOnlyTextsOf(line, texts[*fate.member])
                                               : std::any_of(texts.begin(), texts.end(), [&](const SpcLineIdentity& member) {
                                                     return ShowsOnlyTextsOf(line, member);
                                                 });
            if (!onlyTexts)
                return "a line attached by hand goes though it shows more than the member's texts" + at;
        }
    }
    for (size_t i = 0; i < state.members.size(); ++i)
        for (size_t h = 0; h < state.lines.size(); ++h)
            if (state.lines[h].madeFor == kUsers && state.members[i].spc && TellApart(state, i, h) == Telling::Nothing)
                for (const size_t j : {h, *LineMadeFor(state, i)})
                    if (fates[j].what == SweptFate::Goes && !state.lines[j].line.others.empty())
                        return "a line the user wrote on goes where nothing tells it from the member's own" +
                               std::string(" (line ") + std::to_string(j) + ")";
    return {};
}

// A failing case printed as a row of the tables above, the records' answer as its expectation.
std::wstring Notation(const SpcLineIdentity& identity, const std::wstring& prefix)
{
    std::wstring text = prefix + identity.designation + L"|" + identity.name;
    if (!identity.member.empty())
        text += L"|" + identity.member;
    return text;
}

std::string RowText(const SpcLineIdentity& identity, const std::wstring& prefix = L"")
{
    return "L\"" + sim::Utf8(Notation(identity, prefix)) + "\"";
}

// The line's note in column 9.1 after "#"; any other column it fills in `extra`.
std::string RowLine(const SweptState& state, const SweptLine& line, size_t at, std::string& extra)
{
    std::wstring text = Notation(line.line.identity, line.line.setsOwn ? L"*" : state.leader && !state.single ? L"+" : L"");
    bool noted = false;
    for (const SpcLineColumn& column : line.line.others)
        if (!noted && column.collection == 0 && column.type == 9 && column.number == 1) {
            text += L"#" + column.text;
            noted = true;
        } else {
            extra += " line " + std::to_string(at) + " also fills " + std::to_string(column.collection) + ":" +
                     std::to_string(column.type) + "." + std::to_string(column.number) + "=" + sim::Utf8(column.text) + ";";
        }
    return "L\"" + sim::Utf8(text) + "\"";
}

std::string Join(const std::vector<std::string>& items)
{
    std::string out = "{";
    for (size_t k = 0; k < items.size(); ++k)
        out += (k ? ", " : "") + items[k];
    return out + "}";
}

std::string Numbers(const std::vector<int>& numbers)
{
    std::vector<std::string> items;
    for (const int n : numbers)
        items.push_back(std::to_string(n));
    return Join(items);
}

std::string PairingRow(const SweptState& state, const std::string& what, const SpcLinePairing& got)
{
    std::string extra;
    std::vector<std::string> lines;
    for (size_t j = 0; j < state.lines.size(); ++j)
        lines.push_back(RowLine(state, state.lines[j], j, extra));
    std::vector<int> own;
    for (size_t i = 0; i < state.members.size(); ++i)
        own.push_back(state.members[i].spc && LineMadeFor(state, i) ? static_cast<int>(*LineMadeFor(state, i)) : -1);
    std::vector<int> owner;
    for (const SweptLine& line : state.lines)
        owner.push_back(line.madeFor == kUsers ? -1 : static_cast<int>(line.madeFor));
    const std::string answer = "got own " + Numbers(Indices(got.own)) + ", owner " + Numbers(Indices(got.owner));
    if (state.single)
        return "{\"" + what + "\", " + RowText(SweptTexts(state.members[0])) + ", " + Join(lines) + ", " + std::to_string(own[0]) +
               ", " + Numbers(owner) + ", " + std::to_string(own[0]) + ", " + Numbers(owner) + "},  // column " +
               (state.column ? "true" : "false") + "; " + answer + extra;
    std::vector<std::string> parts;
    for (const SweptMember& member : state.members)
        parts.push_back(RowText(SweptTexts(member), member.spc ? L"" : L"?"));
    return "{\"" + what + "\", " + Join(parts) + ", " + Join(lines) + ", " + Numbers(own) + ", " + Numbers(owner) + ", " +
           (state.column ? "true" : "false") + ", true},  // " + answer + extra;
}

std::string HandOverRow(const SweptState& state, const std::vector<SweptMember>& now, const std::string& what,
                        const SpcLineHandOver& got)
{
    const std::vector<std::optional<size_t>> predecessor = Succession(state.members, now, state.single);
    std::vector<std::string> was;
    for (const SweptMember& member : state.members) {
        // The old members succeeded by kind, as the replace finds them.
        SpcLineIdentity texts = SweptTexts(member);
        texts.member = kSweptKinds[member.kind].key;
        was.push_back(RowText(texts, member.spc ? L"" : L"?"));
    }
    std::string extra;
    std::vector<std::string> lines;
    for (size_t j = 0; j < state.lines.size(); ++j)
        lines.push_back(RowLine(state, state.lines[j], j, extra));
    std::vector<std::string> parts;
    std::vector<int> own;
    for (size_t k = 0; k < now.size(); ++k) {
        parts.push_back(now[k].spc ? RowText(SweptKindOf(now[k])) : "L\"-\"");
        const std::optional<size_t> from =
            now[k].spc && predecessor[k] ? LineMadeFor(state, *predecessor[k]) : std::nullopt;
        own.push_back(from ? static_cast<int>(*from) : -1);
    }
    std::vector<int> heir;
    for (const SweptLine& line : state.lines) {
        int to = line.madeFor == kUsers ? -2 : -1;
        for (size_t k = 0; k < now.size(); ++k)
            if (line.madeFor != kUsers && predecessor[k] == line.madeFor && now[k].spc)
                to = static_cast<int>(k);
        heir.push_back(to);
    }
    std::vector<int> gotHeir;
    for (size_t j = 0; j < got.goes.size(); ++j)
        gotHeir.push_back(!got.goes[j] ? -2 : got.heir[j] ? static_cast<int>(*got.heir[j]) : -1);
    return "{\"" + what + "\", " + Join(was) + ", " + Join(lines) + ", " + Join(parts) + ", " + Numbers(own) + ", " +
           Numbers(heir) + "},  // " + (state.column ? "column true; " : "") + "got own " + Numbers(Indices(got.own)) +
           ", heir " + Numbers(gotHeir) + extra;
}

// The user's acts and the roads, drawn from one generator.
class Sweep {
public:
    explicit Sweep(unsigned seed) : random_(seed) {}

    // A part or a set placed: a line for each member with spc data, in the set's order.
    SweptState Place()
    {
        SweptState state;
        state.single = Chance(3, 10);
        state.leader = Chance(1, 2);
        state.column = Chance(1, 4);
        const int size = kSweptSizes[Pick(std::size(kSweptSizes))];
        if (state.single) {
            state.members.push_back({Pick(std::size(kSweptKinds)), size, true});
        } else {
            for (size_t kind = 0; kind < std::size(kSweptKinds); ++kind)
                if (kind == 0 || kind == 2 || Chance(kind == 1 ? 4 : 1, 5))
                    state.members.push_back({kind, size, !Chance(1, 6)});
            if (Chance(1, 4)) {
                const size_t twin = Pick(state.members.size());
                state.members.insert(state.members.begin() + static_cast<std::ptrdiff_t>(twin) + 1, state.members[twin]);
            }
            if (std::none_of(state.members.begin(), state.members.end(), [](const SweptMember& m) { return m.spc; }))
                state.members[0].spc = true;
        }
        for (size_t i = 0; i < state.members.size(); ++i)
            if (state.members[i].spc)
                state.lines.push_back(MadeLine(state, i, {}));
        return state;
    }

    // One act of the user's: a note on a line, a line typed over (with another member's text, its own or a free
    // text, now and then with a note), or a line attached by hand after the others.
    void Act(SweptState& state)
    {
        const unsigned act = Pick(10u);
        if (act < 3 && !state.lines.empty()) {
            Write(state.lines[Pick(state.lines.size())].line);
        } else if (act < 6 && !state.lines.empty()) {
            SweptLine& line = state.lines[Pick(state.lines.size())];
            const unsigned how = Pick(10u);
            if (how < 7) {
                size_t member = Pick(state.members.size());
                if (how < 5 && state.members.size() > 1)
                    while (member == line.madeFor)
                        member = Pick(state.members.size());
                else if (how >= 5 && line.madeFor != kUsers)
                    member = line.madeFor;
                const SpcLineIdentity texts = SweptTexts(state.members[member]);
                line.line.identity.designation = texts.designation;
                line.line.identity.name = texts.name;
            } else {
                line.line.identity.name = Chance(1, 2) ? L"мой текст" : L"Деталь особая";
            }
            if (Chance(2, 5))
                Write(line.line);
        } else {
            SweptLine hand;
            hand.line.setsOwn = false;
            if (Chance(3, 10)) {
                hand.line.identity.name = L"Прокладка";
            } else {
                const SpcLineIdentity texts = SweptTexts(state.members[Pick(state.members.size())]);
                hand.line.identity.designation = texts.designation;
                hand.line.identity.name = texts.name;
            }
            if (Chance(3, 5))
                Write(hand.line);
            state.lines.push_back(hand);
        }
    }

    // The make-up a replace draws: the same again, another size, a member dropped or a twin added.
    std::vector<SweptMember> Successors(const SweptState& state, bool& inPlace)
    {
        std::vector<SweptMember> now = state.members;
        inPlace = state.single && Chance(3, 5);
        const unsigned how = Pick(10u);
        if (how >= 4 && how != 8 && how != 7) {
            int size = now[0].size;
            while (size == now[0].size)
                size = kSweptSizes[Pick(std::size(kSweptSizes))];
            for (SweptMember& member : now)
                member.size = size;
        }
        if (state.single) {
            if (how == 7)
                now[0].kind = Pick(std::size(kSweptKinds));
            return now;
        }
        if ((how == 7 || how == 9 || how == 6) && now.size() > 1) {
            std::vector<SweptMember> fewer = now;
            fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(Pick(now.size())));
            if (std::any_of(fewer.begin(), fewer.end(), [](const SweptMember& m) { return m.spc; }))
                now = fewer;
        }
        if (how == 8) {
            const size_t twin = Pick(now.size());
            now.insert(now.begin() + static_cast<std::ptrdiff_t>(twin) + 1, now[twin]);
        }
        return now;
    }

    bool Chance(unsigned in, unsigned of) { return Pick(of) < in; }

    template <typename N>
    N Pick(N count)
    {
        return static_cast<N>(random_() % count);
    }

private:
    // A note in column 9.1 (each one the user writes is his own text), now and then another column.
    void Write(OldSpcLine& line)
    {
        const std::wstring text = L"n" + std::to_wstring(++written_);
        if (Chance(1, 5)) {
            line.others.push_back(Chance(1, 2) ? SpcLineColumn{0, 6, 1, text} : SpcLineColumn{1, 3, 2, text});
            return;
        }
        for (SpcLineColumn& column : line.others)
            if (column.collection == 0 && column.type == 9 && column.number == 1) {
                column.text = text;
                return;
            }
        line.others.push_back({0, 9, 1, text});
    }

    std::mt19937 random_;
    int written_ = 0;
};

} // namespace

// Parts and sets placed, written on and replaced along generated roads: whatever the lines show, a line
// made for one member never becomes another's unless it shows that member's text, a line the user attached
// is rebuilt as a member's only where the lines cannot tell it from the member's own, and it goes only where
// it shows nothing but a member's texts (Judge).
TEST(SpcLinePairing, GeneratedRoadsKeepEachLineWithWhomItWasMadeFor)
{
    constexpr int kScenarios = 2500;
    // A broken pairing fails thousands of cases: a few of each rule broken are printed.
    constexpr int kPrinted = 10;
    constexpr int kPrintedOfARule = 3;
    Sweep sweep(20240611u);
    int cases = 0;
    int failures = 0;
    int shown = 0;
    std::map<std::string, int> printed;
    // A replace of lines the rebuild's pairing already failed on fails with it: only the first is printed.
    bool pairingFailed = false;
    const auto check = [&](const std::string& verdict, const std::function<std::string()>& row, bool print) {
        ++cases;
        if (verdict.empty())
            return;
        ++failures;
        int& ofTheRule = printed[verdict.substr(0, verdict.find(" (line"))];
        if (print && shown < kPrinted && ofTheRule < kPrintedOfARule) {
            ++shown;
            ++ofTheRule;
            ADD_FAILURE() << verdict << "\n" << row();
        }
    };
    const auto pairing = [&](const SweptState& state) {
        const std::vector<OldSpcLine> lines = SweptLines(state);
        const SpcLinePairing got = state.single ? PairSinglePartLines(SweptTexts(state.members[0]), lines, state.column)
                                                : PairOldSpcLines(SweptMakeUp(state), lines, state.column);
        const std::string verdict = Judge(state, FatesOf(state, got));
        pairingFailed = !verdict.empty();
        check(verdict, [&] { return PairingRow(state, "sweep: " + verdict, got); }, true);
    };
    for (int scenario = 0; scenario < kScenarios; ++scenario) {
        SweptState state = sweep.Place();
        const unsigned roads = 1 + sweep.Pick(3u);
        for (unsigned road = 0; road <= roads; ++road) {
            for (unsigned acts = sweep.Pick(3u) + (road == roads ? 1 : 0); acts > 0; --acts)
                sweep.Act(state);
            pairing(state);
            if (road == roads)
                break;
            bool inPlace = false;
            const std::vector<SweptMember> now = sweep.Successors(state, inPlace);
            std::vector<SpcLineIdentity> kinds;
            std::vector<bool> getsLine;
            for (const SweptMember& member : now) {
                kinds.push_back(SweptKindOf(member));
                getsLine.push_back(member.spc);
            }
            const SpcLineHandOver got = HandOverOldSpcLines(SweptMakeUp(state), SweptLines(state), state.column, kinds, getsLine);
            const std::string verdict = Judge(state, FatesOf(state, Succession(state.members, now, state.single), got));
            check(verdict, [&] { return HandOverRow(state, now, "sweep, replaced: " + verdict, got); }, !pairingFailed);
            state = Replaced(state, now, inPlace);
        }
    }
    EXPECT_EQ(failures, 0) << "of " << cases << " cases";
}
