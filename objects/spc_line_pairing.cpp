#include "objects/spc_line_pairing.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <numeric>

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

// Each text shown is the identity's (an empty one shows nothing).
bool ShowsNoOtherText(const SpcLineIdentity& shown, const SpcLineIdentity& identity)
{
    return std::all_of(kShownTexts.begin(), kShownTexts.end(),
                       [&](const auto text) { return (shown.*text).empty() || shown.*text == identity.*text; });
}

// The line shows nothing but what the identity shows: each of its texts is the identity's, and it fills no
// other column.
bool ShowsOnly(const OldSpcLine& line, const SpcLineIdentity& identity)
{
    return line.others.empty() && ShowsNoOtherText(line.identity, identity);
}

// The line shows nothing the kept line does not: a copy of it, which may go with it.
bool Doubles(const OldSpcLine& line, const OldSpcLine& kept)
{
    return ShowsNoOtherText(line.identity, kept.identity) &&
           std::all_of(line.others.begin(), line.others.end(), [&](const SpcLineColumn& column) {
               return std::find(kept.others.begin(), kept.others.end(), column) != kept.others.end();
           });
}

// Parts of one identity: one member twice.
bool Twins(const std::optional<SpcLinePart>& a, const std::optional<SpcLinePart>& b)
{
    return a && b && std::all_of(kShownTexts.begin(), kShownTexts.end(),
                                 [&](const auto text) { return a->identity.*text == b->identity.*text; });
}

// The set's run of lines among its own: a set lists its lines in its own order, one for each member with spc
// data, and a replace lists the lines it hands on before those it makes, the user adding his after. The run
// is the stretch of as many of the set's own lines (setsLine) as the set has members with spc data that most
// lines in it show the text of the member in their place (shownBy: the parts a line shows the text of),
// with no line showing another member's text but one the user may have typed over. None where no stretch
// fits, two fit as well, or no line stands beside the run.
struct SetsRun {
    // For each part, the line in its place showing its text.
    std::vector<std::optional<size_t>> own;
    // For each line, whether it shows a member's text out of the run.
    std::vector<bool> outside;
};

std::optional<SetsRun> RunOfTheSet(const std::vector<std::optional<SpcLinePart>>& parts, const std::vector<bool>& setsLine,
                                   const std::vector<std::vector<size_t>>& shownBy)
{
    std::vector<size_t> placed;
    for (size_t i = 0; i < parts.size(); ++i)
        if (parts[i] && parts[i]->hasSpcData)
            placed.push_back(i);
    std::vector<size_t> sets;
    for (size_t j = 0; j < setsLine.size(); ++j)
        if (setsLine[j])
            sets.push_back(j);
    if (sets.size() <= placed.size())
        return std::nullopt;
    const auto shows = [&](size_t j, size_t i) { return std::find(shownBy[j].begin(), shownBy[j].end(), i) != shownBy[j].end(); };
    // Of the stretches that fit, the one with the fewest lines showing another member's text (one fits: a line
    // the user typed over), then the most showing their own members'.
    std::optional<size_t> start;
    std::pair<size_t, size_t> best;   // lines out of step, lines showing their members' texts
    bool tie = false;
    for (size_t s = 0; s + placed.size() <= sets.size(); ++s) {
        size_t outOfStep = 0;
        size_t shown = 0;
        for (size_t p = 0; p < placed.size(); ++p) {
            const size_t j = sets[s + p];
            if (shows(j, placed[p]))
                ++shown;
            else if (!shownBy[j].empty())
                ++outOfStep;
        }
        const std::pair<size_t, size_t> fit{outOfStep, shown};
        if (outOfStep > 1 || shown == 0)
            continue;
        if (start && (fit.first > best.first || (fit.first == best.first && fit.second < best.second)))
            continue;
        tie = start && fit == best;
        best = fit;
        start = s;
    }
    if (!start || tie)
        return std::nullopt;
    SetsRun run;
    run.own.resize(parts.size());
    run.outside.resize(setsLine.size());
    for (size_t p = 0; p < placed.size(); ++p)
        if (shows(sets[*start + p], placed[p]))
            run.own[placed[p]] = sets[*start + p];
    for (size_t k = 0; k < sets.size(); ++k)
        if (k < *start || k >= *start + placed.size())
            run.outside[sets[k]] = std::any_of(placed.begin(), placed.end(), [&](size_t i) { return shows(sets[k], i); });
    return run;
}

