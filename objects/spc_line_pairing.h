#pragma once
// Which old bill-of-materials line belongs to which part when several parts are rebuilt together: the
// members of a fastener set in a drawing or an assembly, or a set replaced by one part. What the user
// typed on a line (its texts, its position, its comments) stays with the part the line was made for, and a
// line made for no part (one the user attached) stays as the user made it, so every road that rebuilds such
// lines pairs them by this one rule.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// What tells which part a line shows: the part itself where the line knows it (its identifier in the
// reference book, which the user cannot type over), then its designation (column 4.1) and its name (5.1).
struct SpcLineIdentity {
    std::wstring designation;
    std::wstring name;
    std::wstring member;
};

// An old line as the pairing sees it.
struct OldSpcLine {
    SpcLineIdentity identity;
    // One of the set's own lines: its position leader holds it, or the set has no leader. Of several lines
    // of one part the set's own is paired first (a line Velmar would not delete, or one the user added
    // beside it, is not the set's own). A line the user attached to the set by hand pairs only with a part
    // whose text it shows; otherwise it is no part's and stays as the user made it.
    bool setsOwn = true;
};

// A part as the pairing sees it.
struct SpcLinePart {
    SpcLineIdentity identity;
    // What its line shows is not known (the reference book now gives it no place in the bill of materials):
    // it has no place in the set's order, only the member a line knows tells its line, and else it takes
    // one of the set's own lines that no other part takes.
    bool textsUnknown = false;
};

struct SpcLinePairing {
    // For each part, the old line it is rebuilt from; none for a part without one (or without a line).
    std::vector<std::optional<size_t>> own;
    // For each old line, the part it belongs to: the part it was made for, or, for a second line showing a
    // part's text, that part. None: the line is no part's.
    std::vector<std::optional<size_t>> owner;
};

// parts: in the set's order, none for a part that takes no line. lines: in Velmar's order.
// For each text in turn (the member a line knows, its designation, its name; an empty text shows nothing) a
// line goes to the part in its place among the parts showing that text, else to the first of them still
// without a line; the set's own lines are paired before the others. Places count in the set's order: a
// part's among the parts whose texts are known, a line's among the set's own. A set's own line left (a part
// renamed, a designation the preset builds otherwise, a line typed over with another part's text) goes to
// the part left in its place, else to the first part left. A line left that shows a part's text is that
// part's second line. A set's own line left after that goes to a part whose texts are unknown, in the set's
// order. Twins (parts of one identity) take their lines in the set's order.
SpcLinePairing PairSpcLines(const std::vector<std::optional<SpcLinePart>>& parts, const std::vector<OldSpcLine>& lines);
// The same, every part's texts known.
SpcLinePairing PairSpcLines(const std::vector<std::optional<SpcLineIdentity>>& parts, const std::vector<OldSpcLine>& lines);

// The old lines of a set rebuilt in another make-up: where each goes.
struct SpcLineHandOver {
    // For each new part, the old line its new line is made from: the own line of the old part it succeeds.
    std::vector<std::optional<size_t>> own;
    // For each old line made for an old part, the new part whose new line takes its comments: the one that
    // succeeds that old part where it gets a line; none where none does (the set's first new line takes them).
    std::vector<std::optional<size_t>> heir;
    // For each old line, whether it was made for an old part and goes; a line of no old part stays.
    std::vector<bool> goes;
};

// made: the old lines paired with the old parts (the set as it was); succession: the old parts, as lines,
// paired with the new parts; getsLine: for each new part, whether it gets a line.
SpcLineHandOver HandOverSpcLines(const SpcLinePairing& made, const SpcLinePairing& succession, const std::vector<bool>& getsLine);
