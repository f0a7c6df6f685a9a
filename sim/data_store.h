#pragma once
// The object-data store of a stand-in part or document (IVel7DataStore: 13 finds an object's entry, 14
// adds it), its entries (IVel7StoreEntry: 13 finds a library's section, 14 adds it) and the sections
// (IVel7NamedEntries: 16 gives a value with the variant type it was written with, VT_EMPTY for a name
// never written; 18 writes one). Entries are known by the identity of the object they belong to.
//
//   const sim::DataStore::Section* values = doc.Store().SectionOf(element7, L"Нормсет");
//   EXPECT_EQ(V_VT(&values->at(L"X")), VT_R8);
#include "sim/sim_object.h"

#include <map>
#include <memory>
#include <string>

namespace sim {

class Velmar;

class DataStore {
public:
    using Section = std::map<std::wstring, _variant_t>;

    DataStore(Velmar& velmar, const std::string& name);

    Object& Obj() { return *store_; }
    // The values of an object's section; null when there is none.
    Section* SectionOf(Object& object, const std::wstring& library);
    // The same by the name of the object the entry belongs to.
    Section* SectionNamed(const std::string& objectName, const std::wstring& library);
    size_t Entries() const { return entries_.size(); }

private:
    struct Entry {
        ObjectRef object;
        std::map<std::wstring, std::pair<ObjectRef, std::unique_ptr<Section>>> sections;
    };
    Object& NewEntry(Object* owner);
    Object& NewSection(Entry& entry, const std::wstring& library);

    Velmar& velmar_;
    std::string name_;
    ObjectRef store_;
    std::map<Object*, Entry> entries_;
};

} // namespace sim
