#include "objects/spc_line_pairing.h"

#include <algorithm>

SpcLinePairing PairSpcLines(const std::vector<std::optional<SpcLineIdentity>>& parts, const std::vector<OldSpcLine>& lines)
{
    SpcLinePairing pairing;
    pairing.own.resize(parts.size());
    pairing.owner.resize(lines.size());
    // The set's own lines first, each group in Velmar's order.
    std::vector<size_t> order(lines.size());
    for (size_t j = 0; j < lines.size(); ++j)
        order[j] = j;
    std::stable_partition(order.begin(), order.end(), [&](size_t j) { return lines[j].held; });

    const auto pairBy = [&](std::wstring SpcLineIdentity::*text) {
        for (size_t j : order) {
            const std::wstring& shown = lines[j].identity.*text;
            if (pairing.owner[j] || shown.empty())
                continue;
            for (size_t i = 0; i < parts.size(); ++i)
                if (parts[i] && !pairing.own[i] && (*parts[i]).*text == shown) {
                    pairing.own[i] = j;
                    pairing.owner[j] = i;
                    break;
                }
        }
    };
    pairBy(&SpcLineIdentity::designation);
    pairBy(&SpcLineIdentity::name);

    // A line left that still shows a part's text is a second line of that part.
    const auto partShowing = [&](std::wstring SpcLineIdentity::*text, const std::wstring& shown) -> std::optional<size_t> {
        if (shown.empty())
            return std::nullopt;
        for (size_t i = 0; i < parts.size(); ++i)
            if (parts[i] && (*parts[i]).*text == shown)
                return i;
        return std::nullopt;
    };
    std::vector<size_t> unknown;
    for (size_t j : order) {
        if (pairing.owner[j])
            continue;
        std::optional<size_t> part = partShowing(&SpcLineIdentity::designation, lines[j].identity.designation);
        if (!part)
            part = partShowing(&SpcLineIdentity::name, lines[j].identity.name);
        if (part)
            pairing.owner[j] = part;
        else
            unknown.push_back(j);
    }

    // What shows no part's text (a part renamed, a designation the preset builds otherwise) goes with the
    // parts left in the set's order.
    size_t next = 0;
    for (size_t j : unknown) {
        while (next < parts.size() && (!parts[next] || pairing.own[next]))
            ++next;
        if (next == parts.size())
            break;
        pairing.own[next] = j;
        pairing.owner[j] = next;
    }
    return pairing;
}
