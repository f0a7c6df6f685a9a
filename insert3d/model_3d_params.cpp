// NMVelmarModel3D: what a new component takes from the part data: its model variables, mass, material,
// material identifier and component properties.
#include "core/com_convert.h"
#include "core/data_convert_error.h"
#include "core/files.h"
#include "core/format_string.h"
#include "core/number_text.h"
#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/vtable_call.h"
#include "insert3d/nm_velmar_model_3d.h"
#include "objects/bad_response.h"
#include "objects/comp_properties.h"

#include <optional>
#include <vector>

namespace {

// The attribute type of the material identifier in "bo_atr.lat".
constexpr double kMaterialIdType = 232089080430.0;
constexpr short kAttributeHeaderKind = 38;
constexpr short kUserParamKind = 112;
constexpr short kValueItemKind = 108;
constexpr short kArrayKind = 23;

IVel7MassInertiaPtr MassInertia(IVel7Part* part)
{
    const IVel7MassInertiaPtr massInertia = QueryHostOrNull<IVel7MassInertia>(part);
    if (!massInertia)
        throw std::wstring(L"No MassInertiaParam");
    return massInertia;
}

void UpdatePart(IVel7Part* part)
{
    V7Get(RequireHost(QueryHostOrNull<IVel7ModelObject>(part)), &IVel7ModelObject::Update);
}

} // namespace

void NMVelmarModel3D::Instantiate(IVel5Part* part)
{
    TraceScope scope(L"NMVelmarModel3D::Instantiate");
    struct Setting {
        IVel5VariablePtr variable;
        double value;
    };
    const Variables none;
    const Variables& parameters = pData ? pData->Params : none;
    // Every value is converted before the first is written: a bad one must not leave a placed part
    // half changed.
    std::vector<Setting> settings;
    WalkHostItems(ObjectAs<IDispatch>(V5Method(part, IVel5Part::Variables)), [&](IDispatch* item) {
        const IVel5VariablePtr variable = QueryHost<IVel5Variable>(item);
        if (!variable)
            return true;
        const std::wstring name = VariantToWString(V5Get(variable, IVel5Variable::Name));
        scope.String(L"var_name", name);
        const auto found = parameters.find(name);
        if (found == parameters.end() || Variables::IsNullValue(found->second))
            return true;
        scope.String(L"var_value", found->second);
        try {
            settings.push_back({variable, StrToDouble(found->second)});
        } catch (const DataConvertError& error) {
            throw std::wstring(FormatString(L"Wrong parameter \"%s\": %s", name.c_str(), error.value.c_str()));
        }
        return true;
    });
    for (const Setting& setting : settings)
        V5Put(setting.variable, IVel5Variable::Value, setting.value);
    const bool changed = !settings.empty();
    scope.Value(L"IsVarExists", changed);
    if (changed)
        scope.Value(L"aPrt->RebuildModelEx(VARIANT_TRUE)", V5Method(part, IVel5Part::Rebuild, true));
}

double NMVelmarModel3D::MassToStore() const
{
    double given = 0;
    try {
        given = PartVariables().GetDouble(L"MACC");
    } catch (const DataConvertError& failure) {
        throw BadResponseOfValue(failure);
    }
    const std::optional<double> mass = StorableMass(given);
    if (!mass)
        throw BadResponse(FormatString(L"Wrong mass \"%s\"", PartVariables().GetString(L"MACC").c_str()));
    return *mass;
}

void NMVelmarModel3D::SetMass()
{
    TraceScope scope(L"NMVelmarModel3D::SetMass");
    if (!PartVariables().HasValue(L"MACC"))
        return;
    const double mass = MassToStore();
    scope.Value(L"mass", mass);
    const IVel7MassInertiaPtr massInertia = MassInertia(iPrt7);
    V7Call(massInertia, &IVel7MassInertia::put_Setting29, 0L);
    V7Call(massInertia, &IVel7MassInertia::put_Setting21, 1L);
    // The reference book gives tons; a host that counts in kilograms wants them scaled.
    const long unitFlag = V7Get(massInertia, &IVel7MassInertia::get_UnitFlag);
    V7Call(massInertia, &IVel7MassInertia::put_Mass, mass * (unitFlag == 0 ? 1000.0 : 1.0));
    UpdatePart(iPrt7);
}

