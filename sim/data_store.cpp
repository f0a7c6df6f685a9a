#include "sim/data_store.h"

#include "hostapi/velmar.h"
#include "sim/velmar.h"

#include <optional>

namespace sim {

namespace {

void GiveOut(Object* object, IDispatch** out)
{
    *out = object ? object->Primary() : nullptr;
    if (*out)
        (*out)->AddRef();
}

const VARIANT& Followed(const VARIANT& value)
{
    return V_VT(&value) == (VT_VARIANT | VT_BYREF) ? *V_VARIANTREF(&value) : value;
}

std::wstring TextOf(BSTR text)
{
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

} // namespace

DataStore::DataStore(Velmar& velmar, const std::string& name) : velmar_(velmar), name_(name)
{
    store_ = velmar.NewObject(name);
    store_->Face<IVel7DataStore>()
        .On<&IVel7DataStore::Find>(13, [this](VARIANT object, IDispatch** entry) {
            const VARIANT& value = Followed(object);
            if (V_VT(&value) != VT_DISPATCH)
                throw Fail{DISP_E_TYPEMISMATCH};
            auto found = entries_.find(Object::From(V_DISPATCH(&value)));
            GiveOut(found == entries_.end() ? nullptr : found->second.object.get(), entry);
        })
        .On<&IVel7DataStore::Add>(14, [this](IDispatch* object, IDispatch** entry) {
            Object* owner = Object::From(object);
            if (!owner)
                throw Fail{E_INVALIDARG};
            auto found = entries_.find(owner);
            if (found == entries_.end()) {
                GiveOut(&NewEntry(owner), entry);
                velmar_.Undo().Record([this, owner] { entries_.erase(owner); });
                return;
            }
            GiveOut(found->second.object.get(), entry);
        });
}

Object& DataStore::NewEntry(Object* owner)
{
    Entry& entry = entries_[owner];
    entry.object = velmar_.NewObject(name_ + "Entry");
    Entry* self = &entry;
    entry.object->Face<IVel7StoreEntry>()
        .On<&IVel7StoreEntry::Find>(13, [self](VARIANT name, IDispatch** section) {
            const VARIANT& value = Followed(name);
            if (V_VT(&value) != VT_BSTR)
                throw Fail{DISP_E_TYPEMISMATCH};
            auto found = self->sections.find(TextOf(V_BSTR(&value)));
            GiveOut(found == self->sections.end() ? nullptr : found->second.first.get(), section);
        })
        .On<&IVel7StoreEntry::Add>(14, [this, self](BSTR name, IDispatch** section) {
            const std::wstring library = TextOf(name);
            auto found = self->sections.find(library);
            if (found == self->sections.end()) {
                GiveOut(&NewSection(*self, library), section);
                velmar_.Undo().Record([self, library] { self->sections.erase(library); });
                return;
            }
            GiveOut(found->second.first.get(), section);
        });
    return *entry.object;
}

Object& DataStore::NewSection(Entry& entry, const std::wstring& library)
{
    auto& [object, values] = entry.sections[library];
    object = velmar_.NewObject(name_ + "Section");
    values = std::make_unique<Section>();
    Section* data = values.get();
    object->Face<IVel7NamedEntries>()
        .On<&IVel7NamedEntries::Get>(16, [data](VARIANT name, VARIANT* value, VARIANT* second, BSTR* third) {
            const VARIANT& key = Followed(name);
            if (V_VT(&key) != VT_BSTR)
                throw Fail{DISP_E_TYPEMISMATCH};
            VariantInit(value);
            VariantInit(second);
            *third = nullptr;
            auto found = data->find(TextOf(V_BSTR(&key)));
            if (found != data->end())
                VariantCopy(value, &found->second);
        })
        .On<&IVel7NamedEntries::Set>(18, [this, data](BSTR, VARIANT value, BSTR name, long* result) {
            const std::wstring key = TextOf(name);
            const auto found = data->find(key);
            std::optional<_variant_t> old;
            if (found != data->end())
                old = found->second;
            velmar_.Undo().Record([data, key, old] {
                if (old)
                    (*data)[key] = *old;
                else
                    data->erase(key);
            });
            (*data)[key] = Followed(value);
            *result = 0;
        });
    return *object;
}

DataStore::Section* DataStore::SectionOf(Object& object, const std::wstring& library)
{
    auto entry = entries_.find(&object);
    if (entry == entries_.end())
        return nullptr;
    auto section = entry->second.sections.find(library);
    return section == entry->second.sections.end() ? nullptr : section->second.second.get();
}

DataStore::Section* DataStore::SectionNamed(const std::string& objectName, const std::wstring& library)
{
    for (auto& [owner, entry] : entries_)
        if (owner->Name() == objectName)
            return SectionOf(*owner, library);
    return nullptr;
}

} // namespace sim
