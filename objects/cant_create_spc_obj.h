#pragma once
// A specification object could not be created for a library object. It carries nothing: whoever throws
// it has traced why, and the catch point knows which object it was working on. Not a std::exception.
#include "core/exception_describer.h"

class CantCreateSpcObj : public LibraryFailure {
public:
    // Known, not unexpected: the part was placed, its spc object could not be made.
    FailureDescription Describe() const override;
};
