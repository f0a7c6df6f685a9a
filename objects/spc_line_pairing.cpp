#include "objects/spc_line_pairing.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::wstring SpcLineIdentity::*, 3> kShownTexts = {&SpcLineIdentity::member, &SpcLineIdentity::designation,
                                                                        &SpcLineIdentity::name};
constexpr size_t kNoPlace = static_cast<size_t>(-1);

// Where the set's own lines that no part takes by what they show go.
enum class LinesLeft {
    // To the part left in the line's place, else to the first part left: lines a leader holds are the set's.
    InPlace,
    // Only between the lines of the part's neighbours, or to the part in its place where the lines are as
    // many as the parts with spc data: a set without a leader may hold a line the user attached.
    Between,
};

// byColumn: the lines were told by the "ID Normset" column, so a part that knows its identifier takes no line
// left over.
SpcLinePairing Pair(const std::vector<std::optional<SpcLinePart>>& parts, const std::vector<OldSpcLine>& lines, bool ordered,
                    LinesLeft left, bool byColumn = false)
{
    SpcLinePairing pairing;
    pairing.own.resize(parts.size());
    pairing.owner.resize(lines.size());
    // The set's own lines first, each group in Velmar's order.
    std::vector<size_t> order(lines.size());
    for (size_t j = 0; j < lines.size(); ++j)
        order[j] = j;
    std::stable_partition(order.begin(), order.end(), [&](size_t j) { return lines[j].setsOwn; });

    // Places in the set's order: a part's among every part, drawn or not, a line's among the set's own.
    const auto lined = [&](size_t i) { return parts[i] && parts[i]->hasSpcData; };
    std::vector<size_t> partPlace(parts.size(), kNoPlace);
    std::vector<size_t> placed;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (ordered)
            partPlace[i] = i;
        if (lined(i))
            placed.push_back(i);
    }
    std::vector<size_t> linePlace(lines.size(), kNoPlace);
    for (size_t j = 0, place = 0; j < lines.size(); ++j)
        if (lines[j].setsOwn)
            linePlace[j] = place++;
    std::vector<size_t> takersLeft;
    for (size_t i : placed)
        if (!byColumn || parts[i]->identity.member.empty())
            takersLeft.push_back(i);

    const auto pair = [&](size_t part, size_t line) {
        pairing.own[part] = line;
        pairing.owner[line] = part;
    };
    // The parts that show the line's text, in the set's order.
    const auto showing = [&](size_t j, std::wstring SpcLineIdentity::*text) {
        std::vector<size_t> found;
        const std::wstring& shown = lines[j].identity.*text;
        if (shown.empty())
            return found;
        for (size_t i = 0; i < parts.size(); ++i)
            if (parts[i] && parts[i]->identity.*text == shown)
                found.push_back(i);
        return found;
    };
    // Of the given parts, the one in the line's place, else the first; only parts still without a line
    // where `free`.
    const auto choose = [&](size_t j, const std::vector<size_t>& candidates, bool free,
                            const std::vector<size_t>& places) -> std::optional<size_t> {
        std::optional<size_t> first;
        for (size_t i : candidates) {
            if (free && pairing.own[i])
                continue;
            if (places[i] != kNoPlace && places[i] == linePlace[j])
                return i;
            if (!first)
                first = i;
        }
        return first;
    };

    // By what each line shows: every line to the part in its place first, so that a text two parts share,
    // or one typed over another part's line, does not take a line from the part it was made for.
    for (const auto text : kShownTexts)
        for (bool inPlaceOnly : {true, false})
            for (size_t j : order)
                if (!pairing.owner[j])
                    if (const std::optional<size_t> part = choose(j, showing(j, text), true, partPlace))
                        if (!inPlaceOnly || (partPlace[*part] != kNoPlace && partPlace[*part] == linePlace[j]))
                            pair(*part, j);

    if (left == LinesLeft::InPlace) {
        // The set's own lines left go with the parts left: the one in the line's place, else the first.
        for (size_t j : order)
            if (!pairing.owner[j] && lines[j].setsOwn)
                if (const std::optional<size_t> part = choose(j, takersLeft, true, partPlace))
                    pair(*part, j);
    } else {
        // Where the lines are as many as the parts with spc data, each stands in the place of one of them.
        const bool asMany = lines.size() == placed.size();
        std::vector<size_t> linedPlace(parts.size(), kNoPlace);
        for (size_t k = 0; k < placed.size(); ++k)
            linedPlace[placed[k]] = ordered ? k : kNoPlace;
        const std::vector<std::optional<size_t>> told = pairing.own;
        // The line stands between the lines told for the part's nearest neighbours that have one.
        const auto between = [&](size_t i, size_t j) {
            std::optional<size_t> before;
            std::optional<size_t> after;
            for (size_t a = i; a-- > 0 && !before;)
                before = told[a];
            for (size_t b = i + 1; b < parts.size() && !after; ++b)
                after = told[b];
            return before && after && *before < j && j < *after;
        };
        for (size_t j : order) {
            if (pairing.owner[j])
                continue;
            std::vector<size_t> candidates;
            for (size_t i : takersLeft)
                if (ordered ? (asMany && linedPlace[i] == linePlace[j]) || between(i, j) : asMany)
                    candidates.push_back(i);
            if (const std::optional<size_t> part = choose(j, candidates, true, partPlace))
                pair(*part, j);
        }
    }

    // A line left that shows a part's text is that part's second line.
    for (size_t j : order)
        for (const auto text : kShownTexts) {
            if (pairing.owner[j])
                break;
            pairing.owner[j] = choose(j, showing(j, text), false, partPlace);
        }

    // Twins (parts of one identity) are one member twice: they take their lines in the set's order.
    const auto twins = [&](size_t a, size_t b) {
        return parts[a] && parts[b] && std::all_of(kShownTexts.begin(), kShownTexts.end(), [&](const auto text) {
                   return parts[a]->identity.*text == parts[b]->identity.*text;
               });
    };
    for (size_t a = 0; a < parts.size(); ++a)
        for (size_t b = a + 1; b < parts.size(); ++b)
            if (pairing.own[a] && pairing.own[b] && twins(a, b) && linePlace[*pairing.own[b]] < linePlace[*pairing.own[a]]) {
                const size_t line = *pairing.own[a];
                pair(a, *pairing.own[b]);
                pair(b, line);
            }
    return pairing;
}

