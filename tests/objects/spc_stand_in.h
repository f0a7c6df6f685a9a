#pragma once
// What the tests of library objects in a Velmar document share: a library object that records what its
// subclass operations were given, part data with a placement of its own, the active preset, and a
// document whose specification has the usual columns.
#include "core/trace_log.h"
#include "hostapi/velmar.h"
#include "objects/all_settings.h"
#include "objects/cant_create_spc_obj.h"
#include "objects/nm_vel_obj.h"
#include "sim/stand_in_test.h"
#include "support/response_xml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace spc_test {

using Lines = std::vector<std::string>;
using Names = std::vector<std::string>;

// The subclass operations the base leaves to 2D and 3D objects, recorded.
class TestVelObj : public NMVelObj {
public:
    using NMVelObj::NMVelObj;

    struct TechCall {
        double type = 0;
        TechAttrValues values;
        std::wstring library;
        bool withManager = false;
    };

    // The objects a subclass would find for the part: those the test names, unless deleted since.
    void GetExistsSpcObjects(const SpcDocContext& context) override
    {
        NMVelObj::GetExistsSpcObjects(context);
        for (sim::SpcObject* object : existing)
            if (!object->deleted)
                ExSpcObjs.push_back(object->Obj().Ptr());
    }
    void RestorePosition(int32_t position) override { positions.push_back(position); }
    void CreateTechAttribute(double type, IVel5AttributeManager* manager, const TechAttrValues& values,
                             const std::wstring& library) override
    {
        created.push_back({type, values, library, manager != nullptr});
    }
    void DeleteTechAttribute(double type, IVel5AttributeManager* manager) override
    {
        deleted.push_back({type, {}, {}, manager != nullptr});
    }

    std::vector<sim::SpcObject*> existing;
    std::vector<int32_t> positions;
    std::vector<TechCall> created;
    std::vector<TechCall> deleted;
};

// Part variables of a bolt with a placement of its own: section 25, nothing else imposed.
inline std::vector<response_xml::Attr> BoltVariables()
{
    return {{L"spcSection", L"25"},       {L"spcSubSection", L"0"},   {L"spcNestedBlock", L"0"},
            {L"spcNestedSection", L"0"},  {L"spcAdditionalBlock", L"0"},
            {L"spcColumns", L"5.1=Designation,VELMAR_SPEC_PATTERN"}};
}

// Loads a response whose Method object holds the identity and the given variables.
inline void LoadPart(NMObject& object, std::vector<response_xml::Attr> vars)
{
    using namespace response_xml;
    std::vector<Attr> method = {{L"NM_IID", L"PART:BOLT[M8]"}, {L"Designation", L"Болт М8х40"}};
    method.insert(method.end(), vars.begin(), vars.end());
    auto document = std::make_shared<pugi::xml_document>();
    LoadXmlFromBstr(_bstr_t(Response(Object(L"Method", method)).c_str()), *document);
    object.loadPartData(document->child(L"response").child(L"objectcollection"), document);
}

class SpcStandIn : public sim::StandInTest {
protected:
    // Velmar of that version with an active assembly whose specification has these columns: A the
    // designation (5.1), the position (3.1), a note (6.1) and a record-kind format column (9.1, two items);
    // B the designation (5.1), the mass (8.1) and the three identity columns.
    sim::Document& Open(sim::HostVersion version = {15, 0, 1, 0})
    {
        UseVelmar(version);
        sim::Document& document = velmar().OpenDocument(5);
        sim::SpcModel& spc = document.Spc();
        spc.DefineColumnA({5, 1, L"Обозначение"});
        spc.DefineColumnA({3, 1, L"Поз."});
        spc.DefineColumnA({6, 1, L"Примечание"});
        spc.DefineColumnA({9, 1, L"Формат", true, 4, 2});
        spc.DefineColumnB({5, 1, L"Обозначение"});
        spc.DefineColumnB({8, 1, L"Масса"});
        spc.DefineColumnB({20, 1, L"ID Normset"});
        spc.DefineColumnB({21, 1, L"ID материала"});
        spc.DefineColumnB({22, 1, L"Обозначение материала"});
        settings.Presets.assign(1, NMSpcPreset(L"Active"));
        settings.SpcPresetNum = 0;
        return document;
    }

    std::unique_ptr<TestVelObj> MakePart(std::vector<response_xml::Attr> vars = BoltVariables(), bool is3DSpec = false)
    {
        auto part = std::make_unique<TestVelObj>(velmar().App5().As<IVel5Application>(), velmar().App7().As<IVel7Application>(),
                                                 nullptr, true, is3DSpec);
        LoadPart(*part, std::move(vars));
        part->Settings = &settings;
        return part;
    }

    SpcDocContext Context(bool refresh = true)
    {
        SpcDocContext context;
        context.iApp5 = velmar().App5().As<IVel5Application>();
        context.iApp7 = velmar().App7().As<IVel7Application>();
        if (refresh)
            context.Refresh(true);
        return context;
    }

    sim::SpcModel& Spc() { return velmar().ActiveDocument()->Spc(); }
    NMSpcPreset& Active() { return settings.GetActivePreset(); }

    // The journal lines of one stand-in object.
    Lines On(const std::string& object) { return journal().LinesOf(object); }
    // How many journal lines contain the text.
    size_t CountContaining(const std::string& text)
    {
        size_t n = 0;
        for (const auto& line : journal().Lines())
            n += line.find(text) != std::string::npos;
        return n;
    }

    // Runs a scenario once for each host call it makes, with that call failing (E_FAIL): setUp builds the
    // model afresh and gives what to run. A run in which a call failed must end in CantCreateSpcObj or
    // that _com_error, and check(n) then looks at what is left. Ends with the first run in which no call
    // failed, which must succeed.
    void SweepHostFailures(const std::function<std::function<void()>()>& setUp, const std::function<void(size_t)>& check)
    {
        for (size_t n = 1; n < 1000; ++n) {
            const std::function<void()> run = setUp();
            journal().Clear();
            velmar().Faults().FailCall(n, E_FAIL);
            bool failed = false;
            try {
                run();
            } catch (const CantCreateSpcObj&) {
                failed = true;
            } catch (const _com_error& error) {
                failed = true;
                EXPECT_EQ(error.Error(), E_FAIL) << "call " << n;
            }
            const auto& calls = journal().Calls();
            const bool injected = std::any_of(calls.begin(), calls.end(), [](const sim::Call& call) { return call.result == E_FAIL; });
            velmar().Faults().Clear();
            if (!injected) {
                EXPECT_FALSE(failed);
                EXPECT_GT(n, 20u) << "fewer host calls than the scenario makes";
                return;
            }
            EXPECT_TRUE(failed) << "call " << n << " failed and the work went on: " << journal().Lines().back();
            check(n);
        }
        FAIL() << "the scenario never ended without a failure";
    }

    NMAllSettings settings;
    TraceLog log_{L"test", false};
};

} // namespace spc_test
