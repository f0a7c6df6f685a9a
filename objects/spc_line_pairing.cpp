#include "objects/spc_line_pairing.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::wstring SpcLineIdentity::*, 3> kShownTexts = {&SpcLineIdentity::member, &SpcLineIdentity::designation,
                                                                        &SpcLineIdentity::name};

} // namespace

SpcLinePairing PairSpcLines(const std::vector<std::optional<SpcLineIdentity>>& parts, const std::vector<OldSpcLine>& lines)
{
    SpcLinePairing pairing;
    pairing.own.resize(parts.size());
    pairing.owner.resize(lines.size());
    // The set's own lines first, each group in Velmar's order.
    std::vector<size_t> order(lines.size());
    for (size_t j = 0; j < lines.size(); ++j)
        order[j] = j;
    std::stable_partition(order.begin(), order.end(), [&](size_t j) { return lines[j].setsOwn; });

    // Places in the set's order: a part's among the parts that get a line, a line's among the set's own.
    constexpr size_t kNoPlace = static_cast<size_t>(-1);
    std::vector<size_t> partPlace(parts.size(), kNoPlace);
    for (size_t i = 0, place = 0; i < parts.size(); ++i)
        if (parts[i])
            partPlace[i] = place++;
    std::vector<size_t> linePlace(lines.size(), kNoPlace);
    for (size_t j = 0, place = 0; j < lines.size(); ++j)
        if (lines[j].setsOwn)
            linePlace[j] = place++;

    const auto pair = [&](size_t part, size_t line) {
        pairing.own[part] = line;
        pairing.owner[line] = part;
    };
    for (const auto text : kShownTexts)
        for (size_t j : order) {
            const std::wstring& shown = lines[j].identity.*text;
            if (pairing.owner[j] || shown.empty())
                continue;
            for (size_t i = 0; i < parts.size(); ++i)
                if (parts[i] && !pairing.own[i] && (*parts[i]).*text == shown) {
                    pair(i, j);
                    break;
                }
        }

    const auto partShowing = [&](const SpcLineIdentity& shown) -> std::optional<size_t> {
        for (const auto text : kShownTexts)
            if (!(shown.*text).empty())
                for (size_t i = 0; i < parts.size(); ++i)
                    if (parts[i] && (*parts[i]).*text == shown.*text)
                        return i;
        return std::nullopt;
    };
    // A part left without a line: the one in the given place, else the first in the set's order.
    const auto partLeft = [&](size_t place) -> std::optional<size_t> {
        std::optional<size_t> first;
        for (size_t i = 0; i < parts.size(); ++i)
            if (parts[i] && !pairing.own[i]) {
                if (partPlace[i] == place)
                    return i;
                if (!first)
                    first = i;
            }
        return first;
    };

    // The set's own lines that show no part's text (a part renamed, a designation the preset builds
    // otherwise) go with the parts left; a line the user attached by hand is no part's.
    std::vector<size_t> showing;
    for (size_t j : order) {
        if (pairing.owner[j])
            continue;
        if (partShowing(lines[j].identity))
            showing.push_back(j);
        else if (lines[j].setsOwn)
            if (const std::optional<size_t> left = partLeft(linePlace[j]))
                pair(*left, j);
    }

    // A line left that shows a text of a part that has its line already: of the two, the one in the part's
    // place is the part's own and the other goes to a part left without one; where none is left, it is a
    // second line of the part, which takes its comments.
    for (size_t j : showing) {
        const size_t part = *partShowing(lines[j].identity);
        std::optional<size_t> left = lines[j].setsOwn ? partLeft(linePlace[j]) : std::nullopt;
        if (!left || !pairing.own[part]) {
            pairing.owner[j] = part;
            continue;
        }
        size_t given = j;
        const size_t current = *pairing.own[part];
        if (linePlace[j] == partPlace[part] && lines[current].setsOwn && linePlace[current] != partPlace[part]) {
            pair(part, j);
            given = current;
            left = partLeft(linePlace[current]);
        }
        pair(*left, given);
    }

    // Twins (parts of one identity) are one member twice: they take their lines in the set's order.
    const auto twins = [&](size_t a, size_t b) {
        return parts[a] && parts[b] &&
               std::all_of(kShownTexts.begin(), kShownTexts.end(), [&](const auto text) { return (*parts[a]).*text == (*parts[b]).*text; });
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
