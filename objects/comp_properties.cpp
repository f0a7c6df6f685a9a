#include "objects/comp_properties.h"

#include "core/com_convert.h"
#include "core/files.h"
#include "core/number_text.h"
#include "core/string_utils.h"
#include "core/trace_log.h"
#include "core/unique.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/vtable_call.h"
#include "objects/nm_vel_obj.h"

#include <array>
#include <cmath>

namespace {

constexpr double kIdentityProperty = 5;
constexpr double kMassProperty = 8;
// The properties a part's attributes may fill, tried in this order.
constexpr std::array<double, 3> kAttributeProperties = {174963986747.0, 302406992401.0, 173984476184.0};
constexpr wchar_t kQuarvendEntry[] = L"ID Normset";

std::wstring NameOf(IVel7ComponentProperty* property)
{
    return BstrToWString(V7Get(property, &IVel7ComponentProperty::get_Name));
}

IVel7ComponentPropertyPtr FindById(const ObjArray& list, double id)
{
    for (const IDispatchPtr& item : list) {
        IVel7ComponentPropertyPtr property = QueryHostOrNull<IVel7ComponentProperty>(item);
        if (property && V7Get(property, &IVel7ComponentProperty::get_Id) == id)
            return property;
    }
    return nullptr;
}

IVel7ComponentPropertyPtr FindByName(const ObjArray& list, const std::wstring& name)
{
    for (const IDispatchPtr& item : list) {
        IVel7ComponentPropertyPtr property = QueryHostOrNull<IVel7ComponentProperty>(item);
        if (property && NameOf(property) == name)
            return property;
    }
    return nullptr;
}

ObjArray Properties(IVel7ComponentPropertyManager* manager, const std::wstring& library)
{
    const _bstr_t source(library.c_str());
    return ObjArray(V7Get(manager, &IVel7ComponentPropertyManager::GetProperties, static_cast<BSTR>(source)));
}

// One of the three attribute properties, and whether it still has to be added to the document.
struct AttributeProperty {
    IVel7ComponentPropertyPtr property;
    bool fromLibrary = false;
};

} // namespace

std::optional<double> StorableMass(double tons)
{
    // Written so that a NaN fails too.
    if (!(tons >= 0 && std::isfinite(tons * 1000.0)))
        return std::nullopt;
    // A negative zero passes the test above, and Velmar would show its sign.
    return tons == 0 ? 0.0 : tons;
}

CompProperties::CompProperties(IVel5Application* app5, IVel7Application* app7)
{
    TraceScope scope(L":CompProperties");
    if (!app7)
        RaiseNullHostPointer(__uuidof(IVel7Application));
    manager = QueryHost<IVel7ComponentPropertyManager>(app7);
    if (manager)
        doc_props = Properties(manager, L"");
    lib_name = VariantToWString(V5Method(app5, IVel5Application::SystemFolder, 0L)) + L"\\properties.lpt";
    scope.String(L"lib_name", lib_name);
    if (manager && GetFileLength(lib_name) != -1)
        file_props = Properties(manager, lib_name);
    scope.Value(L"doc_props", _variant_t(doc_props ? static_cast<long>(doc_props->size()) : -1L));
    scope.Value(L"file_props", _variant_t(file_props ? static_cast<long>(file_props->size()) : -1L));
}

CompProperties::~CompProperties()
{
    try {
        TraceScope scope(L"~CompProperties");
    } catch (...) {
        // Nothing to undo: the trace is all a destructor writes; the members release themselves.
    }
}

bool CompProperties::CanWrite() const
{
    return manager && keeper && doc_props && file_props;
}

IVel7ComponentPropertyPtr CompProperties::DocumentProperty(double id) const
{
    return doc_props ? FindById(*doc_props, id) : nullptr;
}

void CompProperties::Write(IVel7ComponentProperty* property, const _variant_t& value)
{
    V7Get(keeper, &IVel7PropertyKeeper::SetValue, static_cast<IDispatch*>(property), value, -1L);
}

