#include "sim/construction_model.h"

#include "sim/document.h"
#include "sim/velmar.h"

#include <algorithm>
#include <cmath>

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

std::string TypeName(short type)
{
    switch (type) {
    case 5:
        return "sketch";
    case 11:
        return "axis";
    case 14:
        return "plane";
    case 25:
        return "extrusion";
    default:
        throw Fail{E_INVALIDARG, 0};
    }
}

// The definition member a new entity of the type must have been given before it can be made.
DISPID RequiredMember(short type)
{
    switch (type) {
    case 5:
        return IVel5SketchDefinition::SetPlane;
    case 11:
        return IVel5AxisDefinition11::SetFace;
    case 14:
        return IVel5OffsetPlaneDefinition::SetBase;
    default:
        return IVel5ExtrusionDefinition::Sketch;
    }
}

// The parameter structure a 2D object of a kind is read into (the application's 9 names them so).
std::string StructureOf(long kind)
{
    switch (kind) {
    case 1:
        return "struct11";
    case 2:
        return "struct20";
    case 3:
        return "struct12";
    case 5:
        return "struct16";
    default:
        return "struct22";
    }
}

double Dot(const Point3& a, const Point3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Stores a member's object argument on the definition.
Object::Handler Keep(Object& definition, DISPID member)
{
    return [&definition, member](Args& args) {
        definition.Value(member) = _variant_t(static_cast<IDispatch*>(args.Object(0)));
        return _variant_t(true);
    };
}

} // namespace

Object2D Object2D::Round(long kind, double x, double y, double radius)
{
    Object2D object;
    object.kind = kind;
    object.x1 = x;
    object.y1 = y;
    object.radius = radius;
    return object;
}

Object2D Object2D::Segment(double x1, double y1, double x2, double y2)
{
    Object2D object;
    object.kind = 1;
    object.x1 = x1;
    object.y1 = y1;
    object.x2 = x2;
    object.y2 = y2;
    return object;
}

Object* MadeEntity::Given(DISPID member) const
{
    if (!definition->Has(member))
        return nullptr;
    const _variant_t& value = definition->Value(member);
    return V_VT(&value) == VT_DISPATCH ? Object::From(V_DISPATCH(&value)) : nullptr;
}

Construction::Construction(Velmar& velmar, Document& document, Part& part) : velmar_(velmar), document_(document), part_(part)
{
    measurer_ = NewObject("measurer");
    measurer_->Supports(__uuidof(IVel5Measurer))
        .Property(IVel5Measurer::First)
        .Property(IVel5Measurer::Second)
        .Property(IVel5Measurer::Calculate, true)
        .Property(IVel5Measurer::HasAngle, true)
        .Property(IVel5Measurer::Angle, 0.0)
        .Property(IVel5Measurer::Distance, 0.0);
    part.V5()
        .Method(IVel5Part::NewEntity, 1, [this](Args& args) { return NewEntity(args.Int16(0)); })
        .Method(IVel5Part::Measurer, 0, [this](Args&) { return HandedOrNull(measurer_.get()); });
    part.Frames().Face<IVel7Frames>()
        .On<&IVel7Frames::Add>(7, [this](IDispatch** frame) {
            const _variant_t made = NewFrame();
            (*frame = V_DISPATCH(&made))->AddRef();
        })
        .On<&IVel7Frames::MakeCurrent>(17, [this](IDispatch* frame, IDispatch** previous) {
            MadeFrame* next = FrameOf(frame);
            if (frame && (!next || next->deleted))
                throw Fail{E_INVALIDARG};
            GiveOut(current_ ? current_->v7.get() : nullptr, previous);
            current_ = next;
        });
    part.V7().Face<IVel7PartFeatures>().On<&IVel7PartFeatures::AddAuxLine>(8, [this](IDispatch** line) {
        const _variant_t made = NewLine();
        (*line = V_DISPATCH(&made))->AddRef();
    });
    velmar.App5()
        .Method(IVel5Application::NewIterator, 0, [this](Args&) { return NewIterator(); })
        .Method(IVel5Application::DistanceInSketch, 3, [this](Args& args) {
            return _variant_t(DistanceInSketch(args.Double(0), args.Double(1), args.Int32(2)));
        })
        .Method(IVel5Application::RefreshView, 0, [this](Args&) {
            ++viewRefreshes_;
            return _variant_t(0L);
        });
    document.V5().Method(IVel5Document3D::NewCollection, 1, [this](Args& args) { return NewPointCollection(args.Int16(0)); });
    deletion_ = document.OnDeletion([this](IUnknown* object) { Deleted(object); });
    extended_ = {&part.V5(), &part.V7(), &part.Frames(), &velmar.App5(), &document.V5()};
}