// The lines the "ID Normset" column leaves to be told, in Velmar's order. Where the bill of materials has
// the column and a line's value there names a part, the lines go by it (byColumn): a line naming a part is
// told by it, a line without a value is the user's, and so is a line whose value names no part, unless a
// part does not know its identifier (it takes lines by what they show). Where no line names a part (lines
// made before the column, or a part the reference book answers for under another identifier since) every
// line is told by what it shows.
std::vector<size_t> LinesToTell(const std::vector<std::optional<SpcLinePart>>& parts, const std::vector<OldSpcLine>& lines,
                                bool idColumn, bool& byColumn)
{
    const auto knows = [](const std::optional<SpcLinePart>& part) { return part && !part->identity.member.empty(); };
    const auto names = [&](const OldSpcLine& line) {
        return !line.identity.member.empty() && std::any_of(parts.begin(), parts.end(), [&](const std::optional<SpcLinePart>& part) {
                   return knows(part) && part->identity.member == line.identity.member;
               });
    };
    byColumn = idColumn && std::any_of(lines.begin(), lines.end(), names);
    const bool allKnown = std::all_of(parts.begin(), parts.end(), [&](const auto& part) { return !part || knows(part); });
    std::vector<size_t> told;
    for (size_t j = 0; j < lines.size(); ++j)
        if (!byColumn || names(lines[j]) || (!lines[j].identity.member.empty() && !allKnown))
            told.push_back(j);
    return told;
}

std::vector<OldSpcLine> Select(const std::vector<OldSpcLine>& lines, const std::vector<size_t>& index)
{
    std::vector<OldSpcLine> selected;
    for (size_t j : index)
        selected.push_back(lines[j]);
    return selected;
}

// A pairing of the selected lines (index: each one's place among all lines) as one of all lines.
SpcLinePairing OverAllLines(SpcLinePairing selected, const std::vector<size_t>& index, size_t lineCount)
{
    SpcLinePairing pairing;
    pairing.own.resize(selected.own.size());
    pairing.owner.resize(lineCount);
    for (size_t i = 0; i < selected.own.size(); ++i)
        if (selected.own[i])
            pairing.own[i] = index[*selected.own[i]];
    for (size_t k = 0; k < index.size(); ++k)
        pairing.owner[index[k]] = selected.owner[k];
    return pairing;
}

} // namespace

