#pragma once
// The mates a model proposes for itself when it is inserted, found from its named geometry: an attach
// point "Auto" with an optional cone "Conus ", or the planes "Plane"/"PlaneR" and the axes "Axis" and
// "AxisD"; and the mates at its local coordinate systems "lcs<n>", by code of the system's sub-object.
#include "insert3d/velmar_mate.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The roles of the five members of a mate set.
enum VelmarMateRole { MateAttachPoint = 0, MateCone = 1, MatePlane = 2, MateAxis = 3, MateAxisDirection = 4 };

class VelmarMateSet {
public:
    // context: the document whose existing mates at the coordinate systems are read; null for proposed
    // records only. A host object that does not answer the interface asked for counts as absent; any
    // other failed host call raises _com_error.
    VelmarMateSet(IVel5Application* application, IVel5Part* part, IVel5Document3D* context);

    VelmarMate& ConjunctPnt() { return Members[MateAttachPoint]; }
    // The planes and axes, which a part with an attach point is not searched for.
    void FindPlanesAndAxes(IVel5Part* part);

    // Initial kinds 0, 0, 0, 4, 1; both flags 1.
    VelmarMate Members[5];
    IDispatchPtr AttachBase71;                   // the attach point's base objects of kinds 71 and 72
    IDispatchPtr AttachBase72;
    // Name of a coordinate system -> code of its sub-object (71, 72, 73, 4, 1, 2, 3) -> its mates.
    using LcsMap = std::map<std::wstring, std::map<int16_t, std::vector<VelmarMate>>>;
    LcsMap LcsMates;
    double ConeValue = 0;
    uint8_t AttachBasesFlag = 0;                 // 1 when the base of kind 72 was found

private:
    void FindAttachPoint(IVel5Application* application, IVel5Part* part);
    void FindCone(IVel5Application* application, IVel5Part* part);
    void ReadCoordinateSystems(IVel5Application* application, IVel5Part* part, IVel5Document3D* context);
};

// "lcs" followed by a base-10 32-bit signed integer, read as StrToInt32 reads it, and nothing else:
// "lcs12", "lcs-3"; not "lcs", "lcsA" or "lcs1x".
bool IsLcsName(const std::wstring& name);