Construction::~Construction()
{
    document_.ForgetDeletion(deletion_);
    // The handlers point into this model: nothing may reach them once it is gone.
    for (auto& object : objects_)
        object->Detach();
    for (Object* object : extended_)
        object->Detach();
}

ObjectRef Construction::NewObject(const std::string& name)
{
    objects_.push_back(velmar_.NewObject(name));
    return objects_.back();
}

ObjectRef Construction::Collection(const std::string& name, std::function<std::vector<Object*>()> items)
{
    ObjectRef collection = NewObject(name);
    auto cursor = std::make_shared<size_t>(0);
    auto at = [items, cursor]() {
        const std::vector<Object*> all = items();
        return HandedOrNull(*cursor < all.size() ? all[*cursor] : nullptr);
    };
    collection->Method(IVel5ObjectCollection::Count, 0, [items](Args&) { return _variant_t(static_cast<long>(items().size())); })
        .Method(IVel5ObjectCollection::First, 0, [cursor, at](Args&) {
            *cursor = 0;
            return at();
        })
        .Method(IVel5ObjectCollection::Next, 0, [cursor, at](Args&) {
            ++*cursor;
            return at();
        });
    return collection;
}

_variant_t Construction::NewEntity(short type)
{
    MadeEntity& e = entities_.emplace_back();
    e.type = type;
    e.name = TypeName(type) + std::to_string(++counts_[type]);
    e.v5 = NewObject(e.name);
    e.v7 = NewObject(e.name + "v7");
    e.definition = NewObject(e.name + "Def");
    MadeEntity* self = &e;
    e.v5->Supports(__uuidof(IVel5Entity))
        .Property(IVel5Entity::Setting1, false)
        .Returns(IVel5Entity::Type, _variant_t(type))
        .Returns(IVel5Entity::Definition, HandedOrNull(e.definition.get()))
        .Returns(IVel5Entity::Part, HandedOrNull(&part_.V5()))
        .Returns(IVel5Entity::Owner, HandedOrNull(&part_.Bridge()))
        .Method(IVel5Entity::Create, 0, [this, self](Args&) {
            if (self->created || !self->Given(RequiredMember(self->type)))
                throw Fail{E_UNEXPECTED};
            self->created = true;
            velmar_.Undo().Record([self] { self->created = false; });
            return _variant_t(true);
        })
        .Method(IVel5Entity::Update, 0, [self](Args&) {
            ++self->updates;
            return _variant_t(true);
        })
        .Method(IVel5Entity::SubObjects, 1, [this, self](Args& args) {
            const short kind = args.Int16(0);
            return HandedOrNull(Collection(self->name + "Sub" + std::to_string(kind), [self, kind]() {
                std::vector<Object*> points;
                for (const Object2D& object : self->objects)
                    if (kind == 8 && object.kind == 5)
                        points.push_back(object.entity.get());
                return points;
            }).get());
        });
    e.v7->Face<IVel7ModelObject>();
    velmar_.Twin(*e.v5, *e.v7);
    BuildDefinition(e);
    return HandedOrNull(e.v5.get());
}