SpcLinePairing PairSpcLines(const std::vector<std::optional<SpcLinePart>>& parts, const std::vector<OldSpcLine>& lines, bool ordered)
{
    return Pair(parts, lines, ordered, LinesLeft::InPlace);
}

SpcLinePairing PairSpcLines(const std::vector<std::optional<SpcLineIdentity>>& parts, const std::vector<OldSpcLine>& lines)
{
    std::vector<std::optional<SpcLinePart>> known;
    for (const std::optional<SpcLineIdentity>& part : parts)
        known.push_back(part ? std::optional<SpcLinePart>(SpcLinePart{*part}) : std::nullopt);
    return PairSpcLines(known, lines);
}

SpcLinePairing PairSinglePartLines(const SpcLineIdentity& part, const std::vector<OldSpcLine>& lines, bool idColumn)
{
    const std::vector<std::optional<SpcLinePart>> parts = {SpcLinePart{part}};
    if (lines.size() == 1) {
        SpcLinePairing pairing;
        pairing.own = {0};
        pairing.owner = {0};
        return pairing;
    }
    bool byColumn = false;
    const std::vector<size_t> index = LinesToTell(parts, lines, idColumn, byColumn);
    const std::vector<OldSpcLine> told = Select(lines, index);
    if (byColumn)
        return OverAllLines(Pair(parts, told, true, LinesLeft::InPlace, true), index, lines.size());
    // A line showing none of the part's texts is the part's only as the one line its leader holds.
    const bool shown = std::any_of(told.begin(), told.end(), [&](const OldSpcLine& line) {
        return std::any_of(kShownTexts.begin(), kShownTexts.end(),
                           [&](const auto text) { return !(line.identity.*text).empty() && line.identity.*text == part.*text; });
    });
    const auto held = std::count_if(told.begin(), told.end(), [](const OldSpcLine& line) { return line.setsOwn; });
    SpcLinePairing pairing;
    pairing.own.resize(1);
    pairing.owner.resize(told.size());
    if (shown || held == 1)
        pairing = PairSpcLines(parts, told);
    return OverAllLines(pairing, index, lines.size());
}

SpcLineHandOver HandOverSpcLines(const SpcLinePairing& made, const SpcLinePairing& succession, const std::vector<bool>& getsLine)
{
    SpcLineHandOver handOver;
    handOver.own.resize(succession.own.size());
    for (size_t i = 0; i < succession.own.size(); ++i)
        if (getsLine[i] && succession.own[i])
            handOver.own[i] = made.own[*succession.own[i]];
    handOver.heir.resize(made.owner.size());
    handOver.goes.resize(made.owner.size());
    for (size_t j = 0; j < made.owner.size(); ++j) {
        if (!made.owner[j])
            continue;
        handOver.goes[j] = true;
        const std::optional<size_t> successor = succession.owner[*made.owner[j]];
        if (successor && getsLine[*successor])
            handOver.heir[j] = successor;
    }
    return handOver;
}

SpcLinePairing PairOldSpcLines(const SpcLineMakeUp& asDrawn, std::vector<OldSpcLine> lines, bool idColumn)
{
    if (asDrawn.single && asDrawn.parts.size() == 1 && asDrawn.parts[0])
        return PairSinglePartLines(asDrawn.parts[0]->identity, lines, idColumn);
    bool byColumn = false;
    const std::vector<size_t> index = LinesToTell(asDrawn.parts, lines, idColumn, byColumn);
    std::vector<OldSpcLine> told = Select(lines, index);
    LinesLeft left = LinesLeft::InPlace;
    if (std::none_of(told.begin(), told.end(), [](const OldSpcLine& line) { return line.setsOwn; })) {
        for (OldSpcLine& line : told)
            line.setsOwn = true;
        left = LinesLeft::Between;
    }
    return OverAllLines(Pair(asDrawn.parts, told, asDrawn.ordered, left, byColumn), index, lines.size());
}

SpcLineHandOver HandOverOldSpcLines(const SpcLineMakeUp& asDrawn, const std::vector<OldSpcLine>& lines, bool idColumn,
                                    const std::vector<SpcLineIdentity>& now, const std::vector<bool>& getsLine)
{
    std::vector<std::optional<SpcLineIdentity>> successors(now.begin(), now.end());
    std::vector<OldSpcLine> was;
    for (const SpcLineIdentity& kind : asDrawn.kinds)
        was.push_back({kind});
    return HandOverSpcLines(PairOldSpcLines(asDrawn, lines, idColumn), PairSpcLines(successors, was), getsLine);
}
