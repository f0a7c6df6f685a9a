#pragma once
// The component properties of the stand-in Velmar: the property manager (the version-7 application
// queried to IVel7ComponentPropertyManager) with the active document's properties and the properties of
// the property library, the property keepers of objects with their values, and the named-entry list of
// property 5. Velmar's system folder (version-5 application dispatch id 45) is where the library file
// "properties.lpt" would lie: the manager lists the library's properties for any path it is given, and the
// library itself decides, by looking for the file, whether to ask.
//
//   sim::PropertyModel& props = velmar.Properties();
//   props.AddDocumentProperty(5, L"Обозначение");
//   props.AddLibraryProperty(174963986747, L"Материал");
//   sim::PropertyKeeper& keeper = props.MakeKeeper(part.V7());
//   ... the library writes ...
//   EXPECT_EQ(keeper.Text(L"Материал"), L"Сталь");
#include "sim/sim_object.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace sim {

class Velmar;

struct ComponentProperty {
    double id = 0;
    std::wstring name;
    bool library = false;       // a property of the library file, not of the document
    long setting14 = 0;
    long setting20 = 0;
    long setting34 = 0;
    int commits = 0;
    ObjectRef object;
};

// The property values of one object, by property; property 5's named entries beside them.
class PropertyKeeper {
public:
    // The value written into the document property of that name; VT_EMPTY when none was.
    _variant_t Value(const std::wstring& propertyName) const;
    std::wstring Text(const std::wstring& propertyName) const;
    // Writes in the order they came: property name and value as text.
    std::vector<std::pair<std::wstring, std::wstring>> writes;
    // The named entries of property 5, in the order they were added.
    std::vector<std::pair<std::wstring, std::wstring>> entries;

private:
    friend class PropertyModel;
    std::vector<std::pair<const ComponentProperty*, _variant_t>> values_;
    ObjectRef entriesObject_;
};

class PropertyModel {
public:
    explicit PropertyModel(Velmar& velmar);

    ComponentProperty& AddDocumentProperty(double id, const std::wstring& name);
    ComponentProperty& AddLibraryProperty(double id, const std::wstring& name);
    std::vector<const ComponentProperty*> DocumentProperties() const;
    // The document property of that name (the first), or null.
    const ComponentProperty* DocumentProperty(const std::wstring& name) const;

    // The object answers IVel7PropertyKeeper from now on.
    PropertyKeeper& MakeKeeper(Object& object);

private:
    ComponentProperty& Make(double id, const std::wstring& name, bool library);
    const ComponentProperty* Find(IDispatch* property) const;
    _variant_t List(bool library) const;

    Velmar& velmar_;
    std::vector<std::unique_ptr<ComponentProperty>> properties_;
    std::vector<std::unique_ptr<PropertyKeeper>> keepers_;
};

} // namespace sim