void Construction::BuildDefinition(MadeEntity& e)
{
    Object& definition = *e.definition;
    MadeEntity* self = &e;
    switch (e.type) {
    case 5:
        definition.Supports(__uuidof(IVel5SketchDefinition))
            .Method(IVel5SketchDefinition::SetPlane, 1, Keep(definition, IVel5SketchDefinition::SetPlane))
            .Method(IVel5SketchDefinition::Plane, 0, [&definition](Args&) { return definition.Value(IVel5SketchDefinition::SetPlane); })
            .Method(IVel5SketchDefinition::BeginEdit, 0, [this, self](Args&) {
                if (!self->created)
                    throw Fail{E_UNEXPECTED};
                editing_ = self;
                ++openEdits_;
                return HandedOrNull(self->editor.get());
            })
            .Method(IVel5SketchDefinition::EndEdit, 0, [this, self](Args&) {
                if (editing_ != self)
                    throw Fail{E_UNEXPECTED};
                editing_ = nullptr;
                --openEdits_;
                return _variant_t(true);
            });
        BuildEditor(e);
        break;
    case 11:
        definition.Supports(__uuidof(IVel5AxisDefinition11))
            .Method(IVel5AxisDefinition11::SetFace, 1, Keep(definition, IVel5AxisDefinition11::SetFace));
        break;
    case 14:
        definition.Supports(__uuidof(IVel5OffsetPlaneDefinition))
            .Property(IVel5OffsetPlaneDefinition::Offset, 0.0)
            .Property(IVel5OffsetPlaneDefinition::Reversed, false)
            .Method(IVel5OffsetPlaneDefinition::SetBase, 1, Keep(definition, IVel5OffsetPlaneDefinition::SetBase));
        break;
    default:
        definition.Method(IVel5ExtrusionDefinition::Sketch, 1, Keep(definition, IVel5ExtrusionDefinition::Sketch));
        for (DISPID member : {IVel5ExtrusionDefinition::Direction, IVel5ExtrusionDefinition::Depth, IVel5ExtrusionDefinition::ThinWall})
            definition.Method(member, 1, [&definition, member](Args& args) {
                definition.Value(member) = args.At(0);
                return _variant_t(true);
            });
        break;
    }
}

void Construction::BuildEditor(MadeEntity& sketch)
{
    sketch.editor = NewObject(sketch.name + "Edit");
    sketch.group = 7000 + counts_[5];
    MadeEntity* self = &sketch;
    auto find = [self](long reference) {
        auto found = std::find_if(self->objects.begin(), self->objects.end(),
                                  [reference](const Object2D& object) { return object.reference == reference; });
        return found == self->objects.end() ? nullptr : &*found;
    };
    auto add = [this, self](Object2D object) {
        object.reference = ++nextReference_;
        if (object.kind == 5)
            object.entity = NewObject(self->name + "Point" + std::to_string(object.reference));
        self->objects.push_back(object);
        return _variant_t(object.reference);
    };
    sketch.editor->Supports(__uuidof(IVel5Document2D))
        .Method(IVel5Document2D::EditedGroup, 0, [self](Args&) { return _variant_t(self->group); })
        .Method(IVel5Document2D::NewPoint, 3, [add](Args& args) {
            Object2D point = Object2D::Point(args.Double(0), args.Double(1));
            point.style = args.Int32(2);
            return add(point);
        })
        .Method(IVel5Document2D::NewCircle, 4, [add](Args& args) {
            Object2D circle = Object2D::Round(3, args.Double(0), args.Double(1), args.Double(2));
            circle.style = args.Int32(3);
            return add(circle);
        })
        .Method(IVel5Document2D::ReadParams, 3, [find](Args& args) {
            const Object2D* object = find(args.Int32(0));
            Object* parameters = Object::From(args.Unknown(1));
            if (args.Int32(2) != -1 || !parameters)
                throw Fail{E_INVALIDARG};
            if (!object)
                return _variant_t(0L);
            if (parameters->Name() == StructureOf(object->kind)) {
                parameters->Value(1) = object->x1;
                parameters->Value(2) = object->y1;
                parameters->Value(3) = object->kind == 1 ? object->x2 : object->radius;
                parameters->Value(4) = object->y2;
            }
            return _variant_t(object->kind);
        })
        .Method(IVel5Document2D::WriteParams, 3, [this, find](Args& args) {
            Object2D* object = find(args.Int32(0));
            Object* parameters = Object::From(args.Unknown(1));
            if (!object || !parameters || parameters->Name() != StructureOf(object->kind))
                throw Fail{E_INVALIDARG};
            velmar_.Undo().Record([find, reference = object->reference, x = object->x1, y = object->y1] {
                if (Object2D* written = find(reference)) {
                    written->x1 = x;
                    written->y1 = y;
                }
            });
            object->x1 = parameters->Double(1);
            object->y1 = parameters->Double(2);
            return _variant_t(true);
        })
        .Method(IVel5Document2D::Project, 1, [this, add](Args& args) {
            auto known = projections_.find(Object::From(args.Unknown(0)));
            return known == projections_.end() ? _variant_t(0L) : add(known->second);
        })
        .Method(IVel5Document2D::RemoveObject, 1, [self](Args& args) {
            const long reference = args.Int32(0);
            std::erase_if(self->objects, [reference](const Object2D& object) { return object.reference == reference; });
            return _variant_t(true);
        });
}

