#pragma once
// What the tests of 3D library objects share: a Velmar of a version with an active part document whose
// top part holds macro elements, and the two applications as the library takes them.
#include "core/trace_log.h"
#include "sim/geometry_model.h"
#include "sim/stand_in_test.h"

#include <memory>

namespace elem3d_test {

class Elem3DStandIn : public sim::StandInTest {
protected:
    // An active part document with its top part; elements are added with AddElement. Opening again
    // starts over with a new Velmar (the library objects of the last one must be gone).
    void Open(sim::HostVersion version = {15, 0, 1, 0})
    {
        geometry_.reset();
        UseVelmar(version);
        document_ = &velmar().OpenDocument(4);
        geometry_ = std::make_unique<sim::Geometry>(velmar());
        geometry_->UseDocument(*document_);
        top_ = &velmar().AddPart("top");
        geometry_->topPart = top_;
        geometry_->Shape(*top_);
    }
    sim::GeoEntity& AddElement(const std::string& name)
    {
        sim::GeoEntity& element = geometry_->AddMacro(name, top_);
        geometry_->Shape(*top_).features.push_back(&element.Feature());
        return element;
    }
    IVel5ApplicationPtr App5() { return velmar().App5().As<IVel5Application>(); }
    IVel7ApplicationPtr App7() { return velmar().App7().As<IVel7Application>(); }
    void TearDown() override
    {
        geometry_.reset();
        sim::StandInTest::TearDown();
    }

    sim::Document* document_ = nullptr;
    sim::Part* top_ = nullptr;
    std::unique_ptr<sim::Geometry> geometry_;
    TraceLog log_{L"test", false};
};

} // namespace elem3d_test
