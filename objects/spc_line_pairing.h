#pragma once
// Which old bill-of-materials line belongs to which part when several parts are rebuilt together: the
// members of a fastener set in a drawing or an assembly, or a set replaced by one part. What the user
// typed on a line (its texts, its position, its comments) stays with the part the line was made for, so
// every road that rebuilds such lines pairs them by this one rule.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The texts that tell which part a line shows: its designation (column 4.1) and its name (5.1).
struct SpcLineIdentity {
    std::wstring designation;
    std::wstring name;
};

// An old line as the pairing sees it.
struct OldSpcLine {
    SpcLineIdentity identity;
    // The set's position leader holds it: of several lines of one part, this one is the set's own (a line
    // Velmar would not delete, or one the user added beside it, is not).
    bool held = false;
};

struct SpcLinePairing {
    // For each part, the old line it is rebuilt from; none for a part without one (or without a line).
    std::vector<std::optional<size_t>> own;
    // For each old line, the part whose new line takes its comments: the part it was made for, or, for a
    // second line showing a part's text, that part. None: the line is no part's.
    std::vector<std::optional<size_t>> owner;
};

// parts: in the set's order, none for a part that gets no line. lines: in Velmar's order.
// A line goes with the first part still without one that shows its designation, then its name (an empty
// text shows nothing); the set's own lines (held) are paired before the others. A line left that shows a
// part's text is that part's second line; the lines that show no part's text go with the parts left, in
// the set's order.
SpcLinePairing PairSpcLines(const std::vector<std::optional<SpcLineIdentity>>& parts, const std::vector<OldSpcLine>& lines);
