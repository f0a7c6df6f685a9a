// The whole-document passes of an assembly timed over 1,000 and 10,000 library components, ten per name,
// each with its spc object and no position leaders: the spc objects of the document and the relink, each
// on a document of its own, under a root trace log as a command runs them. One line each for ./run bench,
// with the parts, milliseconds and host calls of both sizes before it; exits non-zero when a ratio is
// above 10.5.
#include "core/scratch_folder.h"
#include "core/trace_log.h"
#include "library/velmar_normset_3d.h"
#include "sim/com_apartment.h"
#include "sim/library_components.h"
#include "sim/panel_scene.h"
#include "sim/reference_book.h"
#include "sim/velmar.h"
#include "support/response_xml.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

namespace {

using response_xml::Object;
using response_xml::Response;

struct Cost {
    double ms = 0;
    size_t calls = 0;
};

// The answer for every identifier: one model file that exists, a place in the bill of materials.
std::wstring ComponentXml(const std::wstring& folder, const std::wstring& name)
{
    return Response(Object(L"Method", {{L"NM_IID", L"PART:X"}, {L"URL", folder}, {L"MethodBody", L"Bolt.vlm"}}) +
                    Object(L"ExternalParameters", {{L"Designation", name}, {L"spcSection", L"25"}, {L"spcSubSection", L"0"},
                                                   {L"spcNestedBlock", L"0"}, {L"spcNestedSection", L"0"},
                                                   {L"spcAdditionalBlock", L"0"}, {L"spcColumns", L"5.1=Designation"}}));
}

Cost RunOnce(size_t count, const std::function<void(VelmarNormset3D&)>& pass, const ScratchFolder& models)
{
    sim::Velmar velmar;
    sim::Geometry geometry(velmar);
    sim::Document& document = velmar.OpenDocument(5, "asm");
    sim::BuildPanelScene(velmar, geometry, document);
    document.Spc().DefineColumnA({5, 1, L"Обозначение"});
    sim::ReferenceBook book(velmar.GetSession());
    for (size_t i = 0; i < count; ++i) {
        const std::wstring id = L"B" + std::to_wstring(i / 10);
        const std::wstring name = L"Болт " + std::to_wstring(i / 10);
        sim::Part& part = sim::AddLibraryComponent(velmar, geometry, "c" + std::to_string(i), {id, name, L"old.vlm"});
        document.Spc().AddObject(25).Link(part.V7());
        if (i % 10 == 0)
            book.SetPlacedResponse(id, ComponentXml(models.Path(), name));
    }
    sim::ObjectRef client = book.NewProvider();
    velmar.Journal().Pause(true);
    Cost cost;
    {
        TraceLog log(L"LIBRARYENTRY", true);
        VelmarNormset3D controller(velmar.App5().As<IVel5Application>(), velmar.App7().As<IVel7Application>(),
                                   client->As<INMClient>(), 4, 5);
        const size_t calls = velmar.Journal().Total();
        const auto start = std::chrono::steady_clock::now();
        pass(controller);
        cost.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        cost.calls = velmar.Journal().Total() - calls;
    }
    return cost;
}

bool Report(const char* name, const std::function<void(VelmarNormset3D&)>& pass, const ScratchFolder& models)
{
    const Cost small = RunOnce(1000, pass, models);
    const Cost large = RunOnce(10000, pass, models);
    const double ratio = large.ms / std::max(small.ms, 1.0);
    std::printf("  %s: 1000 parts %.0f ms %zu host calls; 10000 parts %.0f ms %zu host calls\n", name, small.ms, small.calls,
                large.ms, large.calls);
    std::printf("bench %s: n=1000 %.0f ms, n=10000 %.0f ms, ratio %.2f\n", name, small.ms, large.ms, ratio);
    std::fflush(stdout);
    return ratio <= 10.5;
}

} // namespace

int main()
{
    sim::ComApartment com;
    try {
        ScratchFolder models;
        WriteFileBytes(models / L"Bolt.vlm", "a model file");
        bool within = Report("spc_objects_3d", [](VelmarNormset3D& controller) { controller.CreateSpcObjects(); }, models);
        within = Report("relink_3d", [](VelmarNormset3D& controller) { controller.Relink(); }, models) && within;
        return within ? 0 : 1;
    } catch (...) {
        std::printf("bench document_passes: failed\n");
        return 1;
    }
}
