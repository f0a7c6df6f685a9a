#pragma once
// The controller of a command in a drawing or fragment. It chooses the 2D library object a construction
// method gives, opens the reference book at a library part the user selected in the drawing (which the
// chosen part then replaces), refuses what a drawing cannot do, and replaces a placed part without user
// interface. The placement itself is the library object's: the controller positions nothing.
#include "library/velmar_normset.h"

class VelmarNormset2D : public VelmarNormset {
public:
    // The drawing in both layers (a document that is no drawing leaves them null); a drawing in
    // spc mode, or a bill-of-materials document, works on the bill of materials.
    VelmarNormset2D(IVel5Application* app5, IVel7Application* app7, INMClient* client, uint32_t command, int32_t docType,
                    ExternalLocation external = ExternalLocation::Take);
    ~VelmarNormset2D() override;

    // A ".lfr" body (in any case) is a fragment part, an empty one a fastener set, any other a script part.
    void CreatePart(const std::wstring& methodBody) override;
    bool Positioning() override;
    std::wstring Measure() override;
    std::wstring SelectParams() override;
    // A library macro selected in the drawing: the reference book opens at its part (E_POINTER without a
    // drawing).
    void Prepare() override;
    void PrepareExt(const std::wstring& location) override;
    void CheckDocumentValidForInsert() override;
    void CheckDocumentValidForFind() override;
    void CheckDocumentValidForCreateSpcObjs() override;
    void CreateSpcObjects() override;
    void FindAndReplace() override;

    void CorrectMask();
    // The spc objects of every library part of the drawing, asked of the reference book once per run of
    // equal identifiers; a fastener set counts once.
    void CreateSpcObjectsForGeom();
    // The part of the response the controller holds replaces the selected macro at the placement; its
    // macro reference afterwards. The old lines are judged by asDrawn where the caller read it before it
    // changed the macro (null: by what the macro holds).
    int32_t ReplacePartSilent(double x, double y, double angle, const SpcLineMakeUp* asDrawn = nullptr);

    IVel5Document2DPtr iDoc5;
    IVel7Document2DPtr iDoc7;
    int32_t macro = 0;
};
