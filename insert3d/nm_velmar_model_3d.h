#pragma once
// A standard part that goes into the active assembly as a component built from its model file. Every
// round of an insertion makes a new part from the file, shows it as a phantom with the part's parameters,
// proposes mates from the model's named geometry and lets the user place it in the part panel; an
// accepted placement becomes a component with its parameters, mass, material, identity and mates, and
// gets its spc object before the next round starts. A cancelled panel ends the insertion.
#include "insert3d/velmar_mate_set.h"
#include "objects/nm_vel_obj_model_3d.h"

#include <memory>
#include <vector>

class NMSpcObjSnapshot;
class PhantomGuard;

class NMVelmarModel3D : public NMVelObjModel3D {
public:
    // editedPart: the component to edit, or null for a new insertion. Unless isSpecActive, the active
    // document must be a 3D one in both layers (the wide strings "No active document 3D API5" and
    // "... API7"); with it, the object works on a bill of materials, 3D when there is a 3D document.
    // settings stays the caller's.
    NMVelmarModel3D(IVel5Application* app5, IVel7Application* app7, INMClient* client, IVel5Part* editedPart,
                    bool isSpecActive, NMAllSettings* settings);
    ~NMVelmarModel3D() override;

    // Takes over the component of another component model found in the document (E_INVALIDARG for any
    // other kind of object): state edit for the same model file, replace for another.
    void BindTo(NMObject* found) override;
    // The mass is written only once the component stands in the assembly: one that is no number fails
    // the load instead, before the user places anything. No mass ("NULL_VALUE" or blank) is no fault.
    void loadPartData(const pugi::xml_node& node, XmlDocumentPtr document = nullptr) override;
    std::unique_ptr<NMObject> CreateOnBase() override;
    void Select() override;
    void Edit() override;
    void Insert() override;
    void Replace() override;
    // The edited component's own spc objects (ListOwnSpcLines).
    void GetExistsSpcObjects(const SpcDocContext& context) override;
    // Of the spc objects the edited component is included in, lists its own (ExSpcObjs: its own line first,
    // then its second lines) and gives back the others, lines the user attached, which stay as they were
    // made. Its own line shows the text its identity block holds (of several, one its position leader
    // holds); with the "ID Normset" column, its lines carry a value there. A single line is its own. A part
    // the reference book gives no spc data (hasSpcData false) has no line of its own: a line showing nothing
    // but its texts is its, to go with it, and any other, a single one as well, the user's. ownGuessed (may be
    // null): whether nothing but the order of their texts told its own line among several.
    ObjArray ListOwnSpcLines(const SpcDocContext& context, bool hasSpcData = true, bool* ownGuessed = nullptr);
    void RestorePosition(int32_t position) override;
    bool IsCanCreateSpcObj() const override;

    // The bill of materials of an assembly edited in place belongs to the assembly: only a bill of
    // materials document may take the component's object then.
    bool IsTopPartSpcAllowed() const;
    // The component takes part in the bill of materials; true while none is bound.
    bool IsPartSpcEnabled() const;

    // Without user interface: the component at the caller's placement and its spc object, made in the
    // snapshot's place when one is given. A failed spc object is thrown (CantCreateSpcObj) and leaves the
    // whole component; any other failure takes back the component and the spc object made for it.
    void InsertSilent(NMSpcObjSnapshot* snapshot, IVel5Placement* placement);
    // Without user interface and quickly: the component without placement or spc object. In both, a
    // failure after the part joined the assembly takes it out again: the caller learns of no part, so
    // none may stay behind half set up.
    void InsertFast();

    // The steps of an insertion, also used by fastener sets and the controller's silent paths.
    // A new part from NM_Path and NM_Body joined as they are; a missing file is BadResponse.
    void CreateNewPart();
    // The new part becomes a component of the assembly.
    void InsertPart();
    // The part's model variables from the method parameters. Every named value is converted before any
    // variable is written: a value that is no number changes nothing ("Wrong parameter \"%s\": %s").
    void Instantiate(IVel5Part* part);
    // Identity block (unless debug_mode), material, material identifier, mass, component properties.
    void SetAllParams();
    // Nothing for a null placement.
    void SetPlacement(IVel5Placement* placement);
    void SetMass();
    // "MACC" as the component stores it; one that is no number, or no mass a part can have, is BadResponse.
    double MassToStore() const;
    void SetMaterial();
    // The material identifier attribute of "bo_atr.lat"; the old one is deleted only once the new one
    // can be made.
    void SetMaterialID();
    void SetCompProperties();
    void CreateMates(VelmarMateSet& mates);

    // The spc object of the copy just placed; a failed object is shown and the insertion goes on.
    void CreateNewSpcObj3D();
    // leaders: position leaders the new object includes beside the part.
    void CreateNewSpcObj3DSilent(NMSpcObjSnapshot* snapshot, const ObjArray& leaders = ObjArray());
    // listed: the old objects are those listed already (ExSpcObjs), not the edited component's as they are
    // now.
    void InternalChangeSpcObj3D(const SpcDocContext& context, const ObjArray& geometry, bool listed = false);
    // As InternalChangeSpcObj3D, with a failed object shown instead of thrown; whether the object was
    // made. A refused one leaves the part's old objects as they were.
    bool ChangeSpcObj3D(const SpcDocContext& context, const ObjArray& geometry, bool listed = false);

    // The position leaders of the document that point at the part (a version-7 part) and can be included
    // in an spc object, once each.
    ObjArray GetPosLeadsForPart(IDispatch* part);
    // Every leader of the document that points at the part, of the kinds a replaced component hands on
    // (86, 89, 90, 105), once each. It needs no model: a set whose new make-up has none still hands on
    // the leaders of the members it drops.
    static ObjArray GetLeadersOfPart(IVel5Application* app5, IVel7Document3D* doc7, IDispatch* part);
    static void RemovePosLeaders(const ObjArray& leaders);