void NMVelmarModel3D::SetMaterial()
{
    TraceScope scope(L"NMVelmarModel3D::SetMaterial");
    if (!PartVariables().HasValue(L"ExtObjectName"))
        return;
    const std::wstring material = PartVariables().GetString(L"ExtObjectName");
    scope.String(L"material", material);
    const IVel7MassInertiaPtr massInertia = MassInertia(iPrt7);
    V7Call(massInertia, &IVel7MassInertia::put_Setting29, 0L);
    V7Call(massInertia, &IVel7MassInertia::put_Setting21, 0L);
    V7Get(massInertia, &IVel7MassInertia::SetMaterial, _bstr_t(material.c_str()), 1.0);
    UpdatePart(iPrt7);
}

void NMVelmarModel3D::SetMaterialID()
{
    TraceScope scope(L"NMVelmarModel3D::SetMaterialID");
    if (!PartVariables().HasValue(L"Handle"))
        return;
    const std::wstring library =
        VariantToWString(V5Method(iApp5, IVel5Application::SystemFolder, 0L)) + L"\\bo_atr.lat";
    scope.String(L"attr_filename", library);
    // Without Velmar's attribute library there is nothing to attach the identifier to.
    if (GetFileLength(library) == -1)
        return;
    const IVel5AttributeManagerPtr manager =
        RequireHost(ObjectAs<IVel5AttributeManager>(V5Method(iApp5, IVel5Application::AttributeManager)));
    const auto header = NewStructure<IVel5AttributeHeader>(iApp5, kAttributeHeaderKind);
    const auto values = NewStructure<IVel5UserParam>(iApp5, kUserParamKind);
    const auto item = NewStructure<IVel5ValueItem>(iApp5, kValueItemKind);
    const IVel5DynamicArrayPtr list =
        RequireHost(ObjectAs<IVel5DynamicArray>(V5Method(iApp5, IVel5Application::NewArray, kArrayKind)));
    const IVel5ObjectPtr object = RequireHost(ObjectAs<IVel5Object>(V5Method(iPrt5, IVel5Part::HostObject)));

    // The new attribute is built before the old one goes: a refusal keeps the identifier the part had.
    V5Method(header, IVel5AttributeHeader::Init);
    V5Put(header, IVel5AttributeHeader::Field1, 1L);
    V5Put(header, IVel5AttributeHeader::Field2, 10L);
    V5Put(header, IVel5AttributeHeader::Field3, 100L);
    V5Put(header, IVel5AttributeHeader::Field4, 1001L);
    V5Put(header, IVel5AttributeHeader::Field5, L"");
    V5Method(values, IVel5UserParam::Init);
    V5Method(values, IVel5UserParam::SetValues, list);
    const std::wstring handle = PartVariables().GetString(L"Handle");
    scope.String(L"material_id", handle);
    V5Method(item, IVel5ValueItem::Init);
    V5Put(item, IVel5ValueItem::Text, handle);
    V5Method(list, IVel5DynamicArray::Append, item, -1L);
    if (!static_cast<bool>(V5Method(header, IVel5AttributeHeader::SetValues, values))) {
        scope.WriteLine(L"The attribute refused the material identifier: the part keeps the one it has");
        return;
    }

    const IDispatchPtr attributes =
        ObjectAs<IDispatch>(V5Method(object, IVel5Object::Attributes, 0L, 0L, 0L, 0L, kMaterialIdType));
    scope.Hex(L"iAttrColl", reinterpret_cast<std::int64_t>(attributes.GetInterfacePtr()));
    IDispatchPtr old;
    if (attributes && static_cast<long>(V5Get(attributes, IVel5AttributeCollection::Count)) > 0)
        old = ObjectAs<IDispatch>(V5Method(attributes, IVel5AttributeCollection::First));
    // The old identifier goes only once the new one exists.
    if (!ObjectAs<IDispatch>(V5Method(manager, IVel5AttributeManager::CreateAttribute, object, header, kMaterialIdType, library))) {
        scope.WriteLine(L"Velmar made no attribute of the material identifier: the part keeps the one it has");
        return;
    }
    if (old && static_cast<bool>(V5Method(manager, IVel5AttributeManager::DeleteAttribute, object, old, L"")))
        V5Method(attributes, IVel5AttributeCollection::Refresh);
}

void NMVelmarModel3D::SetCompProperties()
{
    TraceScope scope(L"NMVelmarModel3D::SetCompProperties");
    const _bstr_t text = V7Get(Client(), &INMClient::AttributeText);
    CompProperties3D(iApp5, iApp7, iPrt7).Save(BstrToWString(text), NM_QuarvendID);
}
