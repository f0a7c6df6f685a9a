#include "sim/mate_list.h"

#include "hostapi/velmar.h"
#include "sim/velmar.h"

namespace sim {

namespace {

IUnknownPtr Identity(const _variant_t& object)
{
    IUnknownPtr identity;
    if (V_VT(&object) == VT_DISPATCH && V_DISPATCH(&object))
        V_DISPATCH(&object)->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    return identity;
}

_variant_t AsDispatch(const IUnknownPtr& object)
{
    IDispatchPtr dispatch;
    if (object)
        object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    return _variant_t(static_cast<IDispatch*>(dispatch));
}

} // namespace

MateList::MateList(Velmar& velmar, const std::string& name) : velmar_(velmar), name_(name)
{
    collection_ = velmar.NewObject(name);
    collection_->Supports(__uuidof(IVel5MateCollection))
        .Method(IVel5MateCollection::Add, 1, [this](Args& args) {
            Object* definition = Object::From(args.Unknown(0));
            if (!definition)
                throw Fail{E_INVALIDARG, 0};
            MateRecord mate;
            mate.kind = static_cast<short>(definition->Long(IVel5Mate::Kind));
            mate.direction = static_cast<short>(definition->Long(IVel5Mate::Direction));
            mate.fixed = static_cast<short>(definition->Long(IVel5Mate::Fixed));
            mate.value = definition->Double(IVel5Mate::Value);
            mate.first = Identity(definition->Value(-1));
            mate.second = Identity(definition->Value(-2));
            mate.mate = definition;
            mates_.push_back(std::move(mate));
            return _variant_t();
        })
        .Method(IVel5MateCollection::RemoveAll, 0, [this](Args&) {
            mates_.clear();
            ++clears_;
            return _variant_t();
        })
        .Method(IVel5MateCollection::MatesOf, 2, [this](Args& args) {
            IUnknownPtr object = args.Unknown(0);
            std::vector<IDispatch*> found;
            for (const MateRecord& mate : mates_)
                if (object && (mate.first.GetInterfacePtr() == object.GetInterfacePtr() ||
                               mate.second.GetInterfacePtr() == object.GetInterfacePtr()))
                    found.push_back(mate.mate->Primary());
            SAFEARRAY* array = SafeArrayCreateVector(VT_DISPATCH, 0, static_cast<ULONG>(found.size()));
            for (LONG i = 0; i < static_cast<LONG>(found.size()); ++i)
                SafeArrayPutElement(array, &i, found[static_cast<size_t>(i)]);
            _variant_t list;
            V_VT(&list) = VT_ARRAY | VT_DISPATCH;
            V_ARRAY(&list) = array;
            args.SetVariant(1, list);
            return _variant_t();
        });
}

void MateList::ServeMate(Object& mate)
{
    Object* self = &mate;
    mate.Supports(__uuidof(IVel5Mate))
        .Property(IVel5Mate::Kind, mate.Value(IVel5Mate::Kind))
        .Property(IVel5Mate::Direction, mate.Value(IVel5Mate::Direction))
        .Property(IVel5Mate::Fixed, mate.Value(IVel5Mate::Fixed))
        .Property(IVel5Mate::Value, mate.Value(IVel5Mate::Value))
        .Method(IVel5Mate::Object, 1, [self](Args& args) {
            const long which = args.Int32(0);
            if (which != 1 && which != 2)
                throw Fail{E_INVALIDARG, 0};
            return _variant_t(self->Value(-which));
        });
}

Object& MateList::AddExisting(short kind, short direction, short fixed, double value, IDispatch* first, IDispatch* second)
{
    MateRecord mate;
    mate.kind = kind;
    mate.direction = direction;
    mate.fixed = fixed;
    mate.value = value;
    mate.first = first;
    mate.second = second;
    return Keep(std::move(mate), name_ + "Mate" + std::to_string(mates_.size() + 1));
}

void MateList::Remove(IUnknown* object)
{
    RemoveIf([object](const MateRecord& mate) { return mate.mate && Object::From(object) == mate.mate.get(); });
}

void MateList::RemoveIf(const std::function<bool(const MateRecord&)>& taken)
{
    // Velmar's undo brings the mates back where they were.
    const std::vector<MateRecord> before = mates_;
    if (std::erase_if(mates_, taken) > 0)
        velmar_.Undo().Record([this, before] { mates_ = before; });
}

void MateList::AddDirect(MateRecord mate)
{
    mate.direct = true;
    Keep(std::move(mate), "mate" + std::to_string(mates_.size() + 1));
    Object* made = mates_.back().mate.get();
    velmar_.Undo().Record([this, made] { std::erase_if(mates_, [made](const MateRecord& m) { return m.mate.get() == made; }); });
}

Object& MateList::Keep(MateRecord mate, const std::string& objectName)
{
    mate.mate = velmar_.NewObject(objectName);
    Object& object = *mate.mate;
    object.Value(IVel5Mate::Kind) = _variant_t(mate.kind);
    object.Value(IVel5Mate::Direction) = _variant_t(mate.direction);
    object.Value(IVel5Mate::Fixed) = _variant_t(mate.fixed);
    object.Value(IVel5Mate::Value) = _variant_t(mate.value);
    object.Value(-1) = AsDispatch(mate.first);
    object.Value(-2) = AsDispatch(mate.second);
    ServeMate(object);
    mates_.push_back(std::move(mate));
    return object;
}

} // namespace sim
