#include "sim/element_model.h"

#include "hostapi/velmar.h"
#include "sim/document.h"
#include "sim/journal.h"
#include "sim/velmar.h"

#include <algorithm>
#include <stdexcept>

namespace sim {

namespace {

// None is handed as a null dispatch, not as empty.
_variant_t HandedOrNull(Object* object)
{
    return object ? _variant_t(object->Primary()) : _variant_t(static_cast<IDispatch*>(nullptr));
}

void GiveOut(Object* object, IDispatch** out)
{
    *out = object ? object->Primary() : nullptr;
    if (*out)
        (*out)->AddRef();
}

std::string Number(double value)
{
    return RenderVariant(_variant_t(value));
}

// The positioning references in the order the library hands them over.
const char* const kReferenceNames[] = {"start", "end", "face", "edge1", "edge2", "round edge", "vertex", "guide"};

// Takes the element's feature out of the part's feature tree, and back on undo.
void TakeOutOfTree(Velmar& velmar, std::vector<Object*>& features, Object* feature)
{
    const auto found = std::find(features.begin(), features.end(), feature);
    if (found == features.end())
        return;
    const auto index = found - features.begin();
    features.erase(found);
    velmar.Undo().Record([&features, index, feature] { features.insert(features.begin() + index, feature); });
}

} // namespace

ScriptedElements::ScriptedElements(Velmar& velmar, Geometry& geometry, Construction& made, Document& document, Part& top)
    : velmar_(velmar), geometry_(geometry), made_(made), document_(document), top_(top)
{
    document.V5().ScriptName(L"BuildElement", kBuildElement).Method(kBuildElement, 8, [this](Args& args) { return Build(args); });
    deletion_ = document.OnDeletion([this](IUnknown* object) { Deleted(object); });
}

ScriptedElements::~ScriptedElements()
{
    document_.ForgetDeletion(deletion_);
    for (auto& object : objects_)
        object->Detach();
}

ObjectRef ScriptedElements::NewObject(const std::string& name)
{
    objects_.push_back(velmar_.NewObject(name));
    return objects_.back();
}

std::string ScriptedElements::NameOf(IUnknown* object) const
{
    if (!object)
        return "-";
    if (GeoEntity* entity = geometry_.EntityOf(object))
        return entity->Name();
    return RenderObject(object);
}

std::vector<BuiltElement*> ScriptedElements::Live()
{
    std::vector<BuiltElement*> live;
    for (BuiltElement& element : elements_)
        if (!element.deleted)
            live.push_back(&element);
    return live;
}

BuiltElement* ScriptedElements::ElementOf(IUnknown* object)
{
    Object* wanted = Object::From(object);
    for (BuiltElement& element : elements_)
        if (wanted && (wanted == &element.macro->V5() || wanted == &element.macro->Feature()))
            return &element;
    return nullptr;
}

ObjectRef ScriptedElements::Constraint(const std::string& name, long type, Object* partner)
{
    ObjectRef constraint = NewObject(name);
    constraint->Value(7) = _variant_t(type);
    constraint->Value(9) = _variant_t(VARIANT_FALSE, VT_I2);
    ObjectRef held(partner);
    constraint->Face<IVel7SketchConstraint>()
        .Get<&IVel7SketchConstraint::get_Type>(7)
        .On<&IVel7SketchConstraint::get_Partner>(8, [held](IDispatch** out) { GiveOut(held.get(), out); })
        .Get<&IVel7SketchConstraint::get_Flag>(9);
    return constraint;
}

ObjectRef ScriptedElements::SketchObject(const std::string& name, long type, std::vector<ObjectRef> constraints)
{
    ObjectRef object = NewObject(name);
    object->Value(7) = _variant_t(type);
    object->Face<IVel7SketchObject>()
        .Get<&IVel7SketchObject::get_Type>(7)
        .On<&IVel7SketchObject::get_ConstraintCount>(8, [constraints](long* count) { *count = static_cast<long>(constraints.size()); })
        .On<&IVel7SketchObject::get_Constraint>(9, [constraints](long index, IDispatch** out) -> HRESULT {
            if (index < 0 || static_cast<size_t>(index) >= constraints.size())
                return E_INVALIDARG;
            GiveOut(constraints[static_cast<size_t>(index)].get(), out);
            return S_OK;
        });
    return object;
}

std::vector<Object2D> ScriptedElements::EdgeLines(BuiltElement& element, const std::vector<IDispatchPtr>& references)
{
    std::vector<Object2D> lines;
    const std::string name = element.macro->Name();
    for (size_t i = 0; i < 2; ++i) {
        // The line lies where its edge projects; an edge that projects as no line gives a line of its own.
        Object2D line = Object2D::Segment(0, 0, i == 0 ? 10 : 0, i == 0 ? 0 : 10);
        Object* edge = references.size() > 3 + i ? Object::From(references[3 + i]) : nullptr;
        if (edge)
            if (const std::optional<Object2D> projection = made_.ProjectionOf(*edge); projection && projection->kind == 1)
                line = *projection;
        const std::string suffix = std::to_string(i + 1);
        ObjectRef side = Constraint(name + "Side" + suffix, 14, nullptr);
        ObjectRef dimension = SketchObject(name + "Dimension" + suffix, 13041, {side});
        ObjectRef base = SketchObject(name + "Base" + suffix, 13077, {});
        base->Value(7) = _variant_t(13077L);
        base->Value(kBaseX) = line.x1;
        base->Value(kBaseY) = line.y1;
        Object* point = base.get();
        base->Face<IVel7SketchPoint>()
            .Get<&IVel7SketchPoint::get_tx>(7, kBaseX)
            .Set<&IVel7SketchPoint::put_tx>(8, kBaseX)
            .Get<&IVel7SketchPoint::get_ty>(9, kBaseY)
            .Set<&IVel7SketchPoint::put_ty>(10, kBaseY)
            .On<&IVel7SketchPoint::Update>(11, [point](VARIANT_BOOL* done) {
                point->Value(kBaseUpdates) = point->Long(kBaseUpdates) + 1;
                *done = VARIANT_TRUE;
            });
        line.v7 = SketchObject(name + "Line" + suffix, 1,
                               {Constraint(name + "Merge" + suffix + "a", 11, dimension.get()),
                                Constraint(name + "Merge" + suffix + "b", 11, base.get())});
        element.basePoints.push_back(base);
        lines.push_back(line);
    }
    return lines;
}

_variant_t ScriptedElements::Build(Args& args)
{
    // The references are read as a script reads them: a failing read fails the script.
    std::vector<IDispatchPtr> references;
    if (const IItemListPtr list = QueryHostOrNull<IItemList>(args.Object(7))) {
        long count = 0;
        if (FAILED(list->get_Count(&count)))
            throw Fail{E_FAIL, 7};
        for (long i = 0; i < count; ++i) {
            IDispatchPtr item;
            if (FAILED(list->Item(i, &item)))
                throw Fail{E_FAIL, 7};
            references.push_back(item);
        }
    }
    // Without its start surface an element has nowhere to stand.
    if (references.empty() || !Object::From(references.front()))
        throw Fail{E_INVALIDARG, 7};
    BuiltElement element;
    element.kind = args.Text(0);
    element.parameters = args.Text(1);
    element.positmType = args.Int32(2);
    element.positmX = args.Double(3);
    element.positmY = args.Double(4);
    element.positmR = args.Double(5);
    element.positmA = args.Double(6);
    return HandedOrNull(&Make(element, references).macro->V5());
}

BuiltElement& ScriptedElements::Make(const BuiltElement& asked, const std::vector<IDispatchPtr>& references)
{
    Object* start = references.empty() ? nullptr : Object::From(references.front());
    if (!start)
        throw std::invalid_argument("an element needs its start surface");
    BuiltElement& element = elements_.emplace_back(asked);
    for (const IDispatchPtr& item : references)
        element.references.push_back(NameOf(item));

    const std::string name = "element" + std::to_string(elements_.size());
    GeoEntity& macro = geometry_.AddMacro(name, &top_);
    element.macro = &macro;
    macro.SetHostName(element.kind);
    std::vector<Object*>& features = geometry_.Shape(top_).features;
    features.push_back(&macro.Feature());

    std::vector<Object2D> objects;
    if (element.positmType == 1)
        objects = EdgeLines(element, references);
    else
        objects.push_back(Object2D::Point(element.positmX, element.positmY));
    element.sketch = &made_.AddSketch(*start, objects);
    ObjectRef sketchFeature = NewObject(name + "SketchFeature");
    sketchFeature->Supports(__uuidof(IVel5Object))
        .Returns(IVel5Object::Type, _variant_t(static_cast<short>(VelTypeEntity)))
        .Returns(IVel5Object::Target, HandedOrNull(element.sketch->v5.get()))
        .Returns(IVel5Object::Object5, HandedOrNull(sketchFeature.get()));
    macro.inner.push_back(sketchFeature.get());
    macro.Add(geometry_.AddEntity(name + "System", 85, &top_));

    // The bore takes the picked face's radius.
    GeoEntity* picked = references.size() > 2 ? geometry_.EntityOf(references[2]) : nullptr;
    const double radius = picked ? picked->face.radius : defaultRadius;
    Part& body = velmar_.AddPart(name + "Body");
    GeoEntity& face = geometry_.AddFace(name + "Face", &body, {.test3 = true, .length = 20, .radius = radius});
    face.face.point = {radius, 0, 0};
    face.face.normal = {-1, 0, 0};
    element.face = &face;
    GeoEntity& cut = geometry_.AddEntity(name + "Cut", 25, &top_);
    cut.subObjects[6] = {&face};
    macro.Add(cut);
    macro.Add(body);
    macro.Add(geometry_.AddEntity(name + "Seat", 68, &top_));
    velmar_.Attributes().ServeObject(macro.Feature());

    BuiltElement* self = &element;
    velmar_.Undo().Record([self, &features] {
        self->deleted = true;
        std::erase(features, &self->macro->Feature());
    });
    if (OnBuilt)
        OnBuilt(element);
    return element;
}

void ScriptedElements::Deleted(IUnknown* object)
{
    BuiltElement* element = ElementOf(object);
    if (!element || element->deleted)
        return;
    element->deleted = true;
    velmar_.Undo().Record([element] { element->deleted = false; });
    TakeOutOfTree(velmar_, geometry_.Shape(top_).features, &element->macro->Feature());
}

std::vector<std::string> ScriptedElements::Describe(const BuiltElement& element) const
{
    std::vector<std::string> lines;
    lines.push_back(Utf8(element.macro->HostName()) + " (" + Utf8(element.kind) + ")" + (element.deleted ? ", deleted" : ""));
    lines.push_back("parameters: " + Utf8(element.parameters));
    lines.push_back("position: type " + std::to_string(element.positmType) + ", X " + Number(element.positmX) + ", Y " +
                    Number(element.positmY) + ", R " + Number(element.positmR) + ", A " + Number(element.positmA));
    std::string picked;
    for (size_t i = 0; i < element.references.size() && i < std::size(kReferenceNames); ++i)
        if (element.references[i] != "-")
            picked += (picked.empty() ? "" : ", ") + std::string(kReferenceNames[i]) + " " + element.references[i];
    lines.push_back("picked: " + (picked.empty() ? std::string("nothing") : picked));
    return lines;
}

} // namespace sim
