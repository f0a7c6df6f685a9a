#pragma once
// The controller of a command in a 3D document: a part, an assembly, or a bill of materials shown by
// one. It decides which documents a command accepts and what it asks first, which mask tells the
// reference book what may be chosen, which library object a construction method gives, what a part or
// element selected in the document means for the command, and the silent insertion of the exports.
#include "library/velmar_normset.h"
#include "positioning/nm_elem_pos.h"

#include <memory>

class CloneCopies;
class Finder;
class NMVelObjElem3D;
class NMVelmarModel3D;

class VelmarNormset3D : public VelmarNormset {
public:
    // The document in both layers (either may be missing) and the mask. A null application raises
    // E_POINTER.
    VelmarNormset3D(IVel5Application* app5, IVel7Application* app7, INMClient* client, uint32_t command, int32_t docType,
                    ExternalLocation external = ExternalLocation::Take);
    ~VelmarNormset3D() override;

    int Apply() override;
    // An empty body is a fastener set, a ".vbs" body (in any case) a constructive element, anything else a
    // component model.
    void CreatePart(const std::wstring& methodBody) override;
    bool Positioning() override;
    std::wstring Measure() override;
    // Around each reference-book call that follows a positioning.
    void SetReselectMask() override;
    // Clears 0x400 to 0x2000: the fastener-set bit 0x800 goes too.
    void ClearReselectMask() override;
    // A part or element selected in the document is edited (a part of a fastener set edits the whole set).
    void Prepare() override;
    void PrepareExt(const std::wstring& location) override;
    // Refusals are warnings (_bstr_t); a "no" to a question is a planned rollback.
    void CheckDocumentValidForInsert() override;
    void CheckDocumentValidForFind() override;
    void CheckDocumentValidForCreateSpcObjs() override;
    void CreateSpcObjects() override;
    void FindAndReplace() override;
    // From host 15.0.0 a part too; never a document showing its bill of materials.
    void CheckDocumentValidForRelink() override;
    void CheckDocumentValidForClone() override;
    void Relink() override;
    void Clone() override;

    // The document shows its bill of materials (E_POINTER without a document).
    bool IsSpecificationMode();
    // Dimensions that recalculate must be switched off first (asked).
    void CheckRecalcMode();
    void SetDefaultMask();
    // aNMObjType: 0 standard part, 1 constructive element, 2 fastener set.
    void CorrectMask(int aNMObjType);
    void PrepareToEdit();
    void PrepateToEditElement(NMVelObjElem3D& element);
    void ClearElemPos();
    // Inserts elements for as long as the reference book answers the positioning that follows each with
    // a new element; 0 when the user cancelled the last positioning, else 1.
    int InsertElement();
    // Positioning in the panel of the element's mode, inside an undo container: true when accepted, and
    // the location then holds the measures.
    bool Positioning13();
    bool Positioning12();
    // A new model of PosMode; or, with an element to edit, the element's own.
    void InitElemPos();
    // The location template filled with the measures of the positioning model.
    void PosLocation();
    // The location of the element to edit (iEdMcr, required) from its stored positioning, without a panel.
    void Repositioning();
    void RepositioningOne();

    // The spc objects of every standard part of the document, item by item of the document's item
    // collection; the item current at the start is current again at the end, also after a failure. The
    // two differ only in their trace name (hosts from 14.0.1 run the second).
    void CreateSpcObjectsForGeom();
    void CreateSpcObjectsForGeom_14SP1();
    // Without user interface: the spc object of the response's part with the preset text (empty: the
    // registry's presets); null when the response carries no object data.
    IUnknownPtr SilentInsertSpec(IUnknown* response, const std::wstring& presetText);
    // The response's object data loaded as the current part; false for a null response.
    bool ReadObjectData(INMObjectData* response);

    // The steps of a user part: the model and its components copied into the destination's folder, the
    // copy given the standard part's values, then freed of what ties it to the library.
    // The copies are planned first (each source assembly opened once) and made by the caller (CopyAll).
    void RecursiveCopyFiles(const std::wstring& aSrcFile, const std::wstring& aDstFile, CloneCopies& copies);
    void Instantiate(const std::wstring& aDstFile, const std::wstring& aLocation);
    void ProcessMasterFile(const std::wstring& aDstFile);

    // Without user interface, into the active assembly: the inserted part (one reference) or null when
    // the response is no component model. A failed spc object is shown; the part stays.
    IDispatchPtr InsertPartSilent(INMResponse* response, IVel5Placement* placement);
    // The component without placement or spc object.
    IDispatchPtr InsertPartFast(INMResponse* response);

    std::unique_ptr<NMElemPos> elem_pos;
    IVel5Document3DPtr iDoc5;
    IVel7Document3DPtr iDoc7;
    IVel5PartPtr iEdPrt;
    IVel5EntityPtr iEdMcr;

private:
    // The silent paths: the response loaded into a part made anew (the selection is not read); null unless it
    // is a component model.
    NMVelmarModel3D* LoadComponentModel(INMResponse* response);
    // The question as the document checks ask it; anything but Yes is a planned rollback.
    void AskOrRollBack(const std::wstring& question);
    void CreateSpcObjectsForGeom(const wchar_t* scopeName);
    // Code 1 of the find panel: the reference book asked for a replacement of the finder's current
    // object; true when it answered with one of the object's kind (another kind is no choice, and the
    // user is told which kind is wanted).
    bool ChooseReplacement(Finder& finder);
    // The reference book's answer for the current object, whatever its kind.
    bool ChooseAnyReplacement(Finder& finder);
    // The current part as a component model made from the reference book's answer for a placed part;
    // any other answer is no part ("No part created").
    NMVelmarModel3D& LoadPlacedModel(const std::wstring& id);
};
