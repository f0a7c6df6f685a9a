#pragma once
// A constructive element (a hole, a thread, a dowel seat ...) built in the active part or assembly by the
// part's own VBScript file. The library writes the script's text (the part's header, the position of one
// placement, the file's text and the call of Script_OnLoad), runs it with Velmar's objects and the
// positioning references, and takes the macro element the script hands back as the element: it names it
// apart from the others, marks it as the library's, stores its identity and position on it and keeps
// what its mates may hold on to. One element is built per placement record; an element already in the
// part is moved in its sketch, or rebuilt in place with its arrays and mates.
#include "objects/nm_vel_obj_elem_3d.h"

#include <memory>
#include <vector>

class NMVelmarElement3D : public NMVelObjElem3D {
public:
    // macro: the element to edit or replace, or null for a new insertion. elemPos (may be null) is cloned:
    // the element keeps its own copy; a copy marked isMove makes the element one to move (state edit).
    // The two locations are the controller's: the one it started from and the current one, which the
    // stored identity takes.
    NMVelmarElement3D(IVel5Application* app5, IVel7Application* app7, INMClient* client, IVel5Entity* macro,
                      const NMElemPos* elemPos, const _bstr_t& startLocation, const _bstr_t& location, bool isSpecActive);
    ~NMVelmarElement3D() override;

    // Takes over the element of another constructive element (E_INVALIDARG for any other kind of object).
    void BindTo(NMObject* found) override;
    std::unique_ptr<NMObject> CreateOnBase() override;
    // Selects the element's features (types 25, 26, 29, 47, 58) in the document.
    void Select() override;
    // Moves the element in its sketch by the current record; an element without its sketch is replaced.
    void Edit() override;
    // One element per placement record (none without a positioning model).
    void Insert() override;
    // Deletes the element and builds it again in its place, in its arrays and with its mates.
    void Replace() override;
    void CreateTechAttribute(double type, IVel5AttributeManager* manager, const TechAttrValues& values,
                             const std::wstring& library) override;
    void DeleteTechAttribute(double type, IVel5AttributeManager* manager) override;

    // The steps of one placement.
    void Insert13();
    void InsertOneElement();
    // Runs the part script. The element is the last object the script added to "PosEntities": the list
    // must have grown and its last item must be a macro element (type 63), else E_POINTER. A missing
    // script file is BadResponse; a script error passes as VBScriptError.
    void InsertElement();
    // The element's mark, position values and mate geometry after a move.
    void UpdateElement();
    void GetNewMateGeometry();
    // The element's sketch on the start surface; null when it has none or the element holds no inner
    // object of type 85.
    IVel5EntityPtr FindSketch();

    // The part script's text for the current record.
    std::wstring ScriptText() const;

    _bstr_t StartLocation;
    _bstr_t CurrentLocation;
    IDispatchPtr MateTargetPart;
    IDispatchPtr MateTargetMacro;
    std::vector<IDispatchPtr> MateGeometry;

private:
    void MoveElementByCoord(IVel5Document2D* editor);
    void MoveElementByTwoEdges(IVel5Document2D* editor, IVel5SketchDefinition* sketch);
    void MoveBasepoint(long reference, IVel5Document2D* editor, IVel5SketchDefinition* sketch);
    // The model edge the sketch object was placed against: the record's first edge when its start, end
    // and middle all lie on the object, else its second.
    IDispatchPtr FindEdge(long reference, IVel5SketchDefinition* sketch);
    // The version-5 object attributes are kept on.
    IVel5ObjectPtr MacroObject();
    NMElemPos& RequirePositioning();
};
