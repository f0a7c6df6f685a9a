#pragma once
// The base of every library object that lives in a Velmar document: 2D macro objects and fastener sets,
// 3D component models, constructive elements and fastener sets, and the wrapper of an existing
// specification object. It ties a part to its host document: the two host applications and the host
// version, the placement preset of the part's specification object, the specification objects the part
// already has and the one made or reused for it, and the identity texts written into stored object data.
//
// Its specification operations create, place, fill, reuse, recreate and move the part's specification
// (bill-of-materials) object; its technological operations write the part's technological data as two
// attributes of the attribute library "corvalis.lat" through the subclasses' CreateTechAttribute.
#include "core/obj_array.h"
#include "core/trace_log.h"
#include "hostapi/spc_doc_context.h"
#include "hostapi/velmar.h"
#include "objects/all_settings.h"
#include "objects/nm_object.h"
#include "objects/spc_columns.h"
#include "objects/spc_line_pairing.h"
#include "objects/spc_preset.h"
#include "objects/tech_params.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class NMSpcObjSnapshot;

class NMVelObj : public NMObject {
public:
    // MoveAnswer: what the user said when a specification object was found away from its preset's place.
    static constexpr int32_t MoveNotAsked = 0;
    static constexpr int32_t MoveToPreset = 1;
    static constexpr int32_t KeepPlace = 2;
    static constexpr int32_t KeepPlaceSilently = 3;   // batches: never asked

    // The owner window is Velmar's main window (a null application raises E_POINTER); the host version
    // is read once here.
    NMVelObj(IVel5Application* app5, IVel7Application* app7, INMClient* client, bool isSpecActive, bool is3DSpec);
    ~NMVelObj() override;

    // The NMObject operations, then the own preset from "spcSection" and its companions when the part
    // names a section and the object has none yet.
    void loadPartData(const pugi::xml_node& node, XmlDocumentPtr document = nullptr) override;
    void loadObjectData(const pugi::xml_node& node, XmlDocumentPtr document = nullptr) override;
    uint32_t Apply() override;
    // Batch mode; the move question is asked again and the failure message shown once more.
    void BeginBatch() override;

    // The part has a placement preset of its own.
    virtual bool HasSpcData() const;
    // Fills ExSpcObjs with the part's existing specification objects; the base only empties the list.
    virtual void GetExistsSpcObjects(const SpcDocContext& context);
    // Deletes every listed specification object from the document. Each one leaves the list as soon as
    // it is deleted, so that a failure half way never leaves a deleted object listed; the one that failed
    // keeps (or gets back) its geometry.
    virtual void RemoveExistsSpcObjects();
    // Writes a carried-over position number to the part's object; the base only traces.
    virtual void RestorePosition(int32_t position);
    // The part has a preset of its own and the "CreateSpcObject" setting is on.
    virtual bool IsCanCreateSpcObj() const;
    virtual void Save();
    virtual void Load();
    // Attach and remove a technological attribute of the part's host object; the base does nothing.
    virtual void CreateTechAttribute(double type, IVel5AttributeManager* manager, const TechAttrValues& values,
                                     const std::wstring& library);
    virtual void DeleteTechAttribute(double type, IVel5AttributeManager* manager);
    // Whether the part's one existing specification object is reused instead of a new one made.
    virtual bool CanUseOldSpcObj(const SpcDocContext& context);

    // The document's spc context (SpcDocContext), refreshed: the one refresh every spc operation starts with.
    SpcDocContext Context(bool createIfMissing) const;
    // The first listed object as a specification object; null for an empty list (no host call) or an
    // object without that interface.
    IVel7SpcObjectPtr GetFirstSpcObject() const;
    // "Не удалось создать объект спецификации." in Velmar's message box, unless batch mode has shown it.
    void ShowSpcObjectCreateError();

