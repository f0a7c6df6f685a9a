#include "sim/property_model.h"

#include "hostapi/velmar.h"
#include "sim/velmar.h"

namespace sim {

namespace {

std::wstring TextOf(const VARIANT& value)
{
    _variant_t converted;
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, VT_BSTR)))
        throw Fail{DISP_E_TYPEMISMATCH};
    return V_BSTR(&converted) ? std::wstring(V_BSTR(&converted), SysStringLen(V_BSTR(&converted))) : std::wstring();
}

std::wstring Text(BSTR text)
{
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

} // namespace

_variant_t PropertyKeeper::Value(const std::wstring& propertyName) const
{
    for (const auto& [property, value] : values_)
        if (property->name == propertyName && !property->library)
            return value;
    return _variant_t();
}

std::wstring PropertyKeeper::Text(const std::wstring& propertyName) const
{
    const _variant_t value = Value(propertyName);
    return V_VT(&value) == VT_EMPTY ? std::wstring() : TextOf(value);
}

PropertyModel::PropertyModel(Velmar& velmar) : velmar_(velmar)
{
    velmar.App5().Method(IVel5Application::SystemFolder, 1, [&velmar](Args& args) {
        args.Int32(0);
        return _variant_t(velmar.SystemFolder().c_str());
    });
    velmar.App7().Face<IVel7ComponentPropertyManager>()
        .On<&IVel7ComponentPropertyManager::GetProperties>(9, [this](BSTR library, VARIANT* list) {
            VariantInit(list);
            *list = List(!Text(library).empty()).Detach();
        })
        .On<&IVel7ComponentPropertyManager::AddProperty>(10, [this](VARIANT source, IDispatch** out) {
            *out = nullptr;
            ComponentProperty* made = nullptr;
            if (V_VT(&source) == VT_EMPTY) {
                made = &Make(0, L"", false);
            } else if (V_VT(&source) == VT_DISPATCH) {
                const ComponentProperty* original = Find(V_DISPATCH(&source));
                if (!original || !original->library)
                    throw Fail{E_INVALIDARG};
                made = &Make(original->id, original->name, false);
            } else {
                throw Fail{DISP_E_TYPEMISMATCH};
            }
            (*out = made->object->Primary())->AddRef();
        });
}

ComponentProperty& PropertyModel::Make(double id, const std::wstring& name, bool library)
{
    auto property = std::make_unique<ComponentProperty>();
    property->id = id;
    property->name = name;
    property->library = library;
    property->object = velmar_.NewObject((library ? "libProp" : "docProp") + std::to_string(properties_.size() + 1));
    ComponentProperty* p = property.get();
    property->object->Face<IVel7ComponentProperty>()
        .On<&IVel7ComponentProperty::get_Id>(8, [p](double* id) { *id = p->id; })
        .On<&IVel7ComponentProperty::put_Name>(11, [p](BSTR name) { p->name = Text(name); })
        .On<&IVel7ComponentProperty::get_Name>(12, [p](BSTR* name) { *name = SysAllocString(p->name.c_str()); })
        .On<&IVel7ComponentProperty::put_Setting14>(14, [p](long value) { p->setting14 = value; })
        .On<&IVel7ComponentProperty::put_Setting20>(20, [p](long value) { p->setting20 = value; })
        .On<&IVel7ComponentProperty::Commit>(32, [p]() { ++p->commits; })
        .On<&IVel7ComponentProperty::put_Setting34>(34, [p](long value) { p->setting34 = value; });
    properties_.push_back(std::move(property));
    return *p;
}

ComponentProperty& PropertyModel::AddDocumentProperty(double id, const std::wstring& name)
{
    return Make(id, name, false);
}

ComponentProperty& PropertyModel::AddLibraryProperty(double id, const std::wstring& name)
{
    return Make(id, name, true);
}

std::vector<const ComponentProperty*> PropertyModel::DocumentProperties() const
{
    std::vector<const ComponentProperty*> list;
    for (const auto& property : properties_)
        if (!property->library)
            list.push_back(property.get());
    return list;
}

const ComponentProperty* PropertyModel::DocumentProperty(const std::wstring& name) const
{
    for (const auto& property : properties_)
        if (!property->library && property->name == name)
            return property.get();
    return nullptr;
}

const ComponentProperty* PropertyModel::Find(IDispatch* property) const
{
    Object* standIn = Object::From(property);
    for (const auto& candidate : properties_)
        if (candidate->object.get() == standIn)
            return candidate.get();
    return nullptr;
}

_variant_t PropertyModel::List(bool library) const
{
    std::vector<IDispatch*> items;
    for (const auto& property : properties_)
        if (property->library == library)
            items.push_back(property->object->Primary());
    SAFEARRAY* array = SafeArrayCreateVector(VT_DISPATCH, 0, static_cast<ULONG>(items.size()));
    for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i)
        SafeArrayPutElement(array, &i, items[static_cast<size_t>(i)]);
    _variant_t list;
    V_VT(&list) = VT_ARRAY | VT_DISPATCH;
    V_ARRAY(&list) = array;
    return list;
}

PropertyKeeper& PropertyModel::MakeKeeper(Object& object)
{
    keepers_.push_back(std::make_unique<PropertyKeeper>());
    PropertyKeeper* keeper = keepers_.back().get();
    keeper->entriesObject_ = velmar_.NewObject(object.Name() + ".entries");
    keeper->entriesObject_->Face<IVel7NamedEntries>()
        .On<&IVel7NamedEntries::Get>(16, [keeper](VARIANT name, VARIANT* value, VARIANT* second, BSTR* third) {
            const std::wstring wanted = TextOf(name);
            VariantInit(value);
            VariantInit(second);
            *third = nullptr;
            for (const auto& [entry, text] : keeper->entries)
                if (entry == wanted)
                    *value = _variant_t(text.c_str()).Detach();
        })
        .On<&IVel7NamedEntries::Set>(18, [keeper](BSTR, VARIANT value, BSTR name, long* result) {
            const std::wstring key = Text(name);
            *result = 0;
            for (auto& [entry, text] : keeper->entries)
                if (entry == key) {
                    text = TextOf(value);
                    return;
                }
            keeper->entries.emplace_back(key, TextOf(value));
        });
    object.Face<IVel7PropertyKeeper>()
        .On<&IVel7PropertyKeeper::SetValue>(8, [this, keeper](IDispatch* property, VARIANT value, long flag, VARIANT* result) {
            const ComponentProperty* target = Find(property);
            if (!target || flag != -1)
                throw Fail{E_INVALIDARG};
            VariantInit(result);
            // A library property has no value on an object until it is part of the document.
            if (target->library)
                throw Fail{E_INVALIDARG};
            keeper->writes.emplace_back(target->name, TextOf(value));
            for (auto& [known, stored] : keeper->values_)
                if (known == target) {
                    stored = value;
                    *result = _variant_t(true).Detach();
                    return;
                }
            keeper->values_.emplace_back(target, _variant_t(value));
            *result = _variant_t(true).Detach();
        })
        .On<&IVel7PropertyKeeper::GetValue>(9, [this, keeper](IDispatch* property, long, VARIANT* value) {
            const ComponentProperty* target = Find(property);
            if (!target)
                throw Fail{E_INVALIDARG};
            VariantInit(value);
            if (target->id == 5) {
                *value = _variant_t(keeper->entriesObject_->Primary()).Detach();
                return;
            }
            for (const auto& [known, stored] : keeper->values_)
                if (known == target)
                    VariantCopy(value, const_cast<VARIANT*>(static_cast<const VARIANT*>(&stored)));
        });
    return *keeper;
}

} // namespace sim
