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

// A column a line fills beyond the three that tell its part, with its text.
struct SpcLineColumn {
    long collection = 0;   // 0: the first collection of columns, 1: the second
    long type = 0;
    long number = 0;
    std::wstring text;

    bool operator==(const SpcLineColumn&) const = default;
};

// An old line as the pairing sees it.
struct OldSpcLine {
    SpcLineIdentity identity;
    // One of the set's own lines: its position leader holds it, or the set has no leader. Of several lines
    // of one part the set's own is paired first (a line Velmar would not delete, or one the user added
    // beside it, is not the set's own). A line the user attached to the set by hand pairs only with a part
    // whose text it shows; otherwise it is no part's and stays as the user made it.
    bool setsOwn = true;
    // What else the line shows: every other column the user could write on that it fills. A line is deleted
    // as a part's second line only where it shows nothing the part's kept line does not.
    std::vector<SpcLineColumn> others;
};

// A part as the pairing sees it.
struct SpcLinePart {
    SpcLineIdentity identity;
    // The reference book gives it a place in the bill of materials. A part without one (none ever, or none
    // since the book filed it anew) has a line only where a line shows its text: it takes no line left over.
    bool hasSpcData = true;
};

struct SpcLinePairing {
    // For each part, the old line it is rebuilt from; none for a part without one (or without a line).
    std::vector<std::optional<size_t>> own;
    // For each old line, the part it belongs to: the part it was made for, or, for a second line showing a
    // part's text, that part. None: the line is no part's.
    std::vector<std::optional<size_t>> owner;
    // For each part, whether its own line is one of more lines showing its text than it has twins, and
    // nothing but the order of its texts chose it (no set's run, no leader holding it alone; where the "ID
    // Normset" column tells the lines, only those naming the part count): a line the user wrote on does not
    // go with it on that guess.
    std::vector<bool> guessed;
};

// parts: in the set's order (ordered; otherwise a line's place tells nothing), none for a part that takes
// no line. lines: in Velmar's order.
// A part without spc data has no place: it takes a line showing its text and no text of a part with spc
// data, and only where the line shows nothing but those texts (else the line is the user's). Places count
// once, in the set's order: a part's among the parts with spc data, drawn or not; a line's among the set's
// own lines but those a part without spc data takes. For each text in turn (the member a line knows, its
// designation, its name; an empty text shows nothing) a line goes to the part in its place showing that
// text; a line showing part N's text in part M's place is M's, typed over, where M has no line showing its
// own text (but those its twins take and the user's) and more lines show N's text than parts do; else the
// line goes to the first part showing that text still without a line. The set's own lines are paired, and
// those left (a part renamed, a designation the preset builds otherwise) given to the part left in their
// place (where the parts are not in the set's order, to the first part left with spc data), before the
// lines beside them. A line left that shows a part's text is that part's second line where it shows nothing
// the part's own line does not; otherwise it is the user's. Twins (parts of one identity) take their lines
// in the set's order.
SpcLinePairing PairSpcLines(const std::vector<std::optional<SpcLinePart>>& parts, const std::vector<OldSpcLine>& lines,
                            bool ordered = true);
// The same, every part with a place.
SpcLinePairing PairSpcLines(const std::vector<std::optional<SpcLineIdentity>>& parts, const std::vector<OldSpcLine>& lines);

// A single part is a set of one: its old lines paired with it. lines[j].setsOwn: the line holds a position
// leader of the part; identity.member: the line's "ID Normset" value. A single line is the part's whatever
// it shows. Where the bill of materials has that column (idColumn) and a line's value there names the part,
// a line is the part's only where its value names it: a line whose value names another part, or nothing
// known, is the user's, and so is a line without a value. Otherwise (lines made before the column, or the
// part answered for under another identifier since) the part's own line is the one showing its text (of several, one its
// leader holds) and the others showing it are its second lines; where none shows it, the one line a leader
// holds is its own. Any other line is one the user attached: no part's.
SpcLinePairing PairSinglePartLines(const SpcLineIdentity& part, const std::vector<OldSpcLine>& lines, bool idColumn);

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

// A part or a set as the document holds it: the parts its old lines were made for. A single part is a set
// of one.
struct SpcLineMakeUp {
    // In the set's order where `ordered`, else in the drawing's.
    std::vector<std::optional<SpcLinePart>> parts;
    // Each part as the parts of another make-up see it: the part it is in the reference book whatever its
    // size (`member`), then its designation (`name`).
    std::vector<SpcLineIdentity> kinds;
    bool ordered = true;
    bool single = false;
};

// The old lines paired with the make-up they were made for. lines[j].setsOwn: the part's or the set's
// position leader holds the line; a set without a leader owns every line it has, a single part only the
// lines its leader holds. idColumn: the bill of materials has the "ID Normset" column; where a line's value
// there names a part, the lines go by the column as a single part's do, but for the parts that do not know
// their identifier (read from a drawing the reference book no longer answers for), which take lines by
// what they show.
// A set lists its lines in its own order, one a member with spc data, and a replace lists the lines it hands
// on before those it makes: the set's run is the one stretch of its own lines, as many as those members,
// that shows them in order (but for one line typed over, and lines showing no member's text). A line showing
// a member's text out of the run, one the user listed perhaps with the member's exact designation, takes no
// place, and goes as the member's second line only where it shows nothing the member's line in the run does
// not. Where no stretch or two show the members as well, the rules of PairSpcLines hold.
// In a set without a leader, told otherwise, places decide only where the lines confirm them: where at most
// one line counted is out of step (showing another part's text than the one in its place, or standing
// beyond the last place). A line no part takes by what it shows is a part's only where it shows no part's
// text and stands between the lines of that part's neighbours in the set's order (lines told by what they
// show), or where the lines are as many as the parts with spc data and it stands in the part's place among
// them; a line before the first or after the last line told by what it shows takes no place and is the
// user's.
SpcLinePairing PairOldSpcLines(const SpcLineMakeUp& asDrawn, std::vector<OldSpcLine> lines, bool idColumn);

// The old lines of a make-up rebuilt as another: each old part's lines go to the new part that succeeds it
// (by kind, then the set's order); a line made for no old part stays, and so does a line the user wrote on
// of an old part no new line succeeds whose own line was guessed. now: the new parts' kinds; getsLine: for
// each new part, whether it gets a line.
SpcLineHandOver HandOverOldSpcLines(const SpcLineMakeUp& asDrawn, const std::vector<OldSpcLine>& lines, bool idColumn,
                                    const std::vector<SpcLineIdentity>& now, const std::vector<bool>& getsLine);