    // A new spc object in the rebuild's section, placed, with the geometry included. Needs
    // the first five context members and an own preset; otherwise, or when Velmar gives no object twice,
    // CantCreateSpcObj and no current object. An object Velmar failed to place or to give the geometry
    // is deleted again before the failure goes on.
    void CreateNewSpcObject(const SpcDocContext& context, const ObjArray& geometry);
    // Places the current object at the rebuild's subsection and blocks.
    void updateSpcObj();
    IVel7SpcColumnPtr FindColumnByType(IDispatch* columns, IDispatch* definitions, const SpcColumnKey& key);
    IVel7SpcColumnPtr FindColumnByName(IDispatch* columns, IDispatch* definitions, const std::wstring& name);
    void FillColumn(IVel7SpcColumn* column, const SpcColumnRecord& record, bool useFmt);
    void FillColumnAsString(IVel7SpcColumn* column, const SpcColumnRecord& record, bool useFmt);
    void FillColumnAsRecord(IVel7SpcColumn* column, const SpcColumnRecord& record, bool useFmt);
    // The current object's columns from the rebuild's parsed column set and the part variables.
    void FillSpcObjectColumns(const SpcDocContext& context);
    // The text a new object of the part gets in one column: its column set as the active preset completes
    // it, read with the part variables. Empty where the set fills no such column, for a part without a
    // preset or settings, and for a set that does not read (its rebuild reports that).
    std::wstring ColumnTextByPreset(const SpcColumnKey& key) const;
    // The designation and name a new line of the part shows (ColumnTextByPreset).
    SpcLineIdentity LineIdentityByPreset() const;
    // A new line of the part shows that text in that column: its column set's, its mass, or a value of the
    // part the second collection names a column after. False for any column of a part without a preset.
    bool MakesColumnText(const SpcLineColumn& column) const;
    // The designation and name a line shows; empty texts without the columns or a complete context.
    SpcLineIdentity ShownLineIdentity(IVel7SpcObject* line, const SpcDocContext& context);
    // The line's "ID Normset" column; null where the bill of materials has none or the context is not
    // complete.
    IVel7SpcColumnPtr NormsetIdColumn(IVel7SpcObject* line, const SpcDocContext& context);
    // The identifier the library wrote into the line's "ID Normset" column for the part it was made for;
    // empty where the bill of materials has no such column or the context is not complete.
    std::wstring ShownNormsetId(IVel7SpcObject* line, const SpcDocContext& context);
    // Whether the bill of materials has the "ID Normset" column, as the line's columns show; false without
    // a complete context.
    bool HasNormsetIdColumn(IVel7SpcObject* line, const SpcDocContext& context);
    // A line as the pairing sees it: what it shows, the part its "ID Normset" names (where the context is
    // complete) and the texts of every other column it fills.
    OldSpcLine ShownOldSpcLine(IVel7SpcObject* line, const SpcDocContext& context);
    // The listed objects as the pairing sees them: what each shows, the part its "ID Normset" names, and
    // (setsOwn) whether the set's or the part's leader holds it.
    std::vector<OldSpcLine> ReadOldSpcLines(const SpcDocContext& context, const std::vector<bool>& setsOwn);
    // Keeps listed only the lines that are the part's, its own line first and then its second lines, and
    // gives back the others, lines the user attached, which stay as they were made. madeAs: the texts the
    // library gave the part whose lines they are (a replaced part's, not its successor's), its identifier
    // in `member`; heldByLeader: for each listed line, whether it holds a position leader of the part. An
    // empty list after it means no line is the part's own: it gets a new one. A part without spc data
    // (hasSpcData false) has no line of its own: a line showing nothing but its texts is its, any other the
    // user's, a single line as well. ownGuessed (may be null): whether nothing but the order of their texts
    // told its own line among several showing its text (SpcLinePairing::guessed).
    ObjArray KeepOwnSpcLinesListed(const SpcDocContext& context, const SpcLineIdentity& madeAs, const std::vector<bool>& heldByLeader,
                                   bool hasSpcData = true, bool* ownGuessed = nullptr);
    // The first listed object becomes the current one, placed and numbered, and leaves the list.
    void useOldSpcObj(const ObjArray& geometry);

    // Rebuilds the part's first existing specification object (or makes one) and fills its columns.
    void ChangeSpcObject(const SpcDocContext& context, const ObjArray& geometry);
    // The same from the objects already listed (ExSpcObjs), as the caller chose them.
    void ChangeListedSpcObject(const SpcDocContext& context, const ObjArray& geometry);
    // In the old object's place, or at the active preset's place after one question.
    void RecreateSpcObject(const SpcDocContext& context, NMSpcObjSnapshot* snapshot, const ObjArray& geometry);
    void RecreateSpcObjByOldSpcObj(const SpcDocContext& context, NMSpcObjSnapshot& snapshot, const ObjArray& geometry);
    void RecreateSpcObjByActivePreset(const SpcDocContext& context, NMSpcObjSnapshot* snapshot, const ObjArray& geometry);
    // The comment objects of the listed objects go to the current object (hosts from 15.0.1).
    void moveCommentObjects();

    // The part's element and parameter attributes; nothing without the attribute library.
    void SaveTechParams();
    void clearTechParams();

    bool IsNMObject = true;
    bool IsSpecActive;
    bool Is3DSpec;
    bool SpcErrorShown = false;          // the failure message was shown in this batch
    std::wstring NM_LibName;
    std::wstring NM_LibFileName;
    std::wstring NM_Type;
    NMAllSettings* Settings = nullptr;   // not owned; set by the creator
    std::unique_ptr<NMSpcPreset> OwnPreset;     // as the part's answer gave it; a rebuild never changes it
    // The place and columns of the latest rebuild: the own preset completed by the active preset, or
    // taken over from the old object; what the new object is made, placed and filled by.
    std::unique_ptr<NMSpcPreset> RebuildPreset;
    int32_t MoveAnswer = MoveNotAsked;
    ObjArray ExSpcObjs;                  // the part's existing specification objects
    IVel7SpcObjectPtr iSpcObj;           // the one made or reused for the part
    IVel5ApplicationPtr iApp5;
    IVel7ApplicationPtr iApp7;
    unsigned HostVersion = 0;

private:
    void MakeOwnPreset();
    // The own preset, or CantCreateSpcObj (traced) for a part without one.
    NMSpcPreset& RequireOwnPreset(TraceScope& scope);
    // The latest rebuild's preset; before any rebuild the own preset, as RequireOwnPreset.
    const NMSpcPreset& RequireRebuildPreset(TraceScope& scope);
    // The active preset of the settings, or CantCreateSpcObj (traced) when nobody set them.
    const NMSpcPreset& RequireActivePreset(TraceScope& scope);
    const Variables& PartVariables() const;
    // The preset's column set parsed against the part variables; a pattern number that does not
    // convert makes the part's answer a bad response.
    void ParseColumns(NMSpcPreset& preset) const;
    // What both ways of rebuilding share once the rebuild's preset is made from the own one.
    void Rebuild(const SpcDocContext& context, std::unique_ptr<NMSpcPreset> preset, NMSpcObjSnapshot* snapshot,
                 bool restoreColumns, const ObjArray& geometry);
};