void CompProperties::Save(const std::wstring& attrs, const std::wstring& quarvendId)
{
    TraceScope scope(L"CompProperties::Save");
    scope.String(L"attrs", attrs);
    scope.String(L"quarvend_id", quarvendId);
    if (!CanWrite() || attrs.empty())
        return;
    SaveQuarvendInfo(quarvendId);

    std::array<AttributeProperty, kAttributeProperties.size()> known;
    for (size_t i = 0; i < known.size(); ++i) {
        known[i].property = FindById(*doc_props, kAttributeProperties[i]);
        if (!known[i].property) {
            known[i].property = FindById(*file_props, kAttributeProperties[i]);
            known[i].fromLibrary = known[i].property != nullptr;
        }
    }

    const auto pieces = SplitAny(attrs, L"\x0001\x0007\x000D");
    const size_t groups = pieces.size() / 3;
    scope.Value(L"len", _variant_t(static_cast<unsigned long>(groups)));
    for (size_t g = 0; g < groups; ++g) {
        const std::wstring& name = pieces[3 * g];
        const std::wstring& value = pieces[3 * g + 2];
        scope.Value(L"i", _variant_t(static_cast<unsigned long>(g)));
        scope.String(L"at_name", name);
        scope.String(L"at_value", value);

        IVel7ComponentPropertyPtr target;
        for (auto& candidate : known) {
            if (!candidate.property || NameOf(candidate.property) != name)
                continue;
            if (candidate.fromLibrary) {
                // A library property becomes the document's before it takes its first value.
                candidate.property = QueryHost<IVel7ComponentProperty>(V7Get(
                    manager, &IVel7ComponentPropertyManager::AddProperty, _variant_t(static_cast<IDispatch*>(candidate.property))));
                candidate.fromLibrary = false;
                doc_props->push_back(candidate.property);
            }
            target = candidate.property;
            break;
        }
        if (!target)
            target = FindByName(*doc_props, name);
        if (!target) {
            target = QueryHost<IVel7ComponentProperty>(V7Get(manager, &IVel7ComponentPropertyManager::AddProperty, _variant_t()));
            const _bstr_t propertyName(name.c_str());
            V7Call(target, &IVel7ComponentProperty::put_Name, static_cast<BSTR>(propertyName));
            V7Call(target, &IVel7ComponentProperty::put_Setting14, 3L);
            V7Call(target, &IVel7ComponentProperty::put_Setting20, 0L);
            V7Call(target, &IVel7ComponentProperty::put_Setting34, 0L);
            V7Call(target, &IVel7ComponentProperty::Commit);
            doc_props->push_back(target);
        }
        Write(target, _variant_t(value.c_str()));
    }
}

void CompProperties::SaveQuarvendInfo(const std::wstring& quarvendId)
{
    TraceScope scope(L"CompProperties::SaveQuarvendInfo");
    scope.String(L"quarvend_id", quarvendId);
    if (!CanWrite() || quarvendId.empty())
        return;
    IVel7ComponentPropertyPtr identity = DocumentProperty(kIdentityProperty);
    if (!identity)
        return;
    auto entries = ObjectAs<IVel7NamedEntries>(
        V7Get(keeper, &IVel7PropertyKeeper::GetValue, static_cast<IDispatch*>(identity), -1L));
    if (!entries)
        RaiseNullHostPointer(__uuidof(IVel7NamedEntries));
    UniqueVariant value;
    UniqueVariant second;
    UniqueBstr third;
    V7Call(entries, &IVel7NamedEntries::Get, _variant_t(kQuarvendEntry), value.put(), second.put(), third.put());
    const bool present = static_cast<bool>(value);
    scope.Value(L"present", present);
    // Writing a name that is there replaces its value; a new name is added.
    const _bstr_t name(kQuarvendEntry);
    long unused = 0;
    V7Call(entries, &IVel7NamedEntries::Set, static_cast<BSTR>(nullptr), _variant_t(quarvendId.c_str()), static_cast<BSTR>(name), &unused);
}

CompProperties3D::CompProperties3D(IVel5Application* app5, IVel7Application* app7, IDispatch* component)
    : CompProperties(app5, app7)
{
    keeper = QueryHostOrNull<IVel7PropertyKeeper>(component);
}

CompProperties2D::CompProperties2D(IVel5Application* app5, IVel7Application* app7, IDispatch* macro, const NMVelObj* prt)
    : CompProperties(app5, app7), prt_(prt)
{
    keeper = QueryHostOrNull<IVel7PropertyKeeper>(macro);
}

void CompProperties2D::Save(const std::wstring& attrs, const std::wstring& quarvendId)
{
    TraceScope scope(L"CompProperties2D::Save");
    if (!CanWrite() || attrs.empty())
        return;
    if (prt_) {
        if (IVel7ComponentPropertyPtr name = DocumentProperty(kIdentityProperty)) {
            scope.String(L"prt->NM_Name", prt_->NM_Name);
            Write(name, _variant_t(prt_->NM_Name.c_str()));
        }
        const Variables* vars = prt_->pData ? &prt_->pData->ObjData : nullptr;
        if (vars && vars->HasValue(L"MACC")) {
            if (IVel7ComponentPropertyPtr mass = DocumentProperty(kMassProperty)) {
                const std::wstring text = vars->GetString(L"MACC");
                // The part is drawn already: a mass that is no number, or none a part can have, is left
                // out, not the rest.
                const std::optional<double> value = IsDouble(text) ? StorableMass(StrToDouble(text)) : std::nullopt;
                if (value) {
                    scope.Value(L"mass", *value);
                    Write(mass, _variant_t(*value));
                } else {
                    scope.String(L"mass left out", text);
                }
            }
        }
    }
    CompProperties::Save(attrs, quarvendId);
}
