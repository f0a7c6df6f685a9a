#pragma once
// Walking the column collections and column-definition collections of a specification: their items in
// order, the key of a column or definition, the text a column shows.
#include "hostapi/dual_interface.h"
#include "hostapi/velmar7.h"
#include "hostapi/vtable_call.h"

#include <cstdint>
#include <string>

// A column of a specification object is known by its type and its number within that type.
struct SpcColumnKey {
    int32_t type = 0;
    int32_t number = 0;

    bool operator==(const SpcColumnKey&) const = default;
};

// Visits the items of a column or column-definition collection in order, each queried to I (an item
// without that interface is passed over), until visit returns true; gives that item, or null.
template <class I, class Visit>
HostPtr<I> FindSpcItem(IDispatch* collection, Visit&& visit)
{
    auto* items = AsDual<IVel7SpcColumns>(collection);
    const long count = V7Get(items, &IVel7SpcColumns::get_Count);
    for (long i = 0; i < count; ++i) {
        HostPtr<I> item = QueryHostOrNull<I>(V7Get(items, &IVel7SpcColumns::get_Item, _variant_t(i)));
        if (item && visit(static_cast<I*>(item)))
            return item;
    }
    return nullptr;
}

SpcColumnKey ColumnKey(IVel7SpcColumn* column);
SpcColumnKey DefinitionKey(IVel7SpcColumnDefinition* definition);
// The text the column shows (its text object's 18).
std::wstring ColumnText(IVel7SpcColumn* column);
