#pragma once
// A list of host objects that travels as a variant: none as VT_EMPTY, one as a plain VT_DISPATCH,
// more as a 0-based VT_ARRAY|VT_DISPATCH. Entries may be null.
#include "core/com.h"

#include <vector>

class ObjArray : public std::vector<IDispatchPtr> {
public:
    ObjArray() = default;
    // Empty, then Assign(value).
    explicit ObjArray(const VARIANT& value);

    // Appends: VT_EMPTY nothing; VT_DISPATCH its pointer (null included); VT_ARRAY|VT_DISPATCH every
    // element of dimension 1; any other type nothing. Failed safe-array calls raise _com_error.
    void Assign(const VARIANT& value);
    _variant_t ToVariant() const;
    // Always a VT_ARRAY|VT_DISPATCH, also for none or one entry: for members that take only arrays.
    _variant_t ToArrayVariant() const;
    void Append(const ObjArray& other);
};