    // A leader of the replaced component made again on the new one: the copy, whether it is a position
    // leader (kind 89, which goes into the new component's line), and the spc objects that held the old one.
    struct LeaderCopy {
        IDispatchPtr copy;
        bool numbering = false;
        ObjArray holders;
    };
    static ObjArray PositionLeaderCopies(const std::vector<LeaderCopy>& copies);
    // What a new line includes beside its component: the position leaders among `own` (the copies made on
    // its component) that no line held, every copy of `copies` whose old leader one of `oldLines` (the old
    // lines it is rebuilt from) held, and every other leader those lines hold that is still in the document
    // and not among `going` (leaders on their way out, to be made again later), each once. A line keeps
    // every number it showed, and takes none another line showed.
    ObjArray LeadersForLine(const std::vector<LeaderCopy>& own, const std::vector<LeaderCopy>& copies, const ObjArray& oldLines,
                            const ObjArray& going = ObjArray());
    // Each copy into every line that held its old leader beside those of `rebuilt` (the old lines rebuilt
    // or removed with the replace): another part's line keeps its number through the copy.
    static void GiveCopiesToOtherLines(const std::vector<LeaderCopy>& copies, const ObjArray& rebuilt);
    // Each line includes the object beside what it holds, and is updated.
    static void IncludeInLines(const ObjArray& lines, IDispatch* object);

    // The component this one replaces (iEdPrt5 and its version-7 twin); null for none.
    void SetEditPart(IVel5Part* part);
    // What the replaced component had beside it in the assembly, handed to the new one. Its places in
    // patterns: the copies there mated at their coordinate systems again.
    void ProcessReplaceEditPartInPatterns();
    // Its leaders made again on the new part, each with the spc objects of the context that held the old
    // one (asked before the copy takes the old one out).
    std::vector<LeaderCopy> SetPosLeaderFromEditPart(const SpcDocContext& context);

    IVel5PartPtr iEdPrt5;
    IVel7PartPtr iEdPrt7;

private:
    // One round: non-zero when the user placed a copy.
    short InsertOnePart();
    void InsertOnePart13(PhantomGuard& phantom, VelmarMateSet& mates);
    void InsertOnePart12(PhantomGuard& phantom, VelmarMateSet& mates);
    short PosByUser(PhantomGuard& phantom, VelmarMateSet& mates);
    short PosByUser13(PhantomGuard& phantom, VelmarMateSet& mates);
    short PosByUser12(PhantomGuard& phantom, VelmarMateSet& mates);
    void SetPlacementByReqInfo(PhantomGuard& phantom);
    // A component whose mates could not all be made does not stay behind half done.
    void DeleteNewComponent() noexcept;
    // The spc object the insertion made, deleted: none stays for a component that did not.
    void DiscardNewSpcObject() noexcept;
    // The spc object just made opened for editing, as the user asked in the settings.
    void EditNewSpcObject();
    // The version-7 twin of a version-5 part; null when Velmar gives none.
    IVel7PartPtr Twin(IVel5Part* part) const;
    const Variables& PartVariables() const;

    // Editing in place: new parameters on the same component, its cone mates, leaders and spc object.
    void EditPart12();
    void RenameEditPart();
    void MoveConeMate();
    void MovePosLeader(ObjArray& geometry);
    // Replacing: a new component in the old one's place, with everything the old one had.
    void ReplacePart12();
    void SetLayerFromEditPart();
    void SetColorsByEditPart();
    void SetPlacementByEditPart();
    void SetMatesFromEditPart();
    void CorrectCoaxialMate(VelmarMateSet& newSet, VelmarMateSet& oldSet);
    void ReplaceEditPartInMacro();
    void DeleteEditPart();

    // The mates of the old member made again for the new one: each mate's other object (for an attach
    // point, the mate element that owns it) with the new member's target, in the mate's kind and value;
    // false when the old member has no mates.
    bool RecreateMates(VelmarMate& newMember, const VelmarMate& oldMember, bool attach);
    bool RecreateMates2(const ObjArray& mates, VelmarMate& newMember, const VelmarMate& oldMember, bool attach);
    // The mates at the old coordinate systems made again at the new systems of the same name and code;
    // the old mates deleted when asked.
    void RecreateLcsMates(const VelmarMateSet::LcsMap& newMap, const VelmarMateSet::LcsMap& oldMap, bool deleteOld);

    // The mates at the coordinate systems of the copies a pattern instance holds of the edited part,
    // under (first index, second index, source position), per pattern of the list.
    struct InstanceMates {
        long first = 0;
        long second = 0;
        long position = 0;
        VelmarMateSet::LcsMap mates;
    };
    using PatternMates = std::vector<std::vector<InstanceMates>>;
    PatternMates StorePatternPartsLCSMates(const ObjArray& patterns);
    void ReplaceEditPartInPatterns(const ObjArray& patterns);
    void RestorePatternPartsLCSMates(const ObjArray& patterns, const PatternMates& stored);
    // The copy a pattern instance holds at a source position.
    IVel5PartPtr InstanceCopy(IVel7Pattern* pattern, long first, long second, long position);
    // The leaders of the document, as the walk starts, that point at the part (a version-7 part) and
    // that `wanted` takes, each once, in the document's order.
    template <class Wanted>
    static ObjArray LeadersPointingAt(IVel5Application* app5, IVel7Document3D* doc7, IDispatch* part, Wanted wanted);
};