_variant_t Construction::NewFrame()
{
    MadeFrame& f = frames_.emplace_back();
    const std::string name = "frame" + std::to_string(frames_.size());
    f.v7 = NewObject(name);
    f.v5 = NewObject(name + "v5");
    MadeFrame* self = &f;
    f.v7->Face<IVel7Frame>()
        .Set<&IVel7Frame::put_Setting7>(7)
        .Set<&IVel7Frame::put_Setting8>(8)
        .Set<&IVel7Frame::put_Setting9>(9)
        .Set<&IVel7Frame::put_Setting10>(10);
    f.v7->Face<IVel7FrameSource>().On<&IVel7FrameSource::AddSource>(7, [self](IDispatch* object) {
        self->sources.push_back(Object::From(object));
    });
    f.v7->Face<IVel7FrameBase>().On<&IVel7FrameBase::SetBase>(7, [this, self](long kind, IDispatch* object, VARIANT_BOOL* accepted) {
        Object* base = Object::From(object);
        const bool refused = kind == 72 && std::find(refused_.begin(), refused_.end(), base) != refused_.end();
        if (!refused)
            self->bases[kind] = base;
        *accepted = refused ? VARIANT_FALSE : VARIANT_TRUE;
    });
    f.v7->Face<IVel7ModelObject>().On<&IVel7ModelObject::Update>(15, [self](VARIANT_BOOL* done) {
        ++self->updates;
        *done = VARIANT_TRUE;
    });
    f.v5->Supports(__uuidof(IVel5Entity));
    velmar_.Twin(*f.v5, *f.v7);
    return HandedOrNull(f.v7.get());
}

_variant_t Construction::NewLine()
{
    if (!document_.V7().Bool(52) || !current_)
        throw Fail{E_UNEXPECTED};
    MadeLine& l = lines_.emplace_back();
    const std::string name = "line" + std::to_string(lines_.size());
    l.frame = current_;
    l.v7 = NewObject(name);
    l.v5 = NewObject(name + "v5");
    l.feature = NewObject(name + "Feature");
    l.edge = NewObject(name + "Edge");
    l.start = NewObject(name + "Start");
    l.end = NewObject(name + "End");
    MadeLine* self = &l;
    l.v7->Face<IVel7AuxLineMode>()
        .On<&IVel7AuxLineMode::put_Mode>(7, [self](long mode) { self->mode = mode; })
        .On<&IVel7AuxLineMode::SetPoint>(8, [self](long index, double x, double y, double z) {
            if (index != 1 && index != 2)
                throw Fail{E_INVALIDARG};
            (index == 1 ? self->first : self->second) = Point3{x, y, z};
        })
        .On<&IVel7AuxLineMode::GetPoint>(9, [self](long index, double* x, double* y, double* z) {
            if (index != 1 && index != 2)
                throw Fail{E_INVALIDARG};
            const Point3& p = index == 1 ? self->first : self->second;
            *x = p.x;
            *y = p.y;
            *z = p.z;
        })
        .On<&IVel7AuxLineMode::SetState>(10, [self](long state) { self->states.push_back(state); });
    l.v7->Face<IVel7ModelObject>().On<&IVel7ModelObject::Update>(15, [self](VARIANT_BOOL* done) {
        ++self->updates;
        *done = VARIANT_TRUE;
    });
    l.v7->Returns(IVel7Dispatch::BridgeEx, HandedOrNull(l.feature.get()));
    l.feature->Supports(__uuidof(IVel5Object))
        .Returns(IVel5Object::Object5, HandedOrNull(l.feature.get()))
        .Returns(IVel5Object::Type, _variant_t(static_cast<short>(VelTypeEntity)))
        .Returns(IVel5Object::Target, HandedOrNull(l.v5.get()));
    l.v5->Supports(__uuidof(IVel5Entity)).Method(IVel5Entity::SubObjects, 1, [this, self, name](Args& args) {
        const short kind = args.Int16(0);
        return HandedOrNull(Collection(name + "Sub" + std::to_string(kind), [self, kind]() {
            if (kind == 7)
                return std::vector<Object*>{self->edge.get()};
            return kind == 8 ? std::vector<Object*>{self->start.get(), self->end.get()} : std::vector<Object*>{};
        }).get());
    });
    velmar_.Twin(*l.v5, *l.v7);
    return HandedOrNull(l.v7.get());
}

