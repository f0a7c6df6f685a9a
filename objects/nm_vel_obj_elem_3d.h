#pragma once
// One macro element of a part: a constructive element built by a part script or a 3D fastener set. It
// holds the element and its definition, the element's positioning model and what kind of library
// element it is, and keeps all of that as a block of named values on the element itself (the part's
// object-data store: one entry per element, one section per library), so that the element can be found,
// edited and replaced later.
#include "objects/nm_vel_obj_3d.h"
#include "positioning/nm_elem_pos.h"

#include <memory>
#include <string>

class NMVelObjElem3D : public NMVelObj3D {
public:
    // With a macro element: state replace, and the element's stored block is read (Load). Without one:
    // an element about to be built, IsElement unless it is a fastener set.
    NMVelObjElem3D(IVel5Application* app5, IVel7Application* app7, INMClient* client, IVel5Entity* macro, bool isTCS,
                   bool isSpecActive);
    // Recognition while a document is searched: identity, mode and flags only (FastLoad). The macro
    // element is required (E_POINTER).
    NMVelObjElem3D(IVel5Application* app5, IVel7Application* app7, IVel5Entity* macro);
    ~NMVelObjElem3D() override;

    // Marks the element as the library's and writes the whole block. Needs the positioning model and every
    // host object (E_POINTER); values written before a failure stay written.
    void Save() override;
    // Save for an element just built at a placement: the block keeps the part's identity where the method
    // body goes and the location the reference book was given as the identity; both fields are the
    // object's own again afterwards, whatever Save did.
    void SaveAsPlaced(const std::wstring& location);
    // Rebuilds the positioning model, the identity and the flags from the block. A missing store, entry
    // or section leaves everything but IsNMObject (false) as it was.
    void Load() override;
    // Identity, positioning mode and flags only.
    void FastLoad();

    void ClearPos();
    // Names the element after the base name, or "<base> (n)" with the first n no macro element of the
    // part has; the element's own name counts as taken.
    void SetUniqueName(IVel5Entity* macro, const std::wstring& baseName);

    IVel5EntityPtr iMacro;
    IVel5MacroDefinitionPtr iMacroDef;
    std::unique_ptr<NMElemPos> elem_pos;
    bool IsTCS = false;
    bool IsElement = false;

protected:
    // Marks the element's definition as the library's (its user-parameter record).
    void WriteLibraryMark();
    // The record's X, Y, A and R into the element's stored block, which must exist (E_POINTER).
    void WritePlacementValues(const ElemPos& item);

private:
    class Block;
    // The library's section of the element's entry in the store; null when the block is missing.
    IVel7NamedEntriesPtr FindSection();
    IVel7NamedEntriesPtr CreateSection();
    IVel7DataStorePtr DataStore();
    IDispatchPtr ElementObject();
    // Code, then the new model; then the flags from the identity that was read.
    void ReadMode(Block& block);
    void ReadIdentity(Block& block);
    void SetFlags();
};
