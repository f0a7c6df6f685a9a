#pragma once
// A fastener set in a drawing (a bolt with its washers and nut, a stud, a screw with its hole): one set
// macro holding a member macro per member part, each drawn by its own part script or fragment as a
// member of a set, laid out along the set's axis by the set's base variant and cut where "CutFlags"
// asks. The set macro carries "TKR2D" as its NM_QuarvendID; every member macro carries its own
// identity, and every member has its own spc object (one question per set when one must move).
#include "insert2d/nm_vel_obj_2d.h"
#include "insert2d/tcs_layout.h"
#include "objects/spc_line_pairing.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class NMVelmarTCS2D : public NMVelObj2D {
public:
    // One member part with its layout in the set.
    struct Member {
        std::unique_ptr<NMVelObj2D> part;
        TCSPlacement place;
    };

    // settings: the command's (not owned). The set has a default preset of its own, so that it counts as
    // having spc data; its members bring their own.
    NMVelmarTCS2D(IVel5Application* app5, IVel7Application* app7, INMClient* client, int32_t macroReference,
                  bool isSpecActive, NMAllSettings* settings);
    // The members go before the set's own part.
    ~NMVelmarTCS2D() override;

    // The set's part data, then one script (".vbs" body) or fragment member per listed member, and the
    // cut mask.
    void loadPartData(const pugi::xml_node& node, XmlDocumentPtr document = nullptr) override;
    // Places set after set until the user cancels; in a drawing that shows its bill of materials only
    // the members' spc objects are made.
    void Insert() override;
    void Replace() override;
    // The members drawn into a new group (a replacement's drawing): no set macro, no cut.
    void CreateNewGroup() override;
    // The set macro in a new group, with its members drawn, laid out and cut (a placement's drawing).
    void CreateNewMacroInGroup() override;
    // A set has no drawing of its own beside its members'.
    void CreateNewMacro() override {}
    // ReplaceTCS, then the set macro moved by the placement unless all three are below 1e-6.
    void replacePartSilent(double x, double y, double angle, const SpcLineMakeUp* asDrawn = nullptr) override;
    // A new set macro with its members at the point, as a placement by the user makes one: laid out, cut,
    // committed, written and given the members' spc objects; in a drawing that shows its bill of
    // materials only the members' spc objects. A failure other than the spc objects' takes all of it back;
    // a set that draws nothing is such a failure.
    void PlaceAt(double x, double y, double angle) override;

    // The member list of a set placed earlier, from the reference book: its members' identities, then
    // each member's response. BadResponse "No response" or "No objects in response"; the identities read
    // before stay known (MakeUpAsDrawn).
    void FillFromMacro();
    // The members' spc objects anew, attached to the set macro and the leader (0: none). The old lines are
    // told by what the macro held as drawn (asDrawn; null: this set itself): each was made for one of its
    // parts or for none (one the user attached), and the line of each old part goes to the member that
    // succeeds it (HandOverOldSpcLines): its place, position and column texts make that member's new line,
    // the comments on all its lines move there (those of a part no new line succeeds, to the set's first
    // new line), and the old lines and their leaders go. A line of no part stays as the user made it.
    // Until an old line is deleted, a failure takes back the new lines (and the leader, when it was made
    // for them: leaderMadeForIt) and gives every comment back to its old line; past that point what is
    // left of the old lines and leaders still goes before a failure is reported, but for a line Velmar
    // will not delete, which keeps its geometry and its leader. An old line whose comments have nowhere to
    // go (no member has a new line, or Velmar would not move one) stays as it is, with its leader.
    void RecreateTCSSpcObjects(int32_t leaderReference, bool leaderMadeForIt = false, const SpcLineMakeUp* asDrawn = nullptr);
    // The lines of a set placed earlier rebuilt for its members as the reference book lists them now
    // (FillFromMacro), with a leader of their own. False, and nothing done, where no member has a place in
    // the bill of materials: like a part without one, the set has nothing to rebuild its lines from, so they
    // stay as they are, leader and comments with them.
    bool RecreatePlacedSpcObjects(const SpcDocContext& context);
    // Some member has a place in the bill of materials: without one the set has no lines to make.
    bool AnyMemberHasSpcData() const;
    // The part or set the holder's macro holds, as drawn: read before the macro is drawn anew. A single
    // part is a set of one, told by the texts its preset gives a line where the reference book answered
    // for its identifier (answered), else by the designation its macro keeps. A set's members are its
    // member macros, in the set's order where the reference book's listing of the set's identifier (that
    // of answered where it is the same set, else asked for) names them all; a member the listing has and
    // the drawing lacks is told only by what a line shows.
    static SpcLineMakeUp MakeUpAsDrawn(const NMVelObj2D& holder, const NMVelObj2D* answered);
    // This set's members as a make-up.
    SpcLineMakeUp MakeUp() const;

    // Draws the members this drawing takes; a member that draws nothing refuses the set (the warning
    // naming it).
    void InsertTCSParts();
    void ArrangeTCSParts();
    double CalcPartsDisplace();
    void ApplyPartsDisplace(double displace);
    void ApplyPartsPlacement();
    void CutByMask();
    void CutByRect(const CutRectangle& rectangle);
    uint32_t GetCutMask();
    double CalcPacketSize();
    void SetTCSPartsParams();
    void SetAllTCSParams();
    bool InsertOneTCS();
    // The set's members drawn anew into the macro and their lines rebuilt; the old lines judged by madeUp
    // where a caller read it before it changed the macro (null: read here, before the macro is drawn anew).
    // A set that draws nothing replaces nothing: the warning that it drew nothing is thrown.
    void ReplaceTCS(const SpcLineMakeUp* madeUp = nullptr);

    std::vector<Member> Parts;
    uint32_t CutMask = 0;

protected:
    // The members' new spc objects go with the set.
    void DiscardCopy() noexcept override;

private:
    // The member identities the reference book listed for the set (FillFromMacro).
    std::vector<std::wstring> listedIds_;
    // Deletes the members' current spc objects (a failure traced) and forgets them.
    void DiscardMembersSpcObjects() noexcept;
    // The placements of the members as the arrangement needs them.
    std::vector<TCSPlacement> Placements() const;
    // Opens a group (24), draws into it (given its reference) and ends it (25) whatever the end answers:
    // the cut's groups.
    int32_t CutGroup(const std::function<void(int32_t)>& draw);
    // Comments that went from an old line to a new one, so that a take-back gives them to the line they
    // came from.
    struct CommentsMove {
        IVel7SpcObjectPtr from;
        IVel7SpcObjectPtr to;
        long count = 0;
    };
    // The member gets a line of its own in the bill of materials.
    bool GetsLine(const NMVelObj2D& part) const;
    // The comments of each old line (ExSpcObjs) that goes to the new line of its heir (the member that
    // succeeds its member), else to the set's first new line; each move recorded as it is made. An old line
    // that keeps a comment, and a line that does not go (the user attached it), leave ExSpcObjs for kept,
    // so that they are not deleted.
    void MoveCommentsToMembersLines(const SpcLineHandOver& handOver, std::vector<CommentsMove>& moves, ObjArray& kept);
    // After a failure: each moved comment back to its old line (failures traced).
    void GiveCommentsBack(const std::vector<CommentsMove>& moves) noexcept;
    // The members' spc objects, each made from its own old line (ownLines), a member without one in the set's
    // first line's place with nothing typed on it, the question whether they move asked once for the set.
    void RecreateMembersSpcObjects(const SpcDocContext& context, const std::vector<std::optional<size_t>>& ownLines,
                                   const ObjArray& geometry, bool withLeader);
};
