#include "objects/spc_line_pairing.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::wstring SpcLineIdentity::*, 3> kShownTexts = {&SpcLineIdentity::member, &SpcLineIdentity::designation,
                                                                        &SpcLineIdentity::name};
constexpr size_t kNoPlace = static_cast<size_t>(-1);

} // namespace

SpcLinePairing PairSpcLines(const std::vector<std::optional<SpcLinePart>>& parts, const std::vector<OldSpcLine>& lines, bool ordered)
{
    SpcLinePairing pairing;
    pairing.own.resize(parts.size());
    pairing.owner.resize(lines.size());
    // The set's own lines first, each group in Velmar's order.
    std::vector<size_t> order(lines.size());
    for (size_t j = 0; j < lines.size(); ++j)
        order[j] = j;
    std::stable_partition(order.begin(), order.end(), [&](size_t j) { return lines[j].setsOwn; });

    // Places in the set's order: a part's among the parts that have one, a line's among the set's own.
    std::vector<size_t> partPlace(parts.size(), kNoPlace);
    std::vector<size_t> placed;
    for (size_t i = 0; i < parts.size(); ++i)
        if (parts[i] && !parts[i]->placeless) {
            if (ordered)
                partPlace[i] = placed.size();
            placed.push_back(i);
        }
    std::vector<size_t> linePlace(lines.size(), kNoPlace);
    for (size_t j = 0, place = 0; j < lines.size(); ++j)
        if (lines[j].setsOwn)
            linePlace[j] = place++;

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
    const auto choose = [&](size_t j, const std::vector<size_t>& candidates, bool free) -> std::optional<size_t> {
        std::optional<size_t> first;
        for (size_t i : candidates) {
            if (free && pairing.own[i])
                continue;
            if (partPlace[i] != kNoPlace && partPlace[i] == linePlace[j])
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
                    if (const std::optional<size_t> part = choose(j, showing(j, text), true))
                        if (!inPlaceOnly || (partPlace[*part] != kNoPlace && partPlace[*part] == linePlace[j]))
                            pair(*part, j);

    // The set's own lines left go with the parts left that have a place: the one in the line's place, else
    // the first.
    for (size_t j : order)
        if (!pairing.owner[j] && lines[j].setsOwn)
            if (const std::optional<size_t> part = choose(j, placed, true))
                pair(*part, j);

    // A line left that shows a part's text is that part's second line.
    for (size_t j : order)
        for (const auto text : kShownTexts) {
            if (pairing.owner[j])
                break;
            pairing.owner[j] = choose(j, showing(j, text), false);
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
    SpcLinePairing pairing;
    pairing.own.resize(1);
    pairing.owner.resize(lines.size());
    if (lines.size() == 1) {
        pairing.own = {0};
        pairing.owner = {0};
        return pairing;
    }
    // The library writes its identifier on every line it makes, so the lines without one are the user's;
    // lines made before the bill of materials had the column are told as without it.
    const auto made = [](const OldSpcLine& line) { return !line.identity.member.empty(); };
    if (idColumn && std::any_of(lines.begin(), lines.end(), made)) {
        std::vector<OldSpcLine> madeLines;
        std::vector<size_t> index;
        for (size_t j = 0; j < lines.size(); ++j)
            if (made(lines[j])) {
                madeLines.push_back(lines[j]);
                index.push_back(j);
                pairing.owner[j] = 0;
            }
        pairing.own[0] = index[PairSpcLines(parts, madeLines).own[0].value_or(0)];
        return pairing;
    }
    // A line showing none of the part's texts is the part's only as the one line its leader holds.
    const bool shown = std::any_of(lines.begin(), lines.end(), [&](const OldSpcLine& line) {
        return std::any_of(kShownTexts.begin(), kShownTexts.end(),
                           [&](const auto text) { return !(line.identity.*text).empty() && line.identity.*text == part.*text; });
    });
    const auto held = std::count_if(lines.begin(), lines.end(), [](const OldSpcLine& line) { return line.setsOwn; });
    return shown || held == 1 ? PairSpcLines(parts, lines) : pairing;
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
    if (std::none_of(lines.begin(), lines.end(), [](const OldSpcLine& line) { return line.setsOwn; }))
        for (OldSpcLine& line : lines)
            line.setsOwn = true;
    return PairSpcLines(asDrawn.parts, lines, asDrawn.ordered);
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
