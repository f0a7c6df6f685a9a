#pragma once
// The component properties of an inserted part: its Quarvend identifier under the name "ID Normset" in
// property 5's named entries, the part's attributes whose names match three well-known properties (or
// any document property of that name, made when missing), and for 2D parts their name and mass.
// Properties the document does not know yet come from Velmar's property library "\properties.lpt" and
// are added to the document before their first value. A writer lives on the stack for one insertion.
#include "core/obj_array.h"
#include "hostapi/velmar.h"

#include <optional>
#include <string>

class NMVelObj;

// A part's "MACC" as the reference book gives it, in tons. Velmar may keep it in kilograms, so a mass is
// fit to store only when it is not below zero and stays finite once scaled by a thousand. The mass to
// store (a negative zero as zero), or none for a mass no part can have.
std::optional<double> StorableMass(double tons);

class CompProperties {
public:
    // The property manager of the version-7 application (a null application raises E_POINTER), the
    // document's properties, and the library's when "\properties.lpt" lies in Velmar's system folder.
    CompProperties(IVel5Application* app5, IVel7Application* app7);
    virtual ~CompProperties();
    CompProperties(const CompProperties&) = delete;
    CompProperties& operator=(const CompProperties&) = delete;

    // attrs: groups of three pieces separated by U+0001, U+0007 or U+000D: name, (ignored), value.
    // Writes nothing unless the manager, the keeper, both property lists and attributes are there.
    virtual void Save(const std::wstring& attrs, const std::wstring& quarvendId);
    // "ID Normset" in property 5's named entries: replaced when there, added otherwise.
    void SaveQuarvendInfo(const std::wstring& quarvendId);

protected:
    // Everything Save needs but the attribute text.
    bool CanWrite() const;
    // The first document property with that identifier, or null.
    IVel7ComponentPropertyPtr DocumentProperty(double id) const;
    void Write(IVel7ComponentProperty* property, const _variant_t& value);

    IVel7ComponentPropertyManagerPtr manager;
    IVel7PropertyKeeperPtr keeper;          // set by the 2D and 3D constructors
    std::optional<ObjArray> doc_props;
    std::optional<ObjArray> file_props;     // absent without the library file
    std::wstring lib_name;
};

class CompProperties3D : public CompProperties {
public:
    CompProperties3D(IVel5Application* app5, IVel7Application* app7, IDispatch* component);
};

class CompProperties2D : public CompProperties {
public:
    // prt: the library object whose name and mass are written (not owned).
    CompProperties2D(IVel5Application* app5, IVel7Application* app7, IDispatch* macro, const NMVelObj* prt);
    // Property 5 := the part's name and property 8 := its mass, then the base Save.
    void Save(const std::wstring& attrs, const std::wstring& quarvendId) override;

private:
    const NMVelObj* prt_;
};
