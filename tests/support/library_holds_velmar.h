#pragma once
// A fixture over a stand-in base in which the library holds the stand-in's Velmar as a load gives it to
// the library, and lets go of Velmar and the reference book, as an unload does, before the base ends.
#include "core/module.h"
#include "hostapi/provider_connection.h"

template <class Base>
class LibraryHoldsVelmar : public Base {
protected:
    LibraryHoldsVelmar() { Hold(); }
    void TearDown() override
    {
        Release();
        Base::TearDown();
    }
    void Hold()
    {
        HoldApplication5(this->velmar().Application5());
        HoldApplication7(this->velmar().Application7());
    }
    void Release()
    {
        HoldProvider(nullptr, nullptr);
        testhooks::ResetProviderConnection();
        HoldApplication5(nullptr);
        HoldApplication7(nullptr);
    }
};
