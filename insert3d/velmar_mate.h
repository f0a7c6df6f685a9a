#pragma once
// The records that carry mates through the library: a selected host object with its two flags, as the
// panels keep their picks, and a full mate that can be read from an existing host mate and made again.
#include "hostapi/velmar5.h"

#include <cstdint>

class PosPanelMate {
public:
    PosPanelMate() = default;
    explicit PosPanelMate(IDispatch* object) : iface(object) {}
    virtual ~PosPanelMate() = default;
    PosPanelMate(const PosPanelMate&) = default;
    PosPanelMate& operator=(const PosPanelMate&) = default;

    IDispatchPtr iface;                          // the selected object; may be null
    // The direction of the selection (+1 or -1) the positioning panels keep; in a mate its orientation
    // (host mate property 2).
    int16_t Direction = 1;
    // Set in mates read from the host and in every member of a mate set: picking the record's own
    // object again leaves it empty.
    int16_t PickAgainClears = 0;
};

class VelmarMate : public PosPanelMate {
public:
    VelmarMate() = default;
    // Reads a host mate of the target: its kind, orientation, value and fixed value, and as `iface` the
    // mate's other object (object 1, or object 2 when object 1 is the target).
    VelmarMate(IVel5Mate* mate, IDispatch* target);

    int32_t Kind = 0;                            // the host's mate kind (property 1)
    IDispatchPtr Target;                         // the object on the inserted side
    IVel5MatePtr HostMate;                       // the mate this record was read from; null for proposed mates
    double Value = 0;                            // property 4
    int16_t Fixed = 0;                           // property 3 as read; creation always passes 1
    int16_t Used = 0;                            // the proposed mate's target was found
};
