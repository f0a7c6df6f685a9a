#include "sim/geometry_model.h"

#include "sim/document.h"
#include "sim/velmar.h"

#include <algorithm>

namespace sim {

namespace {

// None is handed as a null dispatch, not as empty.
_variant_t HandedOrNull(Object* object)
{
    return object ? _variant_t(object->Primary()) : _variant_t(static_cast<IDispatch*>(nullptr));
}

// Velmar's definitions of plane entities, one interface per type, and where each keeps its base.
struct PlaneKind {
    short type;
    const IID* iid;
    DISPID base;
};
const PlaneKind kPlaneKinds[] = {
    {1, &__uuidof(IVel5PlaneDefinition1), 1},       {2, &__uuidof(IVel5PlaneDefinition1), 1},
    {3, &__uuidof(IVel5PlaneDefinition1), 1},       {14, &__uuidof(IVel5OffsetPlaneDefinition), 5},
    {15, &__uuidof(IVel5PlaneDefinition15), 6},     {16, &__uuidof(IVel5PlaneDefinition16), 3},
    {17, &__uuidof(IVel5PlaneDefinition17), 6},     {18, &__uuidof(IVel5PlaneDefinition18), 6},
    {19, &__uuidof(IVel5PlaneDefinition19), 5},     {20, &__uuidof(IVel5PlaneDefinition20), 5},
    {21, &__uuidof(IVel5PlaneDefinition21), 5},     {22, &__uuidof(IVel5PlaneDefinition22), 6},
    {23, &__uuidof(IVel5PlaneDefinition23), 6},     {66, &__uuidof(IVel5PlaneDefinition66), 4},
};

const PlaneKind kPatternKinds[] = {
    {25, &__uuidof(IVel5PatternDefinition25), 3},
    {26, &__uuidof(IVel5PatternDefinition26), 4},
    {29, &__uuidof(IVel5PatternDefinition29), 5},
    {47, &__uuidof(IVel5PatternDefinition47), 4},
};

const IID* const kAxisDefinitions[] = {
    &__uuidof(IVel5AxisDefinition9),  &__uuidof(IVel5AxisDefinition10), &__uuidof(IVel5AxisDefinition11),
    &__uuidof(IVel5AxisDefinition12), &__uuidof(IVel5AxisDefinition13),
};

std::vector<Object*> Entities(const std::vector<GeoEntity*>& entities)
{
    std::vector<Object*> objects;
    for (GeoEntity* entity : entities)
        objects.push_back(&entity->V5());
    return objects;
}

void FillPoint(Args& args, unsigned first, const Point3& point)
{
    args.SetDouble(first, point.x);
    args.SetDouble(first + 1, point.y);
    args.SetDouble(first + 2, point.z);
}

// The surface answers points of the parameter pair it gave out, and nothing else.
void ExpectParameters(Args& args, const FaceShape& face)
{
    if (args.Double(0) != face.u)
        throw Fail{E_INVALIDARG, 0};
    if (args.Double(1) != face.v)
        throw Fail{E_INVALIDARG, 1};
}

} // namespace

void GeoEntity::Add(GeoEntity& element)
{
    inner.push_back(&element.Feature());
    element.owner = this;
}

void GeoEntity::Add(Part& part)
{
    inner.push_back(&part.V5());
}

Geometry::Geometry(Velmar& velmar) : velmar_(velmar) {}

Geometry::~Geometry()
{
    if (mateDocument_)
        mateDocument_->ForgetDeletion(mateDeletion_);
    // The handlers point into this model: nothing may reach them once it is gone.
    for (auto& object : objects_)
        object->Detach();
    for (Object* object : extended_)
        object->Detach();
}

ObjectRef Geometry::NewObject(const std::string& name)
{
    objects_.push_back(velmar_.NewObject(name));
    return objects_.back();
}

ObjectRef Geometry::NewIterator(const std::string& name, const IID* iid, std::function<std::vector<Object*>()> source)
{
    ObjectRef iterator = NewObject(name);
    if (iid)
        iterator->Supports(*iid);
    // A walk takes the list as it stands at its first step: a long feature tree is not copied per step.
    auto cursor = std::make_shared<size_t>(0);
    auto walked = std::make_shared<std::vector<Object*>>();
    auto at = [cursor, walked]() { return HandedOrNull(*cursor < walked->size() ? (*walked)[*cursor] : nullptr); };
    iterator->Method(IVel5ObjectCollection::First, 0, [source, cursor, walked, at](Args&) {
        *cursor = 0;
        *walked = source();
        return at();
    });
    iterator->Method(IVel5ObjectCollection::Next, 0, [cursor, at](Args&) {
        ++*cursor;
        return at();
    });
    iterator->Method(IVel5ObjectCollection::Count, 0, [source](Args&) { return _variant_t(static_cast<long>(source().size())); });
    return iterator;
}

GeoEntity& Geometry::NewEntity(const std::string& name, short type, Part* part)
{
    GeoEntity& e = entities_.emplace_back();
    e.name_ = name;
    e.type_ = type;
    e.part = part;
    e.v5_ = NewObject(name + "5");
    e.v7_ = NewObject(name + "7");
    e.feature_ = NewObject(name + "Feature");
    GeoEntity* self = &e;

    e.v5_->Supports(__uuidof(IVel5Entity))
        .Property(IVel5Entity::Name, std::wstring(name.begin(), name.end()).c_str())
        .Returns(IVel5Entity::Update, true)
        .Returns(IVel5Entity::Type, _variant_t(type))
        .Method(IVel5Entity::Definition, 0, [self](Args&) {
            return self->definition_ ? HandedOrNull(self->definition_.get()) : _variant_t();
        })
        .Method(IVel5Entity::Part, 0, [self](Args&) { return self->part ? HandedOrNull(&self->part->V5()) : _variant_t(); })
        .Method(IVel5Entity::Owner, 0, [self](Args&) { return HandedOrNull(&(self->owner ? self->owner : self)->Feature()); })
        .Method(IVel5Entity::DirectionObjects, 1, [this, self](Args& args) {
            const short kind = args.Int16(0);
            auto found = self->directions.find(kind);
            Object* direction = found == self->directions.end() ? nullptr : &found->second->V5();
            ObjectRef objects = NewIterator(self->name_ + "Dir" + std::to_string(kind), &__uuidof(IVel5EntityCollection),
                                            [direction]() { return direction ? std::vector<Object*>{direction} : std::vector<Object*>{}; });
            return HandedOrNull(objects.get());
        });

    // The sub-objects of a kind, asked of the entity or of its feature.
    auto subObjects = [this, self](Args& args) {
        const short kind = args.Int16(0);
        ObjectRef objects = NewIterator(self->name_ + "Sub" + std::to_string(kind), nullptr, [self, kind]() {
            auto found = self->subObjects.find(kind);
            return found == self->subObjects.end() ? std::vector<Object*>{} : Entities(found->second);
        });
        return HandedOrNull(objects.get());
    };
    e.v5_->Method(IVel5Entity::SubObjects, 1, subObjects);
    e.feature_->Supports(__uuidof(IVel5Object))
        .Returns(IVel5Object::Type, _variant_t(static_cast<short>(VelTypeEntity)))
        .Returns(IVel5Object::Target, HandedOrNull(e.v5_.get()))
        .Returns(IVel5Object::Object5, HandedOrNull(e.feature_.get()))
        .Method(IVel5Object::SubObjects, 1, subObjects);

    e.v7_->Face<IVel7Entity>()
        .On<&IVel7Entity::Item>(41, [self](long code, IDispatch** item) {
            auto found = self->items.find(code);
            *item = found == self->items.end() ? nullptr : found->second->Primary();
            if (*item)
                (*item)->AddRef();
        })
        .On<&IVel7Entity::get_Name>(42, [self](BSTR* name) { *name = SysAllocString(self->HostName().c_str()); });
    e.v7_->Face<IVel7ModelObject>();
    e.v7_->Face<IVel7ObjectRef>();
    // The owner a version-7 object reports is the element it lies in.
    e.v7_->Returns(IVel7Dispatch::Bridge, HandedOrNull(e.feature_.get()))
        .Method(IVel7Dispatch::BridgeEx, 0, [self](Args&) { return HandedOrNull(&(self->owner ? self->owner : self)->Feature()); });

    velmar_.Twin(*e.v5_, *e.v7_);
    velmar_.Twin(*e.feature_, *e.v7_);
    if (part)
        velmar_.OwnedBy(*e.v7_, *part);
    velmar_.Panels().AddPickable(name, *e.v5_);
    return e;
}

Object& Geometry::NewDefinition(GeoEntity& entity, const IID& iid)
{
    entity.definition_ = NewObject(entity.name_ + "Def");
    entity.definition_->Supports(iid);
    return *entity.definition_;
}

GeoEntity& Geometry::AddEntity(const std::string& name, short type, Part* part)
{
    return NewEntity(name, type, part);
}

GeoEntity& Geometry::AddFace(const std::string& name, Part* part, const FaceShape& shape)
{
    GeoEntity& e = NewEntity(name, 6, part);
    e.face = shape;
    FaceShape* face = &e.face;
    if (part)
        Shape(*part).faces.push_back(&e);

    ObjectRef link1 = NewObject(name + "Link1");
    ObjectRef link2 = NewObject(name + "Link2");
    link2->Supports(__uuidof(IVel5SurfaceFlagLink2)).Method(IVel5SurfaceFlagLink2::Flag, 0, [face](Args&) {
        return _variant_t(face->surfaceFlag);
    });
    link1->Supports(__uuidof(IVel5SurfaceFlagLink1)).Returns(IVel5SurfaceFlagLink1::Link, HandedOrNull(link2.get()));
    e.V5().Returns(IVel5Entity::SurfaceLink, HandedOrNull(link1.get()));

    ObjectRef surface = NewObject(name + "Surface");
    e.surface = surface.get();
    ObjectRef cone = NewObject(name + "Cone");
    ObjectRef cylinder = NewObject(name + "Cylinder");
    ObjectRef axis = NewObject(name + "Axis");
    Object& definition = NewDefinition(e, __uuidof(IVel5FaceDefinition));
    definition.Method(IVel5FaceDefinition::Test1, 0, [face](Args&) { return _variant_t(face->test1); })
        .Method(IVel5FaceDefinition::Test2, 0, [face](Args&) { return _variant_t(face->test2); })
        .Method(IVel5FaceDefinition::Test3, 0, [face](Args&) { return _variant_t(face->test3); })
        .Method(IVel5FaceDefinition::CylinderParams, 2, [face](Args& args) {
            args.SetDouble(0, face->length);
            args.SetDouble(1, face->radius);
            return _variant_t();
        })
        .Returns(IVel5FaceDefinition::Surface, HandedOrNull(surface.get()))
        .Method(IVel5FaceDefinition::Orientation, 0, [face](Args&) { return _variant_t(face->orientation); })
        .Returns(IVel5FaceDefinition::Face, HandedOrNull(e.v5_.get()));
    // The face's edges are its sub-objects of kind 7.
    GeoEntity* self = &e;
    ObjectRef edges = NewIterator(name + "Edges", &__uuidof(IVel5EdgeCollection), [self]() {
        auto found = self->subObjects.find(7);
        return found == self->subObjects.end() ? std::vector<Object*>{} : Entities(found->second);
    });
    definition.Returns(IVel5FaceDefinition::Edges, HandedOrNull(edges.get()));

    Object* coneObject = cone.get();
    Object* cylinderObject = cylinder.get();
    surface->Supports(__uuidof(IVel5Surface))
        .Method(IVel5Surface::U, 0, [face](Args&) { return _variant_t(face->u); })
        .Method(IVel5Surface::V, 0, [face](Args&) { return _variant_t(face->v); })
        .Method(IVel5Surface::PointAt, 5, [face](Args& args) {
            ExpectParameters(args, *face);
            FillPoint(args, 2, face->point);
            return _variant_t();
        })
        .Method(IVel5Surface::NormalAt, 5, [face](Args& args) {
            ExpectParameters(args, *face);
            FillPoint(args, 2, face->normal);
            return _variant_t();
        })
        .Method(IVel5Surface::Parameters, 0, [face, coneObject, cylinderObject](Args&) {
            return HandedOrNull(face->cone ? coneObject : cylinderObject);
        });
    cone->Supports(__uuidof(IVel5ConeParam)).Method(IVel5ConeParam::Value, 0, [face](Args&) {
        return _variant_t(face->coneValue);
    });
    cylinder->Supports(__uuidof(IVel5CylinderParam)).Returns(IVel5CylinderParam::Axis, HandedOrNull(axis.get()));
    axis->Supports(__uuidof(IVel5Placement)).Method(IVel5Placement::AxisPoint, 3, [face](Args& args) {
        FillPoint(args, 0, face->axisPoint);
        return _variant_t();
    });
    return e;
}

GeoEntity& Geometry::AddEdge(const std::string& name, Part* part, const EdgeShape& shape)
{
    GeoEntity& e = NewEntity(name, 7, part);
    e.edge = shape;
    EdgeShape* edge = &e.edge;
    ObjectRef curve = NewCurve(name + "Curve", &e.axis);
    NewDefinition(e, __uuidof(IVel5EdgeDefinition))
        .Returns(IVel5EdgeDefinition::Curve, HandedOrNull(curve.get()))
        .Method(IVel5EdgeDefinition::Test1, 0, [edge](Args&) { return _variant_t(edge->test1); })
        .Method(IVel5EdgeDefinition::Test8, 0, [edge](Args&) { return _variant_t(edge->test8); })
        .Method(IVel5EdgeDefinition::Test9, 0, [edge](Args&) { return _variant_t(edge->test9); })
        .Method(IVel5EdgeDefinition::Test10, 0, [edge](Args&) { return _variant_t(edge->test10); })
        .Method(IVel5EdgeDefinition::AdjacentFace, 1, [edge](Args& args) {
            const short side = args.Int16(0);
            if (side != -1 && side != 0)
                throw Fail{E_INVALIDARG, 0};
            GeoEntity* face = side == -1 ? edge->side1 : edge->side2;
            return face && face->HasDefinition() ? HandedOrNull(&face->Definition()) : _variant_t();
        });
    return e;
}

void Geometry::AddVertices(GeoEntity& edge, const Point3& start, const Point3& end)
{
    ObjectRef vertices[2] = {NewObject(edge.name_ + "Start"), NewObject(edge.name_ + "End")};
    const Point3 points[2] = {start, end};
    for (int i = 0; i < 2; ++i)
        vertices[i]->Supports(__uuidof(IVel5Vertex)).Method(IVel5Vertex::Point, 3, [point = points[i]](Args& args) {
            FillPoint(args, 0, point);
            return _variant_t();
        });
    Object* first = vertices[0].get();
    Object* second = vertices[1].get();
    edge.V5().Supports(__uuidof(IVel5EdgeDefinition)).Method(IVel5EdgeDefinition::Vertex, 1, [first, second](Args& args) {
        return HandedOrNull(args.Bool(0) ? first : second);
    });
}

GeoEntity& Geometry::AddAxis(const std::string& name, Part* part, short type, const AxisShape& shape)
{
    GeoEntity& e = NewEntity(name, type, part);
    e.axis = shape;
    if (type < 9 || type > 13)
        return e;
    ObjectRef curve = NewCurve(name + "Curve", &e.axis);
    NewDefinition(e, *kAxisDefinitions[type - 9]).Returns(IVel5AxisDefinition9::Curve, HandedOrNull(curve.get()));
    return e;
}

ObjectRef Geometry::NewCurve(const std::string& name, AxisShape* axis)
{
    ObjectRef curve = NewObject(name);
    ObjectRef line = NewObject(name + "Line");
    line->Supports(__uuidof(IVel5Line3D))
        .Method(IVel5Line3D::Start, 3, [axis](Args& args) {
            FillPoint(args, 0, axis->from);
            return _variant_t();
        })
        .Method(IVel5Line3D::End, 3, [axis](Args& args) {
            FillPoint(args, 0, axis->to);
            return _variant_t();
        });
    ObjectRef circle = NewObject(name + "Circle");
    circle->Method(IVel5Circle3D::Radius, 0, [axis](Args&) { return _variant_t(axis->circleRadius); });
    Object* lineObject = line.get();
    Object* circleObject = circle.get();
    curve->Method(IVel5Curve::IsLine, 0, [axis](Args&) { return _variant_t(axis->circleRadius <= 0); })
        .Method(IVel5Curve::IsCircle, 0, [axis](Args&) { return _variant_t(axis->circleRadius > 0); })
        .Method(IVel5Curve::Shape, 0, [axis, lineObject, circleObject](Args&) {
            return HandedOrNull(axis->circleRadius > 0 ? circleObject : lineObject);
        });
    curve->Supports(__uuidof(IVel5Curve))
        .Method(IVel5Curve::Start, 0, [axis](Args&) { return _variant_t(axis->start); })
        .Method(IVel5Curve::End, 0, [axis](Args&) { return _variant_t(axis->end); })
        .Method(IVel5Curve::PointAt, 4, [axis](Args& args) {
            const double k = (args.Double(0) - axis->start) / (axis->end - axis->start);
            FillPoint(args, 1, {axis->from.x + k * (axis->to.x - axis->from.x), axis->from.y + k * (axis->to.y - axis->from.y),
                                axis->from.z + k * (axis->to.z - axis->from.z)});
            return _variant_t();
        });
    return curve;
}

GeoEntity& Geometry::AddPlane(const std::string& name, Part* part, short type)
{
    GeoEntity& e = NewEntity(name, type, part);
    for (const PlaneKind& kind : kPlaneKinds) {
        if (kind.type != type)
            continue;
        ObjectRef base = NewObject(name + "Base");
        e.surface = base.get();
        Object& definition = NewDefinition(e, *kind.iid).Returns(kind.base, HandedOrNull(base.get()));
        if (type == 14) {
            GeoEntity* self = &e;
            definition.Method(IVel5OffsetPlaneDefinition::Offset, 0, [self](Args&) { return _variant_t(self->offset); });
        }
    }
    return e;
}

GeoEntity& Geometry::AddThread(const std::string& name, Part* part, const ThreadShape& shape, short type)
{
    GeoEntity& e = NewEntity(name, type, part);
    e.thread = shape;
    ThreadShape* thread = &e.thread;
    NewDefinition(e, __uuidof(IVel5ThreadDefinition))
        .Method(IVel5ThreadDefinition::Param1, 0, [thread](Args&) { return _variant_t(thread->param1); })
        .Method(IVel5ThreadDefinition::Param2, 0, [thread](Args&) { return _variant_t(thread->param2); })
        .Method(IVel5ThreadDefinition::Param3, 0, [thread](Args&) { return _variant_t(thread->param3); })
        .Method(IVel5ThreadDefinition::Outer, 0, [thread](Args&) { return _variant_t(thread->outer); })
        .Method(IVel5ThreadDefinition::Base, 0, [thread](Args&) {
            return thread->base ? HandedOrNull(&thread->base->V5()) : _variant_t();
        });
    return e;
}

GeoEntity& Geometry::AddMacro(const std::string& name, Part* part, short type)
{
    GeoEntity& e = NewEntity(name, type, part);
    GeoEntity* self = &e;
    auto innerObjects = [self]() { return self->inner; };
    ObjectRef items = NewIterator(name + "Items", nullptr, innerObjects);
    // An object joins the element: a part of it lies in the element from then on, and Velmar lists it
    // there only, no longer in the feature tree of the element's part.
    auto join = [this, self](Args& args) {
        const IUnknownPtr given = args.Unknown(0);
        Object* joined = Object::From(given);
        if (!joined)
            throw Fail{E_INVALIDARG, 0};
        Part* part = velmar_.FindPart(given);
        GeoEntity* element = part ? nullptr : EntityOf(given);
        if (part)
            joined = &part->Feature();
        self->inner.push_back(joined);
        if (part)
            part->PlaceIn(self->Feature());
        else if (element)
            element->owner = self;
        Object* listed = element ? &element->Feature() : joined;
        std::vector<Object*>* tree = self->part ? &Shape(*self->part).features : nullptr;
        std::ptrdiff_t at = -1;
        if (tree) {
            const auto found = std::find(tree->begin(), tree->end(), listed);
            if (found != tree->end()) {
                at = found - tree->begin();
                tree->erase(found);
            }
        }
        velmar_.Undo().Record([self, part, tree, listed, at] {
            self->inner.pop_back();
            if (part)
                part->PlaceIn(nullptr);
            if (at >= 0)
                tree->insert(tree->begin() + std::min<std::ptrdiff_t>(at, static_cast<std::ptrdiff_t>(tree->size())), listed);
        });
        return _variant_t(true);
    };
    items->Method(IVel5ObjectCollection::Add, 1, join);
    Object& definition = NewDefinition(e, __uuidof(IVel5MacroDefinition));
    definition.Method(IVel5MacroDefinition::AddPart, 1, join);
    definition.Property(IVel5MacroDefinition::Setting1, true)
        .Returns(IVel5MacroDefinition::InnerObjects, HandedOrNull(items.get()))
        .Method(IVel5MacroDefinition::SetUserParam, 1, [&definition](Args& args) {
            definition.Value(IVel5MacroDefinition::SetUserParam) = _variant_t(static_cast<IDispatch*>(args.Object(0)));
            return _variant_t(true);
        });
    // The element's version-7 object, under which its named values are stored.
    ObjectRef definition7 = NewObject(name + "Def7");
    definition7->Face<IVel7ObjectRef>();
    velmar_.Twin(definition, *definition7);
    // The element's own feature collection holds the same inner objects.
    ObjectRef features = NewIterator(name + "Features", &__uuidof(IVel5FeatureCollection), innerObjects);
    e.Feature().Method(IVel5Object::Features, 2, [features](Args& args) {
        args.Int16(0);
        args.Int16(1);
        return HandedOrNull(features.get());
    });
    return e;
}

GeoEntity& Geometry::AddPattern(const std::string& name, Part* part, short type, GeoEntity* further)
{
    GeoEntity& e = NewEntity(name, type, part);
    e.further = further;
    GeoEntity* self = &e;
    for (const PlaneKind& kind : kPatternKinds)
        if (kind.type == type)
            NewDefinition(e, *kind.iid).Method(kind.base, 0, [self](Args&) {
                return self->further ? HandedOrNull(&self->further->V5()) : _variant_t();
            });
    return e;
}

GeoEntity* Geometry::EntityOf(IUnknown* object)
{
    const Object* wanted = Object::From(object);
    if (!wanted)
        return nullptr;
    for (GeoEntity& entity : entities_)
        if (wanted == entity.v5_.get() || wanted == entity.v7_.get() || wanted == entity.feature_.get())
            return &entity;
    return nullptr;
}

PartShape* Geometry::ShapeOf(Object* part5)
{
    for (PartShape& shape : parts_)
        if (&shape.part->V5() == part5)
            return &shape;
    return nullptr;
}

PartShape& Geometry::Shape(Part& part)
{
    if (PartShape* known = ShapeOf(&part.V5()))
        return *known;
    PartShape& shape = parts_.emplace_back();
    shape.part = &part;
    PartShape* self = &shape;
    const std::string name = part.V5().Name();

    ObjectRef faces = NewIterator(name + "Faces", nullptr, [self]() {
        std::vector<Object*> objects;
        for (GeoEntity* face : self->faces)
            objects.push_back(&face->V5());
        return objects;
    });
    ObjectRef features = NewIterator(name + "Tree", &__uuidof(IVel5FeatureCollection), [self]() { return self->features; });
    part.V5()
        .Method(IVel5Part::ObjectsOfType, 1, [this, self, name](Args& args) {
            const short type = args.Int16(0);
            auto ofType = [self, type]() {
                auto found = self->objects.find(type);
                return found == self->objects.end() ? std::vector<GeoEntity*>{} : found->second;
            };
            ObjectRef objects = NewIterator(name + "Type" + std::to_string(type), &__uuidof(IVel5EntityCollection),
                                            [ofType]() { return Entities(ofType()); });
            objects->Method(IVel5EntityCollection::FindByName, 3, [ofType](Args& find) {
                const std::wstring wanted = find.Text(0);
                find.Int16(1);
                find.Int16(2);
                const std::vector<GeoEntity*> candidates = ofType();
                auto named = std::find_if(candidates.begin(), candidates.end(),
                                          [&](GeoEntity* entity) { return entity->HostName() == wanted; });
                return HandedOrNull(named == candidates.end() ? nullptr : &(*named)->V5());
            });
            return HandedOrNull(objects.get());
        })
        .Method(IVel5Part::Faces, 1, [faces](Args& args) {
            if (args.Int16(0) != 6)
                throw Fail{E_INVALIDARG, 0};
            return HandedOrNull(faces.get());
        })
        .Method(IVel5Part::Features, 2, [features](Args& args) {
            if (args.Int16(0) != -1 || args.Int16(1) != -1)
                throw Fail{E_INVALIDARG, 0};
            return HandedOrNull(features.get());
        })
        .Method(IVel5Part::ConvertPoint, 4, [this, self](Args& args) {
            const PartShape* from = ShapeOf(Object::From(args.Unknown(3)));
            if (!from)
                throw Fail{E_INVALIDARG, 3};
            args.SetDouble(0, args.Double(0) + from->origin.x - self->origin.x);
            args.SetDouble(1, args.Double(1) + from->origin.y - self->origin.y);
            args.SetDouble(2, args.Double(2) + from->origin.z - self->origin.z);
            return _variant_t();
        });
    // A part's host object answers the part interface too, with the same feature tree; its flags (-1
    // from the part's side, 0 for the document's walk) choose nothing in the stand-in.
    part.Bridge().Supports(__uuidof(IVel5Part)).Method(IVel5Part::Features, 2, [features](Args& args) {
        args.Int16(0);
        args.Int16(1);
        return HandedOrNull(features.get());
    });
    part.V7().Face<IVel7Part>().On<&IVel7Part::get_Excluded>(64, [self](VARIANT_BOOL* excluded) {
        *excluded = self->excluded ? VARIANT_TRUE : VARIANT_FALSE;
    });
    extended_.push_back(&part.V5());
    extended_.push_back(&part.V7());
    return shape;
}

void Geometry::UseDocument(Document& document)
{
    extended_.push_back(&document.V5());
    document.V5().Method(IVel5Document3D::PartByCode, 1, [this](Args& args) {
        const long code = args.Int32(0);
        Part* part = code == VelPartTop ? topPart : code == VelPartEditedInPlace ? editedPart : nullptr;
        return part ? HandedOrNull(&part->V5()) : _variant_t();
    });
    BuildMates(document);
}

void Geometry::BuildMates(Document& document)
{
    mates_ = std::make_unique<MateList>(velmar_, "mates");
    mateDocument_ = &document;
    mateDeletion_ = document.OnDeletion([this](IUnknown* object) { mates_->Remove(object); });
    extended_.push_back(&mates_->Obj());
    Object& document5 = document.V5();
    Object* collection = &mates_->Obj();
    document5.Method(IVel5Document3D::Mates, 0, [collection](Args&) { return HandedOrNull(collection); })
        .Method(IVel5Document3D::AddMate, 6, [this](Args& args) {
            MateRecord mate;
            mate.kind = static_cast<short>(args.Int32(0));
            mate.first = args.Unknown(1);
            mate.second = args.Unknown(2);
            mate.direction = args.Int16(3);
            mate.fixed = args.Int16(4);
            mate.value = args.Double(5);
            mates_->AddDirect(std::move(mate));
            return _variant_t(true);
        })
        .Method(IVel5Document3D::NewMate, 0, [this](Args&) {
            ObjectRef definition = NewObject("mateDef");
            Object* self = definition.get();
            definition->Method(IVel5Mate::SetObject, 2, [self](Args& args) {
                    const long which = args.Int32(0);
                    if (which != 1 && which != 2)
                        throw Fail{E_INVALIDARG, 0};
                    // The two mated objects are kept under the keys -1 and -2.
                    self->Value(-which) = _variant_t(static_cast<IDispatch*>(args.Object(1)));
                    return _variant_t(true);
                })
                .Method(IVel5Mate::Check, 0, [this](Args&) { return _variant_t(mateCheck); });
            MateList::ServeMate(*definition);
            return HandedOrNull(self);
        });
}

} // namespace sim
