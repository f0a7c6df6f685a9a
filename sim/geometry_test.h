#pragma once
// The base of a GoogleTest test against the stand-in Velmar's geometry (header only, for tests): a
// StandInTest whose Geometry goes before its Velmar does. HoldApplication puts Velmar's version-5
// application in the module's slot, as LibInterfaceNotifyEntry leaves it; the slot is emptied at the end.
//
//   class SelectionTests : public sim::GeometryTest {};
//   TEST_F(SelectionTests, ...) { sim::GeoEntity& face = geometry().AddFace("face", nullptr, {}); ... }
#include "core/module.h"
#include "sim/geometry_model.h"
#include "sim/stand_in_test.h"

#include <memory>

namespace sim {

class GeometryTest : public StandInTest {
protected:
    Geometry& geometry() { return *geometry_; }
    IVel5ApplicationPtr App5() { return velmar().App5().As<IVel5Application>(); }
    void HoldApplication() { HoldApplication5(velmar().Application5()); }

    void TearDown() override
    {
        HoldApplication5(nullptr);
        geometry_.reset();
        StandInTest::TearDown();
    }

private:
    std::unique_ptr<Geometry> geometry_ = std::make_unique<Geometry>(velmar());
};

} // namespace sim
