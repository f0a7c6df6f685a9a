#pragma once
// A standard part that lives in a Velmar drawing or fragment as one macro object. The part's identity is
// kept on the macro as a user-data block, so that a placed part can be recognised, replaced, found and
// given spc objects later. This base reads and writes the block, places copies of the part with
// the cursor (through the 2D part panel when the part has a preset of its own, else through Velmar's own
// placement), gives each copy its position leader and spc object, replaces a placed part in place
// and inserts without user interaction. The drawing itself is the leaves' (script and fragment parts):
// CreateNewGroup, CreateNewMacroInGroup and CreateNewMacro.
#include "core/obj_array.h"
#include "objects/nm_vel_obj.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class NMSpcObjSnapshot;

class NMVelmarTCS2D;

class NMVelObj2D : public NMVelObj {
public:
    // PosLeadMode values.
    static constexpr int32_t LeaderNew = 0;
    static constexpr int32_t LeaderExisting = 1;
    static constexpr int32_t LeaderNone = 2;

    // The active document in both layers; a missing application raises E_POINTER. With a macro the object
    // is a placed part to replace (state replace) and reads the macro's identity.
    NMVelObj2D(IVel5Application* app5, IVel7Application* app7, INMClient* client, int32_t macroReference, bool isSpecActive);
    ~NMVelObj2D() override;

    // Takes over the macro and the spc objects of another 2D library object (E_INVALIDARG for any
    // other kind).
    void BindTo(NMObject* found) override;
    std::unique_ptr<NMObject> CreateOnBase() override;
    // The base's, then the fastener set's base variant from "BASE_DF140A40AB3446B8" when it has a value.
    void loadPartData(const pugi::xml_node& node, XmlDocumentPtr document = nullptr) override;
    void Select() override;
    void Unselect() override;
    void Edit() override {}
    // Places copy after copy until the user cancels; in a drawing that shows its bill of materials only the spc
    // object is made.
    void Insert() override;
    void Replace() override;
    // The spc objects the macro is included in.
    void GetExistsSpcObjects(const SpcDocContext& context) override;
    // The number goes to the document's bill of materials; nothing without one.
    void RestorePosition(int32_t position) override;
    void Save() override;
    // Reads the macro's block; a missing, foreign or damaged block leaves the object unrecognised.
    void Load() override;
    void CreateTechAttribute(double type, IVel5AttributeManager* manager, const TechAttrValues& values,
                             const std::wstring& library) override;
    void DeleteTechAttribute(double type, IVel5AttributeManager* manager) override;

    // The leaves' drawing: into a new group (group), as a macro inside a new group (group, macro), as a
    // macro (macro). The base draws nothing.
    virtual void CreateNewGroup() {}
    virtual void CreateNewMacroInGroup() {}
    virtual void CreateNewMacro() {}
    // ReplacePart with a move of the macro when any of the three is 1e-6 or more in magnitude. The old
    // lines are judged by asDrawn where a caller read it before it changed the macro (null: by what the
    // macro holds now).
    virtual void replacePartSilent(double x, double y, double angle, const SpcLineMakeUp* asDrawn = nullptr);

    // IsTCS := one of the macros inside the macro is a library part.
    void CheckForTCS();
    // One of the macros inside the macro is a library part: the macro is a fastener set's.
    bool MacroHoldsLibraryParts() const;
    // The library parts among the macros inside the macro, each read from its own macro (its identity and
    // name), in the drawing's order.
    std::vector<std::unique_ptr<NMVelObj2D>> LibraryPartsInMacro() const;
    // Throws the warning that the part drew nothing when the macro or group holds no object (0: none was
    // made). Whether Velmar keeps an empty macro is its own affair: a part nobody sees is never placed.
    // Public for a fastener set, which asks it of each member it draws.
    void RequireDrawing(int32_t owner) const;

    // Position leaders.
    int32_t DrawPosLeader();
    int32_t GetExistsPosLead();
    void GetPosLeadsFromSpcObjects();
    void RemovePosLeads();
    // Deletes the leaders of PosLeads that no line of the bill of materials holds any more, and empties
    // the list: a line that stays, whoever's it is (another set's on a shared leader, one the user
    // attached), keeps its leader. Every road that takes old lines away ends with it.
    void RemoveUnusedPosLeads(const SpcDocContext& context);
    int32_t MakePosLead();
    int32_t CreateNewPosLead(int32_t macroReference);
    int32_t CreateNewPosLeadByOldPosLead(int32_t macroReference, IVel7DrawingObject* oldLeader);

    // Insertion and replacement.
    bool InsertOnePart();
    bool PosByUser();
    void InsertGroup();
    // The user-data block first, then the technological attributes and the component properties.
    void SetAllParams();
    void SetCompProperties();
    // A failed spc object is shown once and the insertion goes on.
    void CreateNewSpcObj2D(const ObjArray& extra);
    // Without messages: a failed spc object is thrown (CantCreateSpcObj).
    void CreateNewSpcObjectSilent(NMSpcObjSnapshot* snapshot, const ObjArray& geometry);
    void ReplacePart();
    void RebuildMacro();
    // The part at the point without user interaction, in a macro of its own (never the one the part
    // was built over); afterwards macro names it. A failure other than the spc object's leaves nothing
    // of the part behind and is thrown; a failed spc object is traced. A part that draws no macro
    // outside a bill of materials is a failure.
    virtual void PlaceAt(double x, double y, double angle);
    // The part's macro drawn where the part draws it, without placement, and its identity saved; a
    // failed save takes the macro back, so that no macro without identity stays. A part that draws no
    // macro leaves macro 0.
    void MakeUnplacedMacro();

