#pragma once
// A 3D fastener set: one component per part of the joint (bolt, washers, nut ...) stacked along the axis
// through the packet of joined parts, and one constructive element per hole, grouped under one macro
// element of the top part that is marked "TKR3D" and named after the set, mated to each other and to
// the assembly. One set is made per placement record of the holes' positioning model; a placed set is
// replaced in place, in its arrays, each new member taking over from the old member it pairs with (its
// places in patterns, its leaders, its spc objects); a leader several lines numbered through numbers each
// of the lines rebuilt from them, and a dropped member's leader a line still numbers through moves to the
// part whose line takes the member's lines, or, where the set makes no line, to the part of a line that
// stays. An answer that names no member is refused before anything changes.
#include "insert3d/nm_velmar_element_3d.h"
#include "insert3d/nm_velmar_model_3d.h"

#include <memory>
#include <vector>

class NMSpcObjSnapshot;

class NMVelmarTCS3D : public NMVelObjElem3D {
public:
    // macro: the set to replace, or null for a new insertion. elemPos (may be null) is cloned. The two
    // locations are the controller's, handed on to the hole elements. settings stays the caller's.
    NMVelmarTCS3D(IVel5Application* app5, IVel7Application* app7, INMClient* client, IVel5Entity* macro, const NMElemPos* elemPos,
                  const _bstr_t& startLocation, const _bstr_t& location, bool isSpecActive, NMAllSettings* settings);
    ~NMVelmarTCS3D() override;

    // Takes the found set's macro element and definition, the set Replace replaces, and a clone of its
    // positioning model for the set and its holes (E_INVALIDARG for any other kind of object).
    void BindTo(NMObject* found) override;
    std::unique_ptr<NMObject> CreateOnBase() override;
    // The set's own data, then one member per part of the set: a ".vbs" body (in any case) is a hole
    // element, anything else a component model; each member keeps its place in the set.
    void loadPartData(const pugi::xml_node& node, XmlDocumentPtr document = nullptr) override;
    // The set's macro element into the document's selection.
    void Select() override;
    void Edit() override {}
    // One set per placement record; with a bill of materials only the members' spc objects; without a
    // positioning model, nothing but a warning saying why.
    void Insert() override;
    void Replace() override;
    bool HasSpcData() const override { return !Models.empty(); }
    void CreateTechAttribute(double, IVel5AttributeManager*, const TechAttrValues&, const std::wstring&) override {}
    void DeleteTechAttribute(double, IVel5AttributeManager*) override {}

    // The record of the holes' positioning model every set and every hole element works at.
    void SetActivePosItem(size_t index);

    _bstr_t StartLocation;
    _bstr_t CurrentLocation;
    std::vector<std::unique_ptr<NMVelmarModel3D>> Models;
    std::vector<std::unique_ptr<NMVelmarElement3D>> Elements;
    bool SpcError = false;

private:
    // A member of the old set: its component, what it is in the reference book, and what it had in the
    // bill of materials (its own first object as it was, its own objects, and the lines the user attached
    // to it, which stay).
    struct OldMemberSpc {
        IVel5PartPtr part;
        std::wstring member;
        // The member as the reference book answers for it in the old set's listing now; null where the book
        // no longer lists it there or its answer does not read.
        std::unique_ptr<NMVelmarModel3D> listed;
        // Nothing but the order of their texts told its own line among several showing its texts: no
        // position leader holding one of them alone, no "ID Normset" value naming it.
        bool ownGuessed = false;
        std::unique_ptr<NMSpcObjSnapshot> snapshot;
        ObjArray objects;
        ObjArray attached;
        // The new member that succeeds it takes its spc objects.
        bool linesTaken = false;
    };

    // What a replace hands the new members: for each model the old member it succeeds (null: none), whose
    // places in patterns and leaders it takes, and its spc objects where it takes them; the context the
    // old leaders' lines are asked in; and, back from each model, the copies of its old member's leaders.
    struct Succession {
        std::vector<OldMemberSpc*> own;
        const SpcDocContext* context = nullptr;
        std::vector<std::vector<NMVelmarModel3D::LeaderCopy>> copies;
        // The leaders on old members no model succeeds: no new line takes them as they are.
        ObjArray going;
    };
    // A leader on an old member no model succeeds (its place among the old members), with the spc objects
    // that held it before the replace.
    struct DroppedLeader {
        IDispatchPtr leader;
        size_t member = 0;
        ObjArray holders;
    };

    // Refuses (a warning) an answer that names no member, before anything is placed or replaced.
    void RequireMembers() const;
    void InsertTCS();
    void InsertTCS12();
    // A member's component from its model file with its parameters, where the file placed it.
    void MakeMemberComponent(NMVelmarModel3D& model);
    // The components, each with its spc object; in a replace each takes over from the old member the
    // succession gives it. A model whose spc object is refused lets its old member's objects go.
    void InsertTCSModels(Succession* succession);
    void InsertTCSElements();
    void CreateTCSMacro();
    void MateTCS();
    void SetUniqueNames();
    NMVelmarModel3D& GetLastModelOnPacket();
    NMVelmarModel3D* GetFirstModelUnderPacket();

