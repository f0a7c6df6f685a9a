#pragma once
// The attribute side of the stand-in Velmar: the attribute manager (version-5 application dispatch id 43,
// IVel5AttributeManager) and the attribute libraries, which are files in Velmar's system folder
// (Velmar::SetSystemFolder): dispatch id 47 with a file name gives that file's full path there, whether
// the file exists or not. Tests that need a library write a file there.
#include "sim/sim_object.h"

namespace sim {

class Velmar;

class AttributeModel {
public:
    explicit AttributeModel(Velmar& velmar);

    Object& Manager() { return *manager_; }

private:
    ObjectRef manager_;
};

} // namespace sim