_variant_t Construction::NewIterator()
{
    ObjectRef iterator = NewObject("iterator");
    auto found = std::make_shared<std::vector<long>>();
    auto cursor = std::make_shared<size_t>(0);
    auto open = std::make_shared<bool>(false);
    iterator->Supports(__uuidof(IVel5Iterator))
        .Method(IVel5Iterator::Init, 2, [this, found, open](Args& args) {
            const long kind = args.Int32(0);
            if (args.Int32(1) != 0 || !editing_)
                return _variant_t(false);
            for (const Object2D& object : editing_->objects)
                if (object.kind == kind)
                    found->push_back(object.reference);
            *open = true;
            ++openIterators_;
            return _variant_t(true);
        })
        .Method(IVel5Iterator::Step, 1, [found, cursor](Args& args) {
            const std::wstring step = args.Text(0);
            if (step != L"F" && step != L"N")
                throw Fail{E_INVALIDARG, 0};
            *cursor = step == L"F" ? 0 : *cursor + 1;
            return _variant_t(*cursor < found->size() ? (*found)[*cursor] : 0L);
        })
        .Method(IVel5Iterator::Close, 0, [this, open](Args&) {
            if (*open)
                --openIterators_;
            *open = false;
            return _variant_t(0L);
        });
    return HandedOrNull(iterator.get());
}

_variant_t Construction::NewPointCollection(short code)
{
    if (code != 156)
        throw Fail{E_INVALIDARG, 0};
    ObjectRef collection = NewObject("points");
    auto points = std::make_shared<std::vector<Point3>>();
    pointCollections_[collection.get()] = points;
    collection->Method(IVel5PointCollection::Count, 0, [points](Args&) { return _variant_t(static_cast<long>(points->size())); })
        .Method(IVel5PointCollection::Point, 4, [points](Args& args) {
            const long index = args.Int32(0);
            if (index < 0 || index >= static_cast<long>(points->size()))
                throw Fail{E_INVALIDARG, 0};
            const Point3& p = (*points)[static_cast<size_t>(index)];
            args.SetDouble(1, p.x);
            args.SetDouble(2, p.y);
            args.SetDouble(3, p.z);
            return _variant_t(true);
        });
    return HandedOrNull(collection.get());
}

void Construction::Projects(Object& object, const Object2D& projection)
{
    projections_[&object] = projection;
}

std::optional<Object2D> Construction::ProjectionOf(Object& object) const
{
    const auto found = projections_.find(&object);
    if (found == projections_.end())
        return std::nullopt;
    return found->second;
}

MadeEntity& Construction::AddSketch(Object& plane, std::vector<Object2D> objects)
{
    NewEntity(5);
    MadeEntity& sketch = entities_.back();
    sketch.definition->Value(IVel5SketchDefinition::SetPlane) = _variant_t(plane.Primary());
    sketch.created = true;
    for (Object2D& object : objects) {
        object.reference = ++nextReference_;
        if (object.kind == 5)
            object.entity = NewObject(sketch.name + "Point" + std::to_string(object.reference));
        if (object.v7)
            velmar_.AddSketchObject(sketch.group, object.reference, *object.v7);
        sketch.objects.push_back(object);
    }
    MadeEntity* self = &sketch;
    velmar_.Undo().Record([self] { self->created = false; });
    return sketch;
}

double Construction::DistanceInSketch(double x, double y, long reference) const
{
    if (!editing_)
        throw Fail{E_UNEXPECTED};
    for (const Object2D& object : editing_->objects) {
        if (object.reference != reference)
            continue;
        if (object.kind != 1)
            return std::hypot(x - object.x1, y - object.y1);
        // A segment: the distance from its line.
        const double dx = object.x2 - object.x1;
        const double dy = object.y2 - object.y1;
        const double length = std::hypot(dx, dy);
        return length == 0 ? std::hypot(x - object.x1, y - object.y1) : std::fabs(dy * (x - object.x1) - dx * (y - object.y1)) / length;
    }
    throw Fail{E_INVALIDARG, 2};
}

