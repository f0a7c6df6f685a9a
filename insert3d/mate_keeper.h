#pragma once
// Keeps the mates of a constructive element across its replacement. Built before the old element is
// deleted, it reads the element's mates; when its scope ends it makes them again on the new element
// that the owner handed over: mates of the element's part-level objects go to the new target part,
// those of its mate element to the new target macro, and those of its faces to the new face whose cone
// value is the old one's. Lives on the stack of one replace; its destructor never throws.
#include "insert3d/velmar_mate.h"

#include <vector>

class MateKeeper {
public:
    MateKeeper(IVel5Document3D* document, IVel5Entity* oldMacro);
    ~MateKeeper();
    MateKeeper(const MateKeeper&) = delete;
    MateKeeper& operator=(const MateKeeper&) = delete;

    // What the new element offers the mates. Until it is handed over nothing is made again and no old
    // mate is deleted: a replace that failed before keeps the mates it had.
    void HandOver(IDispatch* newTargetPart, IDispatch* newTargetMacro, std::vector<IDispatchPtr> newGeometry);

    size_t PartMates() const { return listA_.size(); }
    size_t MacroMates() const { return listB_.size(); }
    size_t FaceMates() const { return listC_.size(); }

private:
    void CollectMateElement(IVel5Entity* mateElement);
    void CollectFaces(IVel5Entity* object);
    void Restore();

    IDispatchPtr newTargetPart_;
    IDispatchPtr newTargetMacro_;
    std::vector<IDispatchPtr> newGeometry_;
    bool handedOver_ = false;
    IVel5Document3DPtr document_;
    IVel5EntityPtr oldMacro_;
    std::vector<VelmarMate> listA_;   // to the new target part
    std::vector<VelmarMate> listB_;   // to the new target macro
    std::vector<VelmarMate> listC_;   // to the new face of the same cone value
    std::vector<double> listD_;       // the cone values of list C's old faces
};
