#pragma once
// What the tests of the whole-document commands share: the assembly of the insertion tests with
// components this library placed earlier (the identity block on the part, its model file, whether it
// takes part in the bill of materials), optionally inside a fastener set, and a command run through
// LIBRARYENTRY's catch-all with the question answered.
#include "insert3d/insertion_stand_in.h"
#include "sim/leader_model.h"
#include "sim/pattern_model.h"
#include "sim/library_components.h"
#include "library/velmar_normset_3d.h"
#include "objects/nm_vel_obj_elem_3d.h"

#include <memory>
#include <string>

namespace document_test {

using namespace insertion_test;
using Placed = sim::LibraryIdentity;

class DocumentStandIn : public InsertionStandIn {
protected:
    DocumentStandIn() { ServeLeadersAndPatterns(); }
    void TearDown() override
    {
        client_ = nullptr;
        patterns_.reset();
        leaders_.reset();
        InsertionStandIn::TearDown();
    }
    // The document answers for its position leaders and patterns (none unless a test adds them), in
    // every new Velmar.
    void Restart(sim::HostVersion version = {15, 0, 1, 0}, int documentType = 5)
    {
        client_ = nullptr;
        patterns_.reset();
        leaders_.reset();
        InsertionStandIn::Restart(version, documentType);
        ServeLeadersAndPatterns();
    }
    void ServeLeadersAndPatterns()
    {
        leaders_ = std::make_unique<sim::Leaders>(velmar(), document());
        patterns_ = std::make_unique<sim::Patterns>(velmar(), document());
    }

    // A 3D controller of the command over a new provider of the reference book, as the library makes
    // one.
    std::unique_ptr<VelmarNormset3D> NewController(uint32_t command, int32_t docType = 5)
    {
        client_ = book().NewProvider();
        return std::make_unique<VelmarNormset3D>(velmar().App5().As<IVel5Application>(), velmar().App7().As<IVel7Application>(),
                                                 client_->As<INMClient>(), command, docType);
    }

    // A component of the assembly's top part, or of the macro element given (a fastener set's member).
    sim::Part& AddComponent(const std::string& name, const Placed& placed, sim::GeoEntity* set = nullptr)
    {
        return sim::AddLibraryComponent(velmar(), world().geometry, name, placed, set);
    }

    // A library macro element of the top part, listed in its feature tree; positioned as given, or in a
    // hole model without references.
    sim::GeoEntity& AddElement(const std::string& name, bool isTCS, const NMElemPos* positioning = nullptr)
    {
        sim::GeoEntity& macro = world().geometry.AddMacro(name, world().geometry.topPart);
        const auto app5 = velmar().App5().As<IVel5Application>();
        const auto app7 = velmar().App7().As<IVel7Application>();
        NMVelObjElem3D element(app5, app7, nullptr, nullptr, isTCS, false);
        element.iMacro = macro.Entity();
        element.iMacroDef = macro.Definition().As<IVel5MacroDefinition>();
        element.elem_pos = positioning ? NMElemPos::Clone(positioning) : NMElemPos::Create(app5, app7, 2);
        element.NM_ID = L"PART:" + std::wstring(name.begin(), name.end());
        element.NM_Name = std::wstring(name.begin(), name.end());
        element.Save();
        world().geometry.Shape(*world().geometry.topPart).features.push_back(&macro.Feature());
        return macro;
    }

    // What a component's identity and link are now, as velmar-sim prints them.
    static std::wstring Link(sim::Part& part) { return part.V5().Text(IVel5Part::FileName); }

    sim::ObjectRef client_;
    std::unique_ptr<sim::Leaders> leaders_;
    std::unique_ptr<sim::Patterns> patterns_;
};

} // namespace document_test