    // The line of a part placed earlier (placed; this part bound to it and answered for its identifier)
    // rebuilt from this part's answer: its own line, told from the lines the user attached, which stay as
    // they are, gives its place, texts and comments. A leader is made for it where it has none and
    // mayMakeLeader (the first part of its identifier in a pass); a failure takes that leader back unless the
    // part's line holds it.
    void RecreatePlacedSpcObject(const SpcDocContext& context, const NMVelObj2D& placed, bool mayMakeLeader);
    // What the library gave the line of this placed part (read from its macro): the texts of its preset
    // where the reference book answered for its identifier (answered), else the designation its macro
    // keeps, in the column that shows it; its identifier in `member`.
    SpcLineIdentity PlacedLineIdentity(const NMVelObj2D* answered) const;
    // For each listed line (ExSpcObjs), whether the part's position leader (of PosLeads, the one holding
    // most of them) holds it.
    std::vector<bool> HeldByOwnLeader();
    // The listed lines handed over from what the macro held as drawn (asDrawn) to the parts that take its
    // place (now, their succession identities; getsLine, whether each gets a line). Needs PosLeads of
    // the listed lines.
    SpcLineHandOver HandOverOldLines(const SpcLineMakeUp& asDrawn, const SpcDocContext& context,
                                     const std::vector<SpcLineIdentity>& now, const std::vector<bool>& getsLine);

    // A part variable with a value: the method parameters first, then the object data; null when neither
    // has one.
    const std::wstring* PartValue(const std::wstring& name) const;
    // Deletes an object the insertion or a rebuild made; a failure is traced, never thrown.
    void DeleteQuietly(int32_t reference) noexcept;

    bool IsTCS = false;
    int32_t BaseVariant = 1;
    int32_t macro = 0;
    int32_t group = 0;
    int32_t PosLeadMode = LeaderNone;
    ObjArray PosLeads;
    // What the spc object of a whole-drawing pass is to include beside the macro (a leader made for it);
    // emptied by BindTo, so that nothing of one object joins the next one's spc object.
    ObjArray Geometry;
    IVel5Document2DPtr iDoc5;
    IVel7Document2DPtr iDoc7;
    double mx = 0;
    double my = 0;
    double mang = 0;

protected:
    // The document the part is drawn in; E_POINTER without one.
    IVel5Document2D* Doc() const;
    // A part variable that must be there (the method parameters first); absent: the Variables error.
    std::wstring RequirePartValue(const std::wstring& name) const;
    // Opens a macro (11), draws, ends it (19) and returns its reference. When the drawing fails the macro
    // is ended and deleted before the failure goes on.
    int32_t DrawMacro(const std::function<void()>& draw);
    // Opens a group (24) into group, draws and ends it (25). When the drawing fails the group is ended
    // before the failure goes on.
    void DrawGroup(const std::function<void()>& draw);
    // The same into another reference than group.
    void DrawGroupInto(int32_t& target, const std::function<void()>& draw);
    // The version-7 drawing object of a reference of the active document (empty list for 0).
    ObjArray DrawingObjectOf(int32_t reference) const;
    // Deletes what the copy being made has made so far (its spc object, the leader drawn for it, its
    // macro); never throws.
    virtual void DiscardCopy() noexcept;
    // Lets the user place the macro (false when cancelled: its uncommitted group is Velmar's to drop),
    // then puts it into the drawing's group, moves it into place and writes its values; when any of that
    // fails the macro is deleted before the failure goes on.
    bool PlaceAndWrite(TraceScope& scope, const std::function<void()>& writeValues);
    // Deletes the first listed old line only; a failure leaves it whole and first in the list.
    void RemoveFirstOldLine();
    // The remaining old lines, then the old leaders no line holds any more (RemoveUnusedPosLeads). A step
    // Velmar fails is asked once more; a line it will not delete is kept with its geometry, and the
    // failure is reported at the end.
    void RemoveOldLinesAndLeaders();
private:
    // The part's spc object of the copy just placed, with its leader; what a failure leaves of the copy
    // is deleted.
    void FinishCopy();
    void ReplacePartAt(const double* placement, const SpcLineMakeUp* madeUp);
    // The lines of the replaced set's other members (or the replaced part's second lines): their comments
    // to the part's new line, then they go, with every leader of theirs no line holds any more
    // (RemoveOldLinesAndLeaders).
    void RemoveSetsOtherLines(ObjArray lines);
    void EditNewSpcObject();

    int32_t drawnLeader_ = 0;   // the leader DrawPosLeader drew for the copy being finished
};
