#pragma once
// A COM class of a stand-in registered in this process with CoRegisterClassObject for as long as the
// registration lives, so that the library's own CoCreateInstance (class context 0x17) finds it.
#include "sim/sim_object.h"

#include <functional>

namespace sim {

class ClassRegistration {
public:
    using Maker = std::function<ObjectRef()>;

    ClassRegistration(const CLSID& clsid, Maker maker);
    ~ClassRegistration();
    ClassRegistration(const ClassRegistration&) = delete;
    ClassRegistration& operator=(const ClassRegistration&) = delete;

    int Created() const;   // instances made through the class factory

private:
    class Factory;
    Factory* factory_;
    DWORD cookie_ = 0;
};

} // namespace sim
