#pragma once
// Which old bill-of-materials line belongs to which part when several parts are rebuilt together: the
// members of a fastener set in a drawing or an assembly, or a set replaced by one part. What the user
// typed on a line (its texts, its position, its comments) stays with the part the line was made for, so
// every road that rebuilds such lines pairs them by this one rule.
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

struct SpcLinePairing {
    // For each part, the old line it is rebuilt from; none for a part without one (or without a line).
    std::vector<std::optional<size_t>> own;
    // For each old line, the part whose new line takes its comments: the part it was made for, or, for a
    // second line showing a part's text, that part. None: the line is no part's.
    std::vector<std::optional<size_t>> owner;
};

// parts: in the set's order, none for a part that gets no line. lines: in Velmar's order.
// A line goes with the first part still without one that is the part it knows, then that shows its
// designation, then its name (an empty text shows nothing); the set's own lines are paired before the
// others. Where a part shows a text of two of the set's own lines while another part is left without
// one, the line in the part's place in the set's order is its own and the other goes to the part left
// (a line typed over with another member's text); a line left that shows a part's text is that part's
// second line only where no part can take it. The set's own lines that show no part's text go with the
// parts left, in the set's order. Twins (parts of one identity) take their lines in the set's order.
SpcLinePairing PairSpcLines(const std::vector<std::optional<SpcLineIdentity>>& parts, const std::vector<OldSpcLine>& lines);
