#pragma once
// Velmar hands some version-7 objects out as plain IDispatch and documents no IID to query them for
// (column and column-definition collections, the items of a record column, the specification-object
// collection of a description). They are dual objects: the dispatch pointer is the interface itself, and
// its methods are called at their positions. A null pointer stays null, so that a call through it raises E_POINTER as any other.
#include "core/com.h"

#include <type_traits>

template <class I>
I* AsDual(IDispatch* object) noexcept
{
    static_assert(std::is_base_of_v<IDispatch, I>, "only a dual interface can stand behind a dispatch pointer");
    return static_cast<I*>(object);
}
