#include "sim/assembly.h"

#include "hostapi/velmar.h"
#include "sim/document.h"
#include "sim/panel_scene.h"
#include "sim/shown_text.h"
#include "sim/velmar.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sim {

double Component::Variable(const std::wstring& name) const
{
    for (const auto& [known, variable] : variables)
        if (known == name)
            return variable->Double(IVel5Variable::Value);
    return std::numeric_limits<double>::quiet_NaN();
}

Assembly::Assembly(Velmar& velmar, Geometry& geometry, Document& document, const ModelCatalogue& catalogue)
    : velmar_(velmar), geometry_(geometry), document_(document), catalogue_(catalogue)
{
    document.V5()
        .Method(IVel5Document3D::PartByCode, 1, [this](Args& args) {
            switch (args.Int32(0)) {
            case VelPartTop:
                return Handed(geometry_.topPart ? &geometry_.topPart->V5() : nullptr);
            case VelPartSelected:
                return Handed(selected ? &selected->V5() : nullptr);
            case VelPartNew:
                return Handed(&NewPart().part->V5());
            case VelPartEditedInPlace:
                return Handed(geometry_.editedPart ? &geometry_.editedPart->V5() : nullptr);
            default:
                return _variant_t();
            }
        })
        .Method(IVel5Document3D::InsertComponent, 3, [this](Args& args) {
            const std::wstring file = args.Text(0);
            Object* part = Object::From(args.Unknown(1));
            args.Bool(2);
            for (Component& component : parts_)
                if (&component.part->V5() == part && !component.inserted) {
                    component.inserted = true;
                    component.insertedFile = file;
                    component.part->ownerPart = geometry_.topPart;
                    velmar_.Undo().Record([&component] { component.inserted = false; });
                    JoinTopTree(component);
                    return _variant_t(true);
                }
            throw Fail{E_INVALIDARG, 1};
        });
    deletion_ = document.OnDeletion([this](IUnknown* object) {
        TakeOutOfTopTree(object);
        for (Component& component : parts_) {
            if (!component.inserted || component.deleted || Object::From(object) != &component.part->V5())
                continue;
            component.deleted = true;
            velmar_.Undo().Record([&component] { component.deleted = false; });
            geometry_.DocumentMates().RemoveIf([&](const MateRecord& mate) {
                return IsOf(component, mate.first) || IsOf(component, mate.second);
            });
        }
    });
}

Assembly::~Assembly()
{
    document_.ForgetDeletion(deletion_);
}

void Assembly::JoinTopTree(Component& component)
{
    if (!geometry_.topPart)
        return;
    std::vector<Object*>& features = geometry_.Shape(*geometry_.topPart).features;
    Object* feature = &component.part->Feature();
    features.push_back(feature);
    velmar_.Undo().Record([&features, feature] { features.erase(std::find(features.begin(), features.end(), feature)); });
}

void Assembly::TakeOutOfTopTree(IUnknown* object)
{
    Part* part = geometry_.topPart ? velmar_.FindPart(object) : nullptr;
    if (!part)
        return;
    std::vector<Object*>& features = geometry_.Shape(*geometry_.topPart).features;
    const auto found = std::find(features.begin(), features.end(), &part->Feature());
    if (found == features.end())
        return;
    const auto at = found - features.begin();
    features.erase(found);
    velmar_.Undo().Record([&features, at, part] { features.insert(features.begin() + at, &part->Feature()); });
}

Component& Assembly::NewPart()
{
    Component& component = parts_.emplace_back();
    const std::string name = "comp" + std::to_string(parts_.size());
    Part& part = velmar_.AddPart(name);
    component.part = &part;
    // A model without named geometry is still asked for it.
    geometry_.Shape(part);
    Component* self = &component;
    part.V5()
        .Put(IVel5Part::FileName, [this, self](Args&, const VARIANT& value) {
            self->file = _bstr_t(_variant_t(value));
            // Read back as given.
            self->part->V5().Value(IVel5Part::FileName) = self->file.c_str();
            TakeModel(*self);
        })
        .Method(IVel5Part::Variables, 0, [this, self, name](Args&) {
            ObjectRef iterator = geometry_.NewIterator(name + "Vars", &__uuidof(IVel5VariableCollection), [self]() {
                std::vector<Object*> variables;
                for (auto& [known, variable] : self->variables)
                    variables.push_back(variable.get());
                return variables;
            });
            return Handed(iterator.get());
        });
    part.V7()
        .Face<IVel7MassInertia>()
        .On<&IVel7MassInertia::get_UnitFlag>(18, [this](long* flag) { *flag = massUnitFlag; })
        .On<&IVel7MassInertia::put_Mass>(19, [self](double mass) { self->mass = mass; })
        .On<&IVel7MassInertia::put_Setting21>(21, [self](long value) { self->setting21 = value; })
        .On<&IVel7MassInertia::put_Setting29>(29, [self](long value) { self->setting29 = value; })
        .On<&IVel7MassInertia::SetMaterial>(54, [self](BSTR material, double density, VARIANT_BOOL* done) {
            self->material = material ? material : L"";
            self->density = density;
            *done = VARIANT_TRUE;
        });
    part.V7().Value(53) = _variant_t(partsInSpc ? VARIANT_TRUE : VARIANT_FALSE, VT_I2);
    part.V7().Face<IVel7ModelObject>().On<&IVel7ModelObject::Update>(15, [self](VARIANT_BOOL* done) {
        ++self->updates;
        *done = VARIANT_TRUE;
    });
    return component;
}

