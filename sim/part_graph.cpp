#include "sim/part_graph.h"

#include "hostapi/velmar.h"
#include "sim/velmar.h"

namespace sim {

namespace {

_variant_t Handed(Object& object)
{
    return _variant_t(object.Primary());
}

} // namespace

Part::Part(Velmar& velmar, const std::string& name)
{
    v5_ = velmar.NewObject(name + "5");
    v7_ = velmar.NewObject(name + "7");
    bridge_ = velmar.NewObject(name + "Bridge");
    feature_ = velmar.NewObject(name + "Feature");
    color_ = velmar.NewObject(name + "Color");

    Object& bridge = *bridge_;
    v5_->Supports(__uuidof(IVel5Part))
        .Property(IVel5Part::PhantomLook, 7L)
        .Returns(IVel5Part::ColorParam, Handed(*color_))
        .Returns(IVel5Part::Update, true)
        .Returns(IVel5Part::HostObject, Handed(bridge))
        .Returns(IVel5Part::Rebuild, true)
        .Property(IVel5Part::RebuildFlag, false)
        .Property(IVel5Part::ComponentName, std::wstring(name.begin(), name.end()).c_str())
        .Method(IVel5Part::Name, 0, [this](Args&) { return v5_->Value(IVel5Part::ComponentName); })
        .Method(IVel5Part::SetPlacement, 1, [this](Args& args) {
            v5_->Value(kPlacement) = _variant_t(static_cast<IDispatch*>(args.Object(0)));
            return _variant_t(true);
        })
        .Method(IVel5Part::ApplyPlacement, 0, [this](Args&) {
            v5_->Value(IVel5Part::ApplyPlacement) = _variant_t(v5_->Long(IVel5Part::ApplyPlacement) + 1);
            return _variant_t(true);
        })
        .Property(IVel5Part::EditedInPlace, false)
        .Method(IVel5Part::EndEditInPlace, 1, [this](Args& args) {
            args.Bool(0);
            v5_->Value(IVel5Part::EditedInPlace) = false;
            return _variant_t(true);
        })
        .Method(IVel5Part::NewLeader, 2, [this, &velmar](Args& args) {
            if (args.Int32(0) != 89)
                throw Fail{E_INVALIDARG, 0};
            args.Int32(1);
            if (velmar.leaderMaker)
                return _variant_t(velmar.leaderMaker(*this)->Primary());
            ObjectRef leader = velmar.NewObject(v5_->Name().substr(0, v5_->Name().size() - 1) + "Leader");
            leader->Face<IVel7LeaderA822>();
            leaders_.push_back(leader);
            return _variant_t(leader->Primary());
        });
    color_->Supports(__uuidof(IVel5ColorParam)).Property(IVel5ColorParam::PhantomShade, 1.0);
    placement_ = velmar.NewObject(name + "Placement");
    placement_->Supports(__uuidof(IVel5Placement));
    v5_->Method(IVel5Part::Placement, 0, [this](Args&) {
           const _variant_t& given = v5_->Value(kPlacement);
           return V_VT(&given) == VT_DISPATCH ? given : Handed(*placement_);
       })
        .Method(IVel5Part::GetColour, 7, [this](Args& args) {
            if (!v5_->Has(kColour))
                return _variant_t(false);
            args.SetInt32(0, v5_->Long(kColour));
            for (unsigned i = 1; i <= 6; ++i)
                args.SetDouble(i, v5_->Double(kColour - static_cast<int>(i)));
            return _variant_t(true);
        })
        .Method(IVel5Part::SetColour, 7, [this](Args& args) {
            v5_->Store(kColour, args.Int32(0));
            for (unsigned i = 1; i <= 6; ++i)
                v5_->Store(kColour - static_cast<int>(i), args.Double(i));
            return _variant_t(true);
        })
        .Method(IVel5Part::Owner, 1, [this](Args& args) {
            if (args.Int32(0) != -1)
                throw Fail{E_INVALIDARG, 0};
            return ownerPart ? Handed(ownerPart->V5()) : _variant_t();
        })
        .Method(IVel5Part::Box, 8, [this](Args& args) {
            if (args.Int32(0) != -1 || args.Int32(1) != 0)
                throw Fail{E_INVALIDARG, 0};
            if (!v5_->Has(IVel5Part::Box))
                return _variant_t(false);
            for (unsigned i = 0; i < 6; ++i)
                args.SetDouble(2 + i, v5_->Double(IVel5Part::Box - static_cast<int>(i) * 100));
            return _variant_t(true);
        });
    v7_->Face<IVel7Layer>().Get<&IVel7Layer::get_Layer>(11, kLayer).Set<&IVel7Layer::put_Layer>(12, kLayer);

    v7_->Face<IVel7Part>().Get<&IVel7Part::get_InSpc>(53);
    v7_->Value(53) = _variant_t(VARIANT_TRUE, VT_I2);
    store_ = std::make_unique<DataStore>(velmar, name + "Store");
    frames_ = velmar.NewObject(name + "Frames");
    DataStore* store = store_.get();
    v7_->Face<IVel7PropertyKeeper>().On<&IVel7PropertyKeeper::GetDataStore>(10, [store](long flag, IDispatch** out) {
        if (flag != -1)
            throw Fail{E_INVALIDARG};
        (*out = store->Obj().Primary())->AddRef();
    });
    Object* frames = frames_.get();
    v7_->Face<IVel7PartFeatures>().On<&IVel7PartFeatures::get_Frames>(7, [frames](IDispatch** out) {
        (*out = frames->Primary())->AddRef();
    });
    v7_->Returns(IVel7Dispatch::Bridge, Handed(bridge)).Returns(IVel7Dispatch::BridgeEx, Handed(bridge));

    // A part inside an entity is reached, from its bridge, through the entity's feature.
    bridge_->Supports(__uuidof(IVel5Object)).Method(IVel5Object::Object5, [this](Args&) {
        if (elementFeature_)
            return Handed(*elementFeature_);
        return owner_ ? Handed(owner_->Feature()) : Handed(*feature_);
    });
    feature_->Supports(__uuidof(IVel5Object))
        .Property(IVel5Object::Type, _variant_t(static_cast<short>(VelTypePart)))
        .Returns(IVel5Object::Target, Handed(*v5_))
        .Returns(IVel5Object::Object5, Handed(*feature_));
    velmar.Twin(*v5_, *v7_);
}

void Part::SetBox(double x1, double y1, double z1, double x2, double y2, double z2)
{
    const double corners[6] = {x1, y1, z1, x2, y2, z2};
    for (int i = 0; i < 6; ++i)
        v5_->Value(IVel5Part::Box - i * 100) = corners[i];
}

Entity::Entity(Velmar& velmar, const std::string& name, short type, std::vector<Part*> parts) : parts_(std::move(parts))
{
    v5_ = velmar.NewObject(name + "5");
    v7_ = velmar.NewObject(name + "7");
    feature_ = velmar.NewObject(name + "Feature");
    features_ = velmar.NewObject(name + "Features");
    for (Part* part : parts_)
        part->owner_ = this;

    v5_->Supports(__uuidof(IVel5Entity))
        .Property(IVel5Entity::Type, _variant_t(type))
        .Property(IVel5Entity::Owner);
    v7_->Face<IVel7Pattern>().On<&IVel7Pattern::get_Sources>(21, [this](VARIANT* sources) {
        const std::vector<Part*>& listed = sources_.empty() ? parts_ : sources_;
        SAFEARRAY* array = SafeArrayCreateVector(VT_DISPATCH, 0, static_cast<ULONG>(listed.size()));
        for (LONG i = 0; i < static_cast<LONG>(listed.size()); ++i)
            SafeArrayPutElement(array, &i, listed[static_cast<size_t>(i)]->V7().Primary());
        VariantInit(sources);
        V_VT(sources) = VT_ARRAY | VT_DISPATCH;
        V_ARRAY(sources) = array;
    });
    feature_->Supports(__uuidof(IVel5Object))
        .Property(IVel5Object::Type, _variant_t(static_cast<short>(VelTypeEntity)))
        .Returns(IVel5Object::Target, Handed(*v5_))
        .Returns(IVel5Object::Object5, Handed(*feature_))
        .Method(IVel5Object::Features, 2, [this](Args& args) {
            args.Bool(0);
            args.Bool(1);
            return Handed(*features_);
        });
    features_->Supports(__uuidof(IVel5FeatureCollection)).Method(IVel5FeatureCollection::IndexOf, 1, [this](Args& args) {
        Object* wanted = Object::From(args.Unknown(0));
        for (size_t i = 0; i < parts_.size(); ++i)
            if (wanted == &parts_[i]->Bridge())
                return _variant_t(static_cast<long>(i));
        return _variant_t(-1L);
    });
    velmar.Twin(*v5_, *v7_);
}

} // namespace sim