    void ReplaceTCS12();
    void ReplaceTCSModels();
    void ReplaceTCSElements(class ArrayKeeper& keeper);
    // The components and the elements of the set's macro element, in the order it holds them.
    std::vector<IVel5PartPtr> FindTCSModels();
    std::vector<IVel5EntityPtr> FindTCSElements();
    // The identifiers of the members the reference book lists for the old set's identifier now, in the set's
    // order; none where it no longer answers for the set.
    std::vector<std::wstring> OldSetListing();
    // A member as the reference book answers for its identifier now; null where it gives no answer or one
    // that does not read.
    std::unique_ptr<NMVelmarModel3D> ListedMember(const std::wstring& id);
    // Each old member's own spc objects, told from the lines the user attached to it as a single part's are.
    // A member the listing (OldSetListing) names is known by its answer now: one without spc data has no line
    // of its own. One the listing does not name is told as one with spc data.
    std::vector<OldMemberSpc> FindExSpcObject(const SpcDocContext& context, const std::vector<IVel5PartPtr>& oldParts,
                                              const std::vector<std::wstring>& listing);
    // Where nothing but the order of their texts told a dropped member's own line among several showing its
    // texts (ownGuessed), each of its lines carrying something the user wrote joins the lines the user
    // attached to it, and stays as they do.
    void KeepWrittenLinesOfDroppedMembers(const SpcDocContext& context, std::vector<OldMemberSpc>& previous,
                                          const SpcLinePairing& pairing);
    // The line carries something the user wrote: a comment, or a column beyond those that tell its part and
    // its position filled with a text the member's line as its preset makes it (listed; null: unknown) would
    // not show.
    bool CarriesWriting(IDispatch* line, const OldSpcLine& shown, const NMVelmarModel3D* listed);
    // The old members paired with the new models (PairSpcLines), every one of each: an old member as the
    // line shown by its first spc object (no text without one), a model by the texts of the line it gets
    // (none for a model that gets no line), both known first by what they are in the reference book.
    SpcLinePairing PairOldMembers(const SpcDocContext& context, const std::vector<OldMemberSpc>& previous);
    // The copies of the old leaders into the lines not of the set (not among `oldLines`) that numbered
    // through them, the members' new lines having taken theirs; then a position leader copy of a member
    // without a line goes, unless another line holds it.
    void HandOnLeaderCopies(const SpcDocContext& context, const ObjArray& oldLines, const Succession& succession);
    // The model whose new line takes an old member's lines where no model takes them as its own: the one the
    // member's line belongs to where that one got a line, else the first model that got one; null for none.
    NMVelmarModel3D* LinesHeir(size_t member, const SpcLinePairing& pairing);
    // The leaders of every kind a replaced component hands on that stand on old members no model succeeds,
    // each once.
    std::vector<DroppedLeader> DroppedMembersLeaders(const SpcDocContext& context, const std::vector<OldMemberSpc>& previous,
                                                     const SpcLinePairing& pairing);
    // Each leader on a dropped member that a line which stays (not among `oldLines`) or an old line rebuilt
    // held is made again on the component of the member's lines' heir, in the heir's new line, in every line
    // that stays and held it and in the new line of each member whose old line held it; the old one goes
    // with the member. Where the replace made no line, it is made again on the component of the first line
    // that stays and held it, in every such line. Where no line that stays or is rebuilt held it, it goes.
    void HandOnDroppedMembersLeaders(const std::vector<OldMemberSpc>& previous, const ObjArray& oldLines, const SpcLinePairing& pairing,
                                     const Succession& succession, const std::vector<DroppedLeader>& dropped);
    // The component a line that stays holds once the old set is gone: the first it holds that is no old
    // member, or the one that takes the attached lines of the old member it holds; null for none.
    IVel5PartPtr ComponentOfStayingLine(IDispatch* line, const std::vector<OldMemberSpc>& previous, const SpcLinePairing& pairing);
    // The spc objects of the old members no model took: their comments go to the new line of their heir,
    // and they go.
    void RemoveOldMembersLines(std::vector<OldMemberSpc>& previous, const SpcLinePairing& pairing);
    // The lines the user attached to an old member stay as they were made and hold the member's successor,
    // else the component of its lines' heir: none is left holding only a deleted component.
    void HandOnAttachedLines(const std::vector<OldMemberSpc>& previous, const SpcLinePairing& pairing);
    // The model that holds an old member's attached lines: its successor, else its lines' heir, else the
    // set's first member; null for none, or in a bill of materials.
    NMVelmarModel3D* AttachedLinesHolder(size_t member, const SpcLinePairing& pairing);
    // Each new member in the patterns that held the old member it succeeds, in that one's place.
    void ReplaceTCSModelsInPatterns(const std::vector<OldMemberSpc*>& own);
    // The version-5 object a macro element or a part is kept as in the set's macro element.
    IDispatchPtr MemberObject(IDispatch* object7);
};