void Assembly::TakeModel(Component& component)
{
    // A part takes its model once; a file Velmar does not know leaves it without variables or geometry.
    if (component.model)
        return;
    component.model = catalogue_.Find(component.file);
    if (!component.model)
        return;
    const ModelDescription& model = *component.model;
    const std::string prefix = component.part->V5().Name().substr(0, component.part->V5().Name().size() - 1);
    for (const auto& [name, value] : model.variables) {
        ObjectRef variable = velmar_.NewObject(prefix + "Var" + Utf8(name));
        variable->Supports(__uuidof(IVel5Variable))
            .Property(IVel5Variable::Name, name.c_str())
            .Property(IVel5Variable::Value, value);
        component.variables.emplace_back(name, variable);
    }
    ModelGeometry geometry(velmar_, geometry_, *component.part, prefix);
    for (const std::wstring& plane : model.planes)
        geometry.Named(Utf8(plane), 109);
    for (const std::wstring& axis : model.axes)
        geometry.Named(Utf8(axis), 109);
    for (const CylinderDescription& cylinder : model.cylinders)
        geometry.Cylinder(Utf8(cylinder.name), cylinder.radius, cylinder.length);
    for (const std::wstring& system : model.coordinateSystems)
        geometry.Lcs(Utf8(system));
    if (model.attachPoint)
        geometry.AttachPoint(true);
    if (model.cone) {
        // A rebuild of the part (its 58) makes the cone's faces anew, as Velmar does when a size changes.
        GeoEntity& cone = geometry.Cone(28, L"Conus ", *model.cone);
        component.part->V5().Method(IVel5Part::Rebuild, 1, [geometry, &cone, value = *model.cone, rebuilds = 0](Args& args) mutable {
            args.Bool(0);
            geometry.RemakeConeFaces(cone, value, ++rebuilds);
            return _variant_t(true);
        });
    }
    if (model.box) {
        const std::array<double, 6>& box = *model.box;
        component.part->SetBox(box[0], box[1], box[2], box[3], box[4], box[5]);
    }
    component.mass = model.mass;
    component.material = model.material;
}

bool Assembly::IsOf(const Component& component, IUnknown* object)
{
    const GeoEntity* entity = geometry_.EntityOf(object);
    return entity && entity->part == component.part;
}

std::vector<Component*> Assembly::Components()
{
    std::vector<Component*> placed;
    for (Component& component : parts_)
        if (component.inserted && !component.deleted)
            placed.push_back(&component);
    return placed;
}

std::vector<const MateRecord*> Assembly::MatesOf(const Component& component)
{
    std::vector<const MateRecord*> mates;
    for (const MateRecord& mate : geometry_.Mates())
        if (IsOf(component, mate.first) || IsOf(component, mate.second))
            mates.push_back(&mate);
    return mates;
}

std::vector<SpcObject*> Assembly::SpcObjectsOf(const Component& component)
{
    std::vector<SpcObject*> objects;
    for (SpcObject* object : document_.Spc().Objects())
        for (const IDispatchPtr& linked : object->linked)
            if (Object::From(linked) == &component.part->V7()) {
                objects.push_back(object);
                break;
            }
    return objects;
}

std::vector<std::string> Assembly::Describe(const Component& component)
{
    Object& part = component.part->V5();
    std::vector<std::string> lines;
    lines.push_back(QuoteShown(part.Text(IVel5Part::ComponentName)) + ", model " + QuoteShown(component.insertedFile));
    std::string parameters;
    for (const auto& [name, variable] : component.variables)
        parameters += (parameters.empty() ? "" : ", ") + Utf8(name) + "=" + ShownNumber(variable->Double(IVel5Variable::Value));
    lines.push_back("parameters: " + (parameters.empty() ? std::string("none") : parameters));
    lines.push_back("mass " + ShownNumber(component.mass) + ", material " + QuoteShown(component.material));
    Object* placement = part.Has(Part::kPlacement) ? Object::From(V_VT(&part.Value(Part::kPlacement)) == VT_DISPATCH
                                                                       ? V_DISPATCH(&part.Value(Part::kPlacement))
                                                                       : nullptr)
                                                 : nullptr;
    // A placement a panel run gave, or a part's own ("<part>Placement"), which a replacement takes over.
    std::string from = placement ? placement->Name() : std::string();
    const std::string own = "Placement";
    if (from.size() > own.size() && from.compare(from.size() - own.size(), own.size(), own) == 0)
        from.erase(from.size() - own.size());
    lines.push_back(!placement                           ? std::string("placement: none")
                    : placement->Has(Document::kPanelRun) ? "placement: as placed in panel run " +
                                                                std::to_string(placement->Long(Document::kPanelRun))
                                                          : "placement: that of " + from);
    auto named = [this](IUnknown* object) {
        const GeoEntity* entity = geometry_.EntityOf(object);
        return entity ? Utf8(entity->HostName()) : RenderObject(object);
    };
    for (const MateRecord* mate : MatesOf(component))
        lines.push_back("mate: kind " + std::to_string(mate->kind) + ", direction " + std::to_string(mate->direction) +
                        ", value " + ShownNumber(mate->value) + ": " + named(mate->first) + " and " + named(mate->second));
    for (SpcObject* object : SpcObjectsOf(component))
        lines.push_back("spc object: " + object->Describe());
    return lines;
}

} // namespace sim
