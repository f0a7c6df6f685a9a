#include "sim/pattern_model.h"

#include "hostapi/velmar.h"
#include "sim/document.h"
#include "sim/velmar.h"

#include <algorithm>

namespace sim {

namespace {

void GiveOut(Object* object, IDispatch** out)
{
    *out = object ? object->Primary() : nullptr;
    if (*out)
        (*out)->AddRef();
}

bool SameObject(const IDispatchPtr& entry, IUnknown* object)
{
    return Object::From(entry) && Object::From(entry) == Object::From(object);
}

} // namespace

Patterns::Patterns(Velmar& velmar, Document& document) : velmar_(velmar), document_(document)
{
    owner_ = velmar.NewObject("patternOwner");
    collection_ = velmar.NewObject("patterns");
    Object* collection = collection_.get();
    owner_->Face<IVel7PatternOwner>().On<&IVel7PatternOwner::get_Patterns>(11, [collection](IDispatch** out) {
        GiveOut(collection, out);
    });
    collection_->Face<IVel7Patterns>()
        .On<&IVel7Patterns::get_Count>(12, [this](long* count) { *count = static_cast<long>(patterns_.size()); })
        .On<&IVel7Patterns::get_Item>(14, [this](VARIANT index, IDispatch** out) {
            _variant_t i;
            if (FAILED(VariantChangeType(&i, &index, 0, VT_I4)) || V_I4(&i) < 0 || V_I4(&i) >= static_cast<long>(patterns_.size()))
                throw Fail{E_INVALIDARG};
            GiveOut(patterns_[static_cast<size_t>(V_I4(&i))].v7.get(), out);
        });
    Object* owner = owner_.get();
    document.V7().Face<IVel7Document3D>().On<&IVel7Document3D::get_PatternOwner>(29, [owner](IDispatch** out) {
        GiveOut(owner, out);
    });
    deletion_ = document.OnDeletion([this](IUnknown* object) { Deleted(object); });
}

Patterns::~Patterns()
{
    document_.ForgetDeletion(deletion_);
    for (Pattern& pattern : patterns_)
        for (Object* object : {pattern.v7.get(), pattern.parameters.get(), pattern.v5.get()})
            object->Detach();
    for (ObjectRef& object : instances_)
        object->Detach();
    owner_->Detach();
    collection_->Detach();
}

Pattern& Patterns::Add(const std::string& name, std::vector<IDispatchPtr> sources)
{
    Pattern& p = patterns_.emplace_back();
    p.name = name;
    p.sources = std::move(sources);
    p.v7 = velmar_.NewObject(name);
    p.parameters = velmar_.NewObject(name + "Param");
    p.v5 = velmar_.NewObject(name + "v5");
    p.source = velmar_.NewObject(name + "Source");
    Pattern* self = &p;
    p.v7->Face<IVel7Pattern>()
        .On<&IVel7Pattern::put_Sources>(20, [this, self](VARIANT sources) {
            if (V_VT(&sources) != (VT_ARRAY | VT_DISPATCH))
                throw Fail{DISP_E_TYPEMISMATCH};
            RecordSources(*self);
            self->switchWhenWritten.push_back(self->following);
            self->sources.clear();
            SAFEARRAY* array = V_ARRAY(&sources);
            LONG lower = 0, upper = -1;
            SafeArrayGetLBound(array, 1, &lower);
            SafeArrayGetUBound(array, 1, &upper);
            for (LONG i = lower; i <= upper; ++i) {
                IDispatch* item = nullptr;
                SafeArrayGetElement(array, &i, &item);
                self->sources.push_back(IDispatchPtr(item, false));
            }
            RemakeCopies(*self);
        })
        .On<&IVel7Pattern::get_Sources>(21, [self](VARIANT* sources) {
            SAFEARRAY* array = SafeArrayCreateVector(VT_DISPATCH, 0, static_cast<ULONG>(self->sources.size()));
            for (LONG i = 0; i < static_cast<LONG>(self->sources.size()); ++i)
                SafeArrayPutElement(array, &i, self->sources[static_cast<size_t>(i)].GetInterfacePtr());
            VariantInit(sources);
            V_VT(sources) = VT_ARRAY | VT_DISPATCH;
            V_ARRAY(sources) = array;
        })
        .On<&IVel7Pattern::GetInstanceRanges>(36, [self](long* firstRange, long* secondRange) {
            *firstRange = self->firstRange;
            *secondRange = self->secondRange;
        })
        .On<&IVel7Pattern::get_Instance>(35, [self](long i, long j, IDispatch** out) {
            for (PatternInstance& instance : self->instances)
                if (instance.first == i && instance.second == j) {
                    GiveOut(instance.v7.get(), out);
                    return;
                }
            throw Fail{E_INVALIDARG};
        })
        .On<&IVel7Pattern::IsSource>(25, [self](IDispatch* object, VARIANT_BOOL* contains) {
            const bool found = std::any_of(self->sources.begin(), self->sources.end(),
                                           [object](const IDispatchPtr& entry) { return SameObject(entry, object); });
            *contains = found ? VARIANT_TRUE : VARIANT_FALSE;
        });
    p.v7->Face<IVel7ModelObject>()
        .On<&IVel7ModelObject::Update>(15, [self](VARIANT_BOOL* done) {
            ++self->updates;
            *done = VARIANT_TRUE;
        })
        .On<&IVel7ModelObject::get_Type>(18, [](long* type) { *type = 25; })
        .On<&IVel7ModelObject::get_Parameters>(19, [self](IDispatch** out) { GiveOut(self->parameters.get(), out); });
    p.parameters->Face<IVel7ModelObjectParam>()
        .On<&IVel7ModelObjectParam::get_Source>(9, [self](IDispatch** out) { GiveOut(self->source.get(), out); })
        .On<&IVel7ModelObjectParam::put_Switch>(11, [self](VARIANT_BOOL on) { self->following = on != VARIANT_FALSE; })
        .On<&IVel7ModelObjectParam::get_Switch>(12, [self](VARIANT_BOOL* on) { *on = self->following ? VARIANT_TRUE : VARIANT_FALSE; })
        .On<&IVel7ModelObjectParam::get_SourceType>(14, [self](long* type) { *type = self->sourceType; });
    p.source->Face<IVel7ModelObject>().On<&IVel7ModelObject::get_Type>(18, [self](long* type) { *type = self->sourceModelType; });
    p.v5->Method(IVel5Array::Name, 0, [self](Args&) { return _variant_t(std::wstring(self->name.begin(), self->name.end()).c_str()); })
        .Method(IVel5Array::State, 0, [self](Args&) { return _variant_t(self->ok); })
        .Method(IVel5Array::BaseObject, 0, [self](Args&) { return _variant_t(static_cast<IDispatch*>(self->base)); })
        .Put(IVel5Array::BaseObject, [this, self](Args&, const VARIANT& value) {
            velmar_.Undo().Record([self, before = self->base] { self->base = before; });
            self->base = V_VT(&value) == VT_DISPATCH ? V_DISPATCH(&value) : nullptr;
        })
        .Method(IVel5Array::Rebuild, 0, [self](Args&) {
            ++self->rebuilds;
            return _variant_t(true);
        });
    velmar_.Twin(*p.v5, *p.v7);
    return p;
}

std::vector<std::string> Patterns::SourceNames(const Pattern& pattern)
{
    std::vector<std::string> names;
    for (const IDispatchPtr& source : pattern.sources) {
        const Object* object = Object::From(source);
        names.push_back(object ? object->Name() : "object");
    }
    return names;
}

void Patterns::Deleted(IUnknown* object)
{
    Object* gone = Object::From(object);
    Object* twin = velmar_.TwinIn7(gone);
    auto isGone = [&](const IDispatchPtr& source) {
        const Object* entry = Object::From(source);
        return entry && (entry == gone || entry == twin);
    };
    for (Pattern& pattern : patterns_) {
        if (std::any_of(pattern.sources.begin(), pattern.sources.end(), isGone)) {
            RecordSources(pattern);
            std::erase_if(pattern.sources, isGone);
        }
    }
}

void Patterns::AddInstances(Pattern& pattern, long first, long second,
                            std::function<Part*(long first, long second, size_t position, IDispatch* source)> copyOf)
{
    pattern.firstRange = first;
    pattern.secondRange = second;
    pattern.copyOf = std::move(copyOf);
    for (long i = 1; i <= first; ++i)
        for (long j = 1; j <= second; ++j) {
            PatternInstance& instance = pattern.instances.emplace_back();
            instance.first = i;
            instance.second = j;
            const std::string name = pattern.name + "Inst" + std::to_string(i) + "." + std::to_string(j);
            instance.v7 = velmar_.NewObject(name);
            instance.v5 = velmar_.NewObject(name + "v5");
            instance.v7->Face<IVel7ModelObjectParam>();
            PatternInstance* held = &instance;
            instance.v5->Method(IVel5Array::CopyAt, 1, [held](Args& args) {
                const long position = args.Int32(0);
                if (position < 0 || static_cast<size_t>(position) >= held->copies.size())
                    throw Fail{E_INVALIDARG, 0};
                return _variant_t(held->copies[static_cast<size_t>(position)]->V5().Primary());
            });
            velmar_.Twin(*instance.v5, *instance.v7);
            for (size_t position = 0; position < pattern.sources.size(); ++position)
                instance.copies.push_back(pattern.copyOf(i, j, position, pattern.sources[position]));
            instances_.push_back(instance.v7);
            instances_.push_back(instance.v5);
        }
    pattern.copiedFrom = pattern.sources;
}

void Patterns::RemakeCopies(Pattern& pattern)
{
    if (!pattern.copyOf)
        return;
    for (PatternInstance& instance : pattern.instances) {
        velmar_.Undo().Record([held = &instance, before = instance.copies] { held->copies = before; });
        std::vector<Part*> copies;
        // A source still in the list keeps its copies wherever it moved to.
        for (size_t position = 0; position < pattern.sources.size(); ++position) {
            size_t was = 0;
            while (was < pattern.copiedFrom.size() && !SameObject(pattern.copiedFrom[was], pattern.sources[position]))
                ++was;
            copies.push_back(was < instance.copies.size()
                                 ? instance.copies[was]
                                 : pattern.copyOf(instance.first, instance.second, position, pattern.sources[position]));
        }
        instance.copies = std::move(copies);
    }
    velmar_.Undo().Record([self = &pattern, before = pattern.copiedFrom] { self->copiedFrom = before; });
    pattern.copiedFrom = pattern.sources;
}

Pattern* Patterns::Find(const std::string& name)
{
    for (Pattern& pattern : patterns_)
        if (pattern.name == name)
            return &pattern;
    return nullptr;
}

void Patterns::RecordSources(Pattern& pattern)
{
    velmar_.Undo().Record([self = &pattern, before = pattern.sources] { self->sources = before; });
}

} // namespace sim
