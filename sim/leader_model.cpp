#include "sim/leader_model.h"

#include "hostapi/velmar.h"
#include "sim/document.h"
#include "sim/shown_text.h"
#include "sim/velmar.h"

#include <algorithm>

namespace sim {

namespace {

// Stored values of a leader: a pair under its getter's position in a range of its interface.
constexpr int kCommon = 1000;
constexpr int kModel = 2000;
constexpr int kA741 = 3000;
constexpr int kA822 = 4000;
constexpr int kEEF8 = 5000;
constexpr int k8A5D = 6000;
constexpr int kPointX = 1124;
// An anchor's stored values: its point (1, 2, 3) and the object it is on.
constexpr int kAnchored = -17;

void GiveOut(Object* object, IDispatch** out)
{
    *out = object ? object->Primary() : nullptr;
    if (*out)
        (*out)->AddRef();
}

template <auto Get, auto Set, class I>
void ServePair(Leader& leader, FaceOf<I> face, int getAt, int setAt, int key)
{
    face.template Get<Get>(getAt, key);
    face.template Set<Set>(setAt, key);
    leader.pairs.push_back(key);
}

} // namespace

Leaders::Leaders(Velmar& velmar, Document& document) : velmar_(velmar), document_(document)
{
    collection_ = velmar.NewObject("leaders");
    objects_.push_back(collection_);
    collection_->Face<IVel7Leaders>()
        .On<&IVel7Leaders::get_Count>(12, [this](long* count) { *count = static_cast<long>(Live().size()); })
        .On<&IVel7Leaders::get_Item>(13, [this](long index, IDispatch** leader) {
            const std::vector<Leader*> live = Live();
            if (index < 0 || static_cast<size_t>(index) >= live.size())
                throw Fail{E_INVALIDARG};
            GiveOut(live[static_cast<size_t>(index)]->object.get(), leader);
        })
        .On<&IVel7Leaders::Add>(15, [this](long code, IDispatch** leader) {
            if (code != 86 && code != 87 && code != 89 && code != 90)
                throw Fail{E_INVALIDARG};
            GiveOut(Add(code).object.get(), leader);
        });
    Object* collection = collection_.get();
    document.V7().Face<IVel7Document3D>().On<&IVel7Document3D::get_Leaders>(75, [collection](IDispatch** leaders) {
        GiveOut(collection, leaders);
    });
    velmar.leaderMaker = [this](Part& part) -> Object* {
        Leader& leader = Add(89);
        Anchor(leader, part.V7().Primary(), {0, 0, 0});
        leader.object->Value(kCommon + 20) = 1L;
        leader.object->Value(kPointX) = 10.0;
        leader.object->Value(kPointX + 1) = 10.0;
        leader.object->Value(kPointX + 2) = 0.0;
        return leader.object.get();
    };
}

Leaders::~Leaders()
{
    velmar_.leaderMaker = nullptr;
    for (Leader& leader : leaders_) {
        for (ObjectRef& anchor : leader.anchors)
            anchor->Detach();
        for (auto& [key, text] : leader.texts)
            text->Detach();
        leader.object->Detach();
        leader.parameters->Detach();
    }
    for (ObjectRef& object : objects_)
        object->Detach();
}

Leader& Leaders::Add(long code)
{
    Leader& leader = leaders_.emplace_back();
    leader.code = code;
    leader.name = "leader" + std::to_string(leaders_.size());
    leader.object = velmar_.NewObject(leader.name);
    leader.parameters = velmar_.NewObject(leader.name + "Param");
    Leader* self = &leader;
    Object& object = *leader.object;

    auto common = object.Face<IVel7Leader>();
    ServePair<&IVel7Leader::get_PlaneCode, &IVel7Leader::put_PlaneCode>(leader, common, 20, 21, kCommon + 20);
    ServePair<&IVel7Leader::get_Property22, &IVel7Leader::put_Property23>(leader, common, 22, 23, kCommon + 22);
    ServePair<&IVel7Leader::get_Property26, &IVel7Leader::put_Property27>(leader, common, 26, 27, kCommon + 26);
    common.On<&IVel7Leader::GetPoint>(24, [self](double* x, double* y, double* z) {
            *x = self->object->Double(kPointX);
            *y = self->object->Double(kPointX + 1);
            *z = self->object->Double(kPointX + 2);
        })
        .On<&IVel7Leader::SetPoint>(25, [self](double x, double y, double z) {
            self->object->Store(kPointX, x);
            self->object->Store(kPointX + 1, y);
            self->object->Store(kPointX + 2, z);
        });

    auto anchorAt = [self](long index) -> Object& {
        if (index < 0 || static_cast<size_t>(index) >= self->anchors.size())
            throw Fail{E_INVALIDARG};
        return *self->anchors[static_cast<size_t>(index)];
    };
    object.Face<IVel7LeaderAnchors>()
        .On<&IVel7LeaderAnchors::get_Count>(7, [self](long* count) { *count = static_cast<long>(self->anchors.size()); })
        .On<&IVel7LeaderAnchors::GetPoint>(10, [anchorAt](long index, double* x, double* y, double* z, VARIANT_BOOL* done) {
            Object& anchor = anchorAt(index);
            *x = anchor.Double(1);
            *y = anchor.Double(2);
            *z = anchor.Double(3);
            *done = VARIANT_TRUE;
        })
        .On<&IVel7LeaderAnchors::MovePoint>(11, [anchorAt](long index, double x, double y, double z, VARIANT_BOOL* done) {
            Object& anchor = anchorAt(index);
            anchor.Store(1, x);
            anchor.Store(2, y);
            anchor.Store(3, z);
            *done = VARIANT_TRUE;
        })
        .On<&IVel7LeaderAnchors::Add>(16, [this, self](double x, double y, double z, IDispatch* face, VARIANT_BOOL* done) {
            if (!face)
                throw Fail{E_INVALIDARG};
            Anchor(*self, face, {x, y, z});
            *done = VARIANT_TRUE;
        })
        .On<&IVel7LeaderAnchors::get_Item>(18, [anchorAt](long index, IDispatch** anchor) { GiveOut(&anchorAt(index), anchor); });

    auto model = object.Face<IVel7ModelObject>();
    ServePair<&IVel7ModelObject::get_Property14, &IVel7ModelObject::put_Property13>(leader, model, 14, 13, kModel + 14);
    Object* parameters = leader.parameters.get();
    model.On<&IVel7ModelObject::Update>(15, [self](VARIANT_BOOL* done) {
             ++self->updates;
             *done = VARIANT_TRUE;
         })
        .On<&IVel7ModelObject::get_Parameters>(19, [parameters](IDispatch** out) { GiveOut(parameters, out); });
    parameters->Face<IVel7ModelObjectParam>().On<&IVel7ModelObjectParam::Remove>(15, [this, self](VARIANT_BOOL* done) {
        *done = VARIANT_TRUE;
        if (sourcesStay || self->removed)
            return;
        self->removed = true;
        velmar_.Undo().Record([self] { self->removed = false; });
    });
    ServeKind(leader, code);
    velmar_.Undo().Record([self] { self->removed = true; });
    return leader;
}

ObjectRef Leaders::Text(Leader& leader, int key)
{
    ObjectRef& text = leader.texts[key];
    if (!text) {
        text = velmar_.NewObject(leader.name + "Text" + std::to_string(key));
        text->Face<IVel7LeaderText>().Get<&IVel7LeaderText::get_Text>(18).Set<&IVel7LeaderText::put_Text>(19, 18);
    }
    return text;
}

void Leaders::ServeKind(Leader& leader, long code)
{
    Object& object = *leader.object;
    auto text = [this, &leader](int key) {
        Object* made = Text(leader, key).get();
        return [made](IDispatch** out) { GiveOut(made, out); };
    };
    switch (code) {
    case 86: {
        using I = IVel7LeaderA741;
        auto face = object.Face<I>();
        ServePair<&I::get_Property7, &I::put_Property8>(leader, face, 7, 8, kA741 + 7);
        ServePair<&I::get_Property9, &I::put_Property10>(leader, face, 9, 10, kA741 + 9);
        ServePair<&I::get_Property11, &I::put_Property12>(leader, face, 11, 12, kA741 + 11);
        ServePair<&I::get_Property20, &I::put_Property21>(leader, face, 20, 21, kA741 + 20);
        face.On<&I::get_Text13>(13, text(kA741 + 13))
            .On<&I::get_Text14>(14, text(kA741 + 14))
            .On<&I::get_Text15>(15, text(kA741 + 15))
            .On<&I::get_Text16>(16, text(kA741 + 16))
            .On<&I::get_Text17>(17, text(kA741 + 17));
        break;
    }
    case 89: {
        using I = IVel7LeaderA822;
        auto face = object.Face<I>();
        ServePair<&I::get_Property7, &I::put_Property8>(leader, face, 7, 8, kA822 + 7);
        ServePair<&I::get_Property11, &I::put_Property12>(leader, face, 11, 12, kA822 + 11);
        ServePair<&I::get_Property13, &I::put_Property14>(leader, face, 13, 14, kA822 + 13);
        ServePair<&I::get_Property17, &I::put_Property18>(leader, face, 17, 18, kA822 + 17);
        face.On<&I::get_Text15>(15, text(kA822 + 15)).On<&I::get_Text16>(16, text(kA822 + 16));
        break;
    }
    case 90: {
        using I = IVel7LeaderEEF8;
        auto face = object.Face<I>();
        ServePair<&I::get_Property10, &I::put_Property11>(leader, face, 10, 11, kEEF8 + 10);
        face.On<&I::get_Text7>(7, text(kEEF8 + 7)).On<&I::get_Text8>(8, text(kEEF8 + 8)).On<&I::get_Text9>(9, text(kEEF8 + 9));
        break;
    }
    case 87: {
        using I = IVel7Leader8A5D;
        object.Face<I>()
            .On<&I::get_Text7>(7, text(k8A5D + 7))
            .On<&I::get_Text8>(8, text(k8A5D + 8))
            .On<&I::get_Text9>(9, text(k8A5D + 9));
        break;
    }
    default:
        throw std::invalid_argument("no leader kind " + std::to_string(code));
    }
}

void Leaders::AddKind(Leader& leader, long code)
{
    ServeKind(leader, code);
}

void Leaders::Anchor(Leader& leader, IDispatch* anchored, const Point3& point)
{
    ObjectRef anchor = velmar_.NewObject(leader.name + "Anchor" + std::to_string(leader.anchors.size() + 1));
    anchor->Value(kAnchored) = _variant_t(anchored);
    anchor->Value(1) = point.x;
    anchor->Value(2) = point.y;
    anchor->Value(3) = point.z;
    Object* self = anchor.get();
    anchor->Face<IVel7ModelObject>().On<&IVel7ModelObject::get_AnchoredObject>(17, [self](IDispatch** out) {
        const _variant_t& anchoredObject = self->Value(kAnchored);
        GiveOut(Object::From(V_DISPATCH(&anchoredObject)), out);
    });
    leader.anchors.push_back(anchor);
    velmar_.Undo().Record([target = &leader] { target->anchors.pop_back(); });
}

void Leaders::Fill(Leader& leader, const std::string& seed)
{
    for (int key : leader.pairs)
        if (key != kCommon + 20)
            leader.object->Value(key) = (seed + "-" + std::to_string(key)).c_str();
    for (auto& [key, text] : leader.texts)
        text->Value(18) = (seed + " text " + std::to_string(key)).c_str();
}

std::vector<std::string> Leaders::Values(const Leader& leader) const
{
    std::vector<std::string> values;
    for (int key = kCommon; key < k8A5D + 100; ++key)
        if (key != kPointX && key != kPointX + 1 && key != kPointX + 2 && leader.object->Has(key))
            values.push_back(std::to_string(key) + "=" + RenderVariant(leader.object->Value(key)));
    for (const auto& [key, text] : leader.texts)
        values.push_back("text " + std::to_string(key) + "=" + RenderVariant(text->Value(18)));
    return values;
}

Object* Leaders::AnchoredTo(const Leader& leader, size_t anchor)
{
    const _variant_t& anchored = leader.anchors.at(anchor)->Value(kAnchored);
    return V_VT(&anchored) == VT_DISPATCH ? Object::From(V_DISPATCH(&anchored)) : nullptr;
}

std::vector<Leader*> Leaders::Live()
{
    std::vector<Leader*> live;
    for (Leader& leader : leaders_)
        if (!leader.removed)
            live.push_back(&leader);
    return live;
}

Leader* Leaders::Find(IUnknown* object)
{
    const Object* wanted = Object::From(object);
    for (Leader& leader : leaders_)
        if (leader.object.get() == wanted)
            return &leader;
    return nullptr;
}

std::string Leaders::Describe(const Leader& leader) const
{
    std::string line = "leader " + leader.name + ", kind " + std::to_string(leader.code) + ", on";
    for (size_t i = 0; i < leader.anchors.size(); ++i) {
        const Object* object = AnchoredTo(leader, i);
        line += " " + (object ? object->Name() : std::string("?"));
    }
    for (const auto& [key, text] : leader.texts)
        if (text->Has(18) && V_VT(&text->Value(18)) != VT_EMPTY)
            line += ", text " + ShownValue(text->Value(18));
    return line;
}

} // namespace sim