// How a pairing reads the lines beyond what they show.
struct PairingRules {
    // The parts are in the set's order: a line's place among the lines tells whose it may be.
    bool ordered = true;
    LinesLeft left = LinesLeft::InPlace;
    // The lines were told by the "ID Normset" column, so a part that knows its identifier takes no line left
    // over.
    bool byColumn = false;
    // A line showing a member's text out of the set's run is not the member's own (a set in a drawing, whose
    // lines Velmar lists as the set made them).
    bool run = false;
};

SpcLinePairing Pair(const std::vector<std::optional<SpcLinePart>>& parts, const std::vector<OldSpcLine>& lines, const PairingRules& rules)
{
    const bool ordered = rules.ordered;
    const LinesLeft left = rules.left;
    const bool byColumn = rules.byColumn;
    SpcLinePairing pairing;
    pairing.own.resize(parts.size());
    pairing.owner.resize(lines.size());
    // The set's own lines first, each group in Velmar's order.
    std::vector<size_t> order(lines.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_partition(order.begin(), order.end(), [&](size_t j) { return lines[j].setsOwn; });
    std::vector<size_t> rank(lines.size());
    for (size_t k = 0; k < order.size(); ++k)
        rank[order[k]] = k;

    const auto lined = [&](size_t i) { return parts[i] && parts[i]->hasSpcData; };
    const auto shows = [&](size_t j, size_t i, std::wstring SpcLineIdentity::*text) {
        const std::wstring& shown = lines[j].identity.*text;
        return parts[i] && !shown.empty() && parts[i]->identity.*text == shown;
    };
    const auto showsAny = [&](size_t j, size_t i) {
        return std::any_of(kShownTexts.begin(), kShownTexts.end(), [&](const auto text) { return shows(j, i, text); });
    };
    // The parts that show the line's text, in the set's order.
    const auto showing = [&](size_t j, std::wstring SpcLineIdentity::*text) {
        std::vector<size_t> found;
        for (size_t i = 0; i < parts.size(); ++i)
            if (shows(j, i, text))
                found.push_back(i);
        return found;
    };
    const auto twins = [&](size_t a, size_t b) { return Twins(parts[a], parts[b]); };
    const auto pair = [&](size_t part, size_t line) {
        pairing.own[part] = line;
        pairing.owner[line] = part;
    };
    // A line the user wrote on where no part's line may be rebuilt from it or deleted: no part takes it.
    std::vector<bool> users(lines.size());
    const auto open = [&](size_t j) { return !pairing.owner[j] && !users[j]; };

    // A part without spc data has no place among the lines: it is known only by a line showing its text and
    // no text of a part with spc data (at the first text that shows any part), and such a line takes no place
    // either. It goes with the part only where it shows nothing but the part's texts; one the user wrote more
    // on is the user's. shownBy: the parts a line shows the text of, at the first text that shows any part.
    std::vector<std::vector<size_t>> shownBy(lines.size());
    const auto decided = [&](size_t j) { return !shownBy[j].empty(); };
    std::vector<bool> placeless(lines.size());
    for (const auto text : kShownTexts)
        for (size_t j : order) {
            if (decided(j))
                continue;
            const std::vector<size_t> found = showing(j, text);
            if (found.empty())
                continue;
            shownBy[j] = found;
            if (std::any_of(found.begin(), found.end(), lined))
                continue;
            placeless[j] = true;
            // A second such line goes with it as it would: only where it shows nothing but the part's texts.
            const auto free = std::find_if(found.begin(), found.end(), [&](size_t i) { return !pairing.own[i]; });
            const size_t part = free == found.end() ? found.front() : *free;
            if (!ShowsOnly(lines[j], parts[part]->identity))
                users[j] = true;
            else if (free != found.end())
                pair(part, j);
        }

    // A set's own line of a member stands in the set's run; another showing its text stands out of it: one
    // the user listed, perhaps with the member's exact designation. It goes as the member's second line
    // only where it shows nothing the own line does not; otherwise it is the user's and takes no place.
    std::vector<bool> outOfRun(lines.size());
    std::vector<bool> inRun(parts.size());
    if (rules.run && ordered) {
        std::vector<bool> setsLine(lines.size());
        for (size_t j = 0; j < lines.size(); ++j)
            setsLine[j] = lines[j].setsOwn && !placeless[j];
        if (const std::optional<SetsRun> run = RunOfTheSet(parts, setsLine, shownBy)) {
            outOfRun = run->outside;
            for (size_t j = 0; j < lines.size(); ++j) {
                if (!outOfRun[j])
                    continue;
                for (size_t i : shownBy[j]) {
                    if (!run->own[i])
                        continue;
                    if (!pairing.own[i]) {
                        pair(i, *run->own[i]);
                        inRun[i] = true;
                    }
                    if (!pairing.owner[j] && Doubles(lines[j], lines[*run->own[i]]))
                        pairing.owner[j] = i;
                }
                users[j] = !pairing.owner[j];
            }
        }
    }

    // Places, counted once in the set's order: a part's among the parts with spc data, drawn or not; a line's
    // among the set's own lines but those of parts without spc data and those out of the set's run. Without a
    // leader a line of a part without spc data the user wrote on counts as any line the user wrote on does.
    std::vector<size_t> partPlace(parts.size(), kNoPlace);
    std::vector<size_t> placed;
    for (size_t i = 0; i < parts.size(); ++i)
        if (lined(i)) {
            if (ordered)
                partPlace[i] = placed.size();
            placed.push_back(i);
        }
    std::vector<bool> counted(lines.size());
    for (size_t j = 0; j < lines.size(); ++j)
        counted[j] = lines[j].setsOwn && !outOfRun[j] && (!placeless[j] || (left == LinesLeft::Between && users[j]));
    // A line out of the run is one the user attached: with it the lines are not as many as the parts.
    const auto attached = std::count(outOfRun.begin(), outOfRun.end(), true);
    bool asMany = static_cast<size_t>(std::count(counted.begin(), counted.end(), true) + attached) == placed.size();
    if (left == LinesLeft::Between && !asMany) {
        // Without a leader the set's lines are every line it holds, the user's among them: a line showing no
        // part's text before the first or after the last line that shows one stands in no part's place.
        const auto toldByText = [&](size_t j) { return counted[j] && decided(j); };
        std::optional<size_t> first;
        std::optional<size_t> last;
        for (size_t j = 0; j < lines.size(); ++j)
            if (toldByText(j)) {
                first = first.value_or(j);
                last = j;
            }
        for (size_t j = 0; j < lines.size(); ++j)
            if (counted[j] && !toldByText(j) && (!first || j < *first || j > *last))
                counted[j] = false;
    }
    std::vector<size_t> linePlace(lines.size(), kNoPlace);
    for (size_t j = 0, place = 0; j < lines.size(); ++j)
        if (counted[j])
            linePlace[j] = place++;
    // The part with spc data in the line's place.
    const auto placeOf = [&](size_t j) -> std::optional<size_t> {
        if (!ordered || linePlace[j] >= placed.size())
            return std::nullopt;
        return placed[linePlace[j]];
    };
    // Without a leader the user's lines stand among the set's own, so places decide only where the lines
    // confirm them: a line out of step (showing another part's text than the one in its place's, or beyond
    // the last place) may be one typed over, but two say the count is off. A line showing no part's text
    // neither confirms nor contradicts its place.
    bool placesTell = ordered;
    if (ordered && left == LinesLeft::Between) {
        size_t outOfStep = 0;
        for (size_t j = 0; j < lines.size(); ++j) {
            if (linePlace[j] == kNoPlace)
                continue;
            const std::optional<size_t> inIts = placeOf(j);
            if (!inIts || (decided(j) && std::find(shownBy[j].begin(), shownBy[j].end(), *inIts) == shownBy[j].end()))
                ++outOfStep;
        }
        placesTell = outOfStep < 2;
        asMany = asMany && placesTell;
    }
    const auto inPlace = [&](size_t i, size_t j) {
        return placesTell && partPlace[i] != kNoPlace && partPlace[i] == linePlace[j];
    };

    // By what each line shows, text by text. A line goes to the part in its place first, so that a text two
    // parts share does not take a line from the part it was made for. A line showing another part's text in
    // a part's place was typed over there where that part has no line of its own text and the other part
    // has one more. Otherwise the first part showing it still without a line takes it. The set's own lines
    // (ofTheSet) are told, and those left given to the parts left, before the lines beside them.
    const auto byText = [&](bool ofTheSet) {
        const auto inGroup = [&](size_t j) { return lines[j].setsOwn == ofTheSet && open(j); };
        for (const auto text : kShownTexts) {
            for (size_t j : order)
                if (inGroup(j))
                    for (size_t i : showing(j, text))
                        if (lined(i) && !pairing.own[i] && inPlace(i, j)) {
                            pair(i, j);
                            break;
                        }
            for (size_t j : order) {
                // A part that knows its identifier takes only lines naming it where the column tells them.
                const std::optional<size_t> m = inGroup(j) && placesTell ? placeOf(j) : std::nullopt;
                if (!m || pairing.own[*m] || (byColumn && !parts[*m]->identity.member.empty()))
                    continue;
                std::vector<size_t> shown;
                for (size_t i : showing(j, text))
                    if (lined(i))
                        shown.push_back(i);
                // The other part has another line where more lines show its text than parts do: a twin's own
                // line is not another. A line the user wrote on is not the part's.
                const std::wstring& typed = lines[j].identity.*text;
                const auto showingParts = std::count_if(parts.begin(), parts.end(),
                                                        [&](const auto& part) { return part && part->identity.*text == typed; });
                const auto showingLines = std::count_if(lines.begin(), lines.end(),
                                                        [&](const OldSpcLine& line) { return line.identity.*text == typed; });
                bool ownText = false;
                for (size_t k = 0; k < lines.size(); ++k)
                    ownText = ownText || (showsAny(k, *m) && !users[k] && !(pairing.owner[k] && twins(*pairing.owner[k], *m)));
                if (!shown.empty() && !ownText && showingLines > showingParts)
                    pair(*m, j);
            }
            for (size_t j : order)
                if (inGroup(j))
                    for (size_t i : showing(j, text))
                        if (lined(i) && !pairing.own[i]) {
                            pair(i, j);
                            break;
                        }
        }
    };
    byText(true);

    std::vector<size_t> takersLeft;
    for (size_t i : placed)
        if (!byColumn || parts[i]->identity.member.empty())
            takersLeft.push_back(i);
    // Of the given parts still without a line, the one in the line's place, else the first.
    const auto choose = [&](size_t j, const std::vector<size_t>& candidates) -> std::optional<size_t> {
        std::optional<size_t> first;
        for (size_t i : candidates) {
            if (pairing.own[i])
                continue;
            if (inPlace(i, j))
                return i;
            if (!first)
                first = i;
        }
        return first;
    };
    if (left == LinesLeft::InPlace) {
        // The set's own lines left go with the part left in the line's place; where the parts are not in the
        // set's order, with the first part left. A line goes to no part but the one it was made for.
        for (size_t j : order)
            if (open(j) && lines[j].setsOwn && !placeless[j])
                if (const std::optional<size_t> part = choose(j, takersLeft); part && (!ordered || inPlace(*part, j)))
                    pair(*part, j);
    } else {
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
            // A line showing a part's text is no other part's for standing where it stands.
            if (!open(j) || decided(j))
                continue;
            std::vector<size_t> candidates;
            for (size_t i : takersLeft)
                if (ordered ? (asMany && inPlace(i, j)) || between(i, j) : asMany)
                    candidates.push_back(i);
            if (const std::optional<size_t> part = choose(j, candidates))
                pair(*part, j);
        }
    }

    byText(false);

    // A line left that shows a part's text is that part's second line where it shows nothing the part's own
    // line does not (a line doubled): it goes with it. One the user wrote on stays the user's.
    for (size_t j : order)
        for (const auto text : kShownTexts) {
            if (!open(j))
                break;
            const std::vector<size_t> found = showing(j, text);
            if (found.empty())
                continue;
            for (size_t i : found)
                if (pairing.own[i] && Doubles(lines[j], lines[*pairing.own[i]])) {
                    pairing.owner[j] = i;
                    break;
                }
            break;
        }

    // Where more lines show a part's text than it has twins, only the set's run or a leader holding one of them
    // alone tells its own; otherwise its own line was guessed by the order of its texts. (Where the column
    // tells the lines, those it leaves to no part are not among them.)
    pairing.guessed.resize(parts.size());
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!pairing.own[i] || inRun[i])
            continue;
        size_t showing = 0;
        size_t held = 0;
        size_t ofOneIdentity = 0;
        for (size_t j = 0; j < lines.size(); ++j)
            if (std::find(shownBy[j].begin(), shownBy[j].end(), i) != shownBy[j].end()) {
                ++showing;
                held += lines[j].setsOwn ? 1 : 0;
            }
        for (size_t other = 0; other < parts.size(); ++other)
            ofOneIdentity += other == i || twins(other, i) ? 1 : 0;
        const bool leaderHolds = left == LinesLeft::InPlace && lines[*pairing.own[i]].setsOwn && held == ofOneIdentity;
        pairing.guessed[i] = showing > ofOneIdentity && !leaderHolds;
    }

    // Twins (parts of one identity) are one member twice: they take their lines in the set's order.
    for (size_t a = 0; a < parts.size(); ++a)
        for (size_t b = a + 1; b < parts.size(); ++b)
            if (pairing.own[a] && pairing.own[b] && twins(a, b) && rank[*pairing.own[b]] < rank[*pairing.own[a]]) {
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
    pairing.guessed = selected.guessed;
    pairing.guessed.resize(selected.own.size());
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
    return Pair(parts, lines, {.ordered = ordered});
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
        pairing.guessed = {false};
        return pairing;
    }
    bool byColumn = false;
    const std::vector<size_t> index = LinesToTell(parts, lines, idColumn, byColumn);
    const std::vector<OldSpcLine> told = Select(lines, index);
    if (byColumn)
        return OverAllLines(Pair(parts, told, {.byColumn = true}), index, lines.size());
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
    return OverAllLines(Pair(asDrawn.parts, told, {.ordered = asDrawn.ordered, .left = left, .byColumn = byColumn, .run = true}),
                        index, lines.size());
}

SpcLineHandOver HandOverOldSpcLines(const SpcLineMakeUp& asDrawn, const std::vector<OldSpcLine>& lines, bool idColumn,
                                    const std::vector<SpcLineIdentity>& now, const std::vector<bool>& getsLine)
{
    std::vector<std::optional<SpcLineIdentity>> successors(now.begin(), now.end());
    std::vector<OldSpcLine> was;
    for (const SpcLineIdentity& kind : asDrawn.kinds)
        was.push_back({kind, true, {}});
    const SpcLinePairing made = PairOldSpcLines(asDrawn, lines, idColumn);
    SpcLineHandOver handOver = HandOverSpcLines(made, PairSpcLines(successors, was), getsLine);
    for (size_t j = 0; j < lines.size(); ++j)
        if (handOver.goes[j] && !handOver.heir[j] && made.guessed[*made.owner[j]] && !lines[j].others.empty())
            handOver.goes[j] = false;
    return handOver;
}