void Construction::SetPlaneBasis(GeoEntity& plane, Point3 u, Point3 v)
{
    plane.V5().Supports(__uuidof(IVel5Placement)).Method(IVel5Placement::ToPlane, 5, [u, v](Args& args) {
        const Point3 d{args.Double(0), args.Double(1), args.Double(2)};
        args.SetDouble(3, Dot(d, u));
        args.SetDouble(4, Dot(d, v));
        return _variant_t(true);
    });
    extended_.push_back(&plane.V5());
}

void Construction::SetIntersections(GeoEntity& surface, std::vector<Point3> points)
{
    surface.surface->Supports(__uuidof(IVel5Surface)).Method(IVel5Surface::Intersect, 2, [this, points](Args& args) {
        auto collection = pointCollections_.find(Object::From(args.Unknown(1)));
        if (!args.Object(0) || collection == pointCollections_.end())
            throw Fail{E_INVALIDARG};
        *collection->second = points;
        return _variant_t(!points.empty());
    });
    extended_.push_back(surface.surface);
}

void Construction::Deleted(IUnknown* object)
{
    Object* gone = Object::From(object);
    auto remove = [this](bool& deleted) {
        if (deleted)
            return;
        deleted = true;
        velmar_.Undo().Record([&deleted] { deleted = false; });
    };
    for (MadeEntity& entity : entities_)
        if (entity.v5.get() == gone)
            remove(entity.deleted);
    for (MadeFrame& frame : frames_) {
        if (frame.v5.get() != gone)
            continue;
        remove(frame.deleted);
        for (MadeLine& line : lines_)
            if (line.frame == &frame)
                remove(line.deleted);
        if (current_ == &frame)
            current_ = nullptr;
    }
    for (MadeLine& line : lines_)
        if (line.v5.get() == gone)
            remove(line.deleted);
}

std::vector<MadeEntity*> Construction::Live(short type)
{
    std::vector<MadeEntity*> live;
    for (MadeEntity& entity : entities_)
        if (entity.type == type && entity.Alive())
            live.push_back(&entity);
    return live;
}

MadeEntity* Construction::EntityOf(IUnknown* object)
{
    Object* wanted = Object::From(object);
    for (MadeEntity& entity : entities_)
        if (entity.v5.get() == wanted || entity.v7.get() == wanted)
            return &entity;
    return nullptr;
}

std::vector<MadeFrame*> Construction::LiveFrames()
{
    std::vector<MadeFrame*> live;
    for (MadeFrame& frame : frames_)
        if (!frame.deleted)
            live.push_back(&frame);
    return live;
}

MadeFrame* Construction::FrameOf(IUnknown* object)
{
    Object* wanted = Object::From(object);
    for (MadeFrame& frame : frames_)
        if (wanted && (frame.v7.get() == wanted || frame.v5.get() == wanted))
            return &frame;
    return nullptr;
}

std::vector<MadeLine*> Construction::LiveLines()
{
    std::vector<MadeLine*> live;
    for (MadeLine& line : lines_)
        if (!line.deleted)
            live.push_back(&line);
    return live;
}

MadeLine* Construction::LineOf(IUnknown* object)
{
    Object* wanted = Object::From(object);
    for (MadeLine& line : lines_)
        if (wanted && (line.v7.get() == wanted || line.v5.get() == wanted))
            return &line;
    return nullptr;
}

void Construction::ForgetLeftovers()
{
    for (MadeEntity& entity : entities_)
        entity.deleted = true;
    for (MadeFrame& frame : frames_)
        frame.deleted = true;
    for (MadeLine& line : lines_)
        line.deleted = true;
    current_ = nullptr;
    editing_ = nullptr;
    openEdits_ = 0;
    openIterators_ = 0;
}

size_t Construction::LiveCount()
{
    size_t count = LiveFrames().size() + LiveLines().size();
    for (MadeEntity& entity : entities_)
        count += entity.Alive() ? 1 : 0;
    return count;
}

} // namespace sim
