#include "objects/spc_line_pairing.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::wstring SpcLineIdentity::*, 3> kShownTexts = {&SpcLineIdentity::member, &SpcLineIdentity::designation,
                                                                        &SpcLineIdentity::name};
constexpr size_t kNoPlace = static_cast<size_t>(-1);

} // namespace

SpcLinePairing PairSpcLines(const std::vector<std::optional<SpcLinePart>>& parts, const std::vector<OldSpcLine>& lines)
{
    SpcLinePairing pairing;
    pairing.own.resize(parts.size());
    pairing.owner.resize(lines.size());
    // The set's own lines first, each group in Velmar's order.
    std::vector<size_t> order(lines.size());
    for (size_t j = 0; j < lines.size(); ++j)
        order[j] = j;
    std::stable_partition(order.begin(), order.end(), [&](size_t j) { return lines[j].setsOwn; });

    // Places in the set's order: a part's among the parts whose texts are known, a line's among the set's own.
    std::vector<size_t> partPlace(parts.size(), kNoPlace);
    for (size_t i = 0, place = 0; i < parts.size(); ++i)
        if (parts[i] && !parts[i]->textsUnknown)
            partPlace[i] = place++;
    std::vector<size_t> linePlace(lines.size(), kNoPlace);
    for (size_t j = 0, place = 0; j < lines.size(); ++j)
        if (lines[j].setsOwn)
            linePlace[j] = place++;

    const auto pair = [&](size_t part, size_t line) {
        pairing.own[part] = line;
        pairing.owner[line] = part;
    };
    // The parts that show the line's text, in the set's order; a part whose texts are unknown shows only
    // its member.
    const auto showing = [&](size_t j, std::wstring SpcLineIdentity::*text) {
        std::vector<size_t> found;
        const std::wstring& shown = lines[j].identity.*text;
        if (shown.empty())
            return found;
        for (size_t i = 0; i < parts.size(); ++i)
            if (parts[i] && (!parts[i]->textsUnknown || text == &SpcLineIdentity::member) && parts[i]->identity.*text == shown)
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
                        if (!inPlaceOnly || partPlace[*part] == linePlace[j])
                            pair(*part, j);

    // The set's own lines left go with the parts left whose texts are known: the one in the line's place,
    // else the first.
    std::vector<size_t> known;
    for (size_t i = 0; i < parts.size(); ++i)
        if (partPlace[i] != kNoPlace)
            known.push_back(i);
    for (size_t j : order)
        if (!pairing.owner[j] && lines[j].setsOwn)
            if (const std::optional<size_t> part = choose(j, known, true))
                pair(*part, j);

    // A line left that shows a part's text is that part's second line.
    for (size_t j : order)
        for (const auto text : kShownTexts) {
            if (pairing.owner[j])
                break;
            pairing.owner[j] = choose(j, showing(j, text), false);
        }

    // The set's own lines still left were made for parts whose texts are no longer known.
    for (size_t j : order)
        if (!pairing.owner[j] && lines[j].setsOwn)
            for (size_t i = 0; i < parts.size(); ++i)
                if (parts[i] && parts[i]->textsUnknown && !pairing.own[i]) {
                    pair(i, j);
                    break;
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
