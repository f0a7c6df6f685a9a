// Which old line each part of a set is rebuilt from, and whose new line takes each old line's comments.
#include "objects/spc_line_pairing.h"

#include <gtest/gtest.h>

namespace {

// "DESIGNATION|NAME", or "DESIGNATION|NAME|MEMBER" where the part or line knows its member; a part written
// "-" gets no line. A line written with a leading "*" is held by the set's leader, one with a leading "+"
// is attached to the set beside its leader; a plain line is one of a set without a leader.
SpcLineIdentity Identity(const std::wstring& text)
{
    const size_t bar = text.find(L'|');
    const size_t second = bar == std::wstring::npos ? bar : text.find(L'|', bar + 1);
    if (bar == std::wstring::npos)
        return {text, L"", L""};
    return {text.substr(0, bar), text.substr(bar + 1, second == std::wstring::npos ? second : second - bar - 1),
            second == std::wstring::npos ? L"" : text.substr(second + 1)};
}

std::vector<std::optional<SpcLineIdentity>> Parts(const std::vector<std::wstring>& texts)
{
    std::vector<std::optional<SpcLineIdentity>> parts;
    for (const std::wstring& text : texts)
        parts.push_back(text == L"-" ? std::nullopt : std::optional<SpcLineIdentity>(Identity(text)));
    return parts;
}

std::vector<OldSpcLine> Lines(const std::vector<std::wstring>& texts)
{
    std::vector<OldSpcLine> lines;
    for (const std::wstring& text : texts)
        lines.push_back(text.starts_with(L"+") ? OldSpcLine{Identity(text.substr(1)), false}
                                               : OldSpcLine{Identity(text.substr(text.starts_with(L"*") ? 1 : 0)), true});
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

TEST(SpcLinePairing, EachPartTakesTheLineMadeForItAndEachLineGivesItsCommentsToItsPart)
{
    struct Row {
        const char* what;
        std::vector<std::wstring> parts;
        std::vector<std::wstring> lines;
        std::vector<int> own;     // per part
        std::vector<int> owner;   // per line
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
        {"without a leader the first of two lines of one part is its own",
         {L"Б|Болт", L"Г|Гайка"}, {L"Б|Болт", L"Б|Болт", L"Г|Гайка"}, {0, 2}, {0, 0, 1}},
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
         {L"Б|Болт|1", L"Г2|Гайка 2|4"}, {L"Б|Болт|1", L"Ш|Шайба|2", L"Г|Гайка|3"}, {0, 1}, {0, 1, -1}},
        {"a part without a line takes none, and its old line is no part's",
         {L"Б|Болт", L"-", L"Г|Гайка"}, {L"Б|Болт", L"Ш|Шайба", L"Г|Гайка"}, {0, -1, 2}, {0, -1, 2}},
        {"no old lines", {L"Б|Болт"}, {}, {-1}, {}},
    };
    for (const Row& row : rows) {
        const SpcLinePairing pairing = PairSpcLines(Parts(row.parts), Lines(row.lines));
        EXPECT_EQ(Indices(pairing.own), row.own) << row.what;
        EXPECT_EQ(Indices(pairing.owner), row.owner) << row.what;
    }
}
