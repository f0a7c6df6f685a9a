#pragma once
// What the tests and the benchmark of the bulk refresh of spc objects share: a bill-of-materials
// document whose spc objects carry "ID Normset" texts, a reference book that describes each
// identifier, and a test-only controller over the real controller base.
#include "core/progress_wnd.h"
#include "library/velmar_normset.h"
#include "sim/reference_book.h"
#include "sim/velmar.h"
#include "support/response_xml.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace spc_pass {

// The abstract steps of a controller are not used by the bulk refresh.
class TestController : public VelmarNormset {
public:
    using VelmarNormset::VelmarNormset;
    void CreatePart(const std::wstring&) override {}
    bool Positioning() override { return false; }
    std::wstring Measure() override { return std::wstring(); }
    void Prepare() override {}
    void PrepareExt(const std::wstring&) override {}
    void CheckDocumentValidForInsert() override {}
    void CheckDocumentValidForFind() override {}
    void CheckDocumentValidForCreateSpcObjs() override {}
    void CreateSpcObjects() override {}
    void FindAndReplace() override {}
    // Called for every identifier the reference book describes: a test may act there (close the window).
    void CreateSpcPart() override
    {
        VelmarNormset::CreateSpcPart();
        if (onNewPart)
            onNewPart();
    }
    std::function<void()> onNewPart;
};

// The reference book's description of an identifier: an spc-only part with a placement of its own.
inline std::wstring ObjectXml(const std::wstring& designation)
{
    using namespace response_xml;
    std::wstring spc;
    for (const auto& [name, value] : std::vector<std::pair<std::wstring, std::wstring>>{
             {L"spcSection", L"25"}, {L"spcSubSection", L"0"}, {L"spcNestedBlock", L"0"}, {L"spcNestedSection", L"0"},
             {L"spcAdditionalBlock", L"0"}, {L"spcColumns", L"5.1=Designation"}})
        spc += Object(name, {{L"Value", value}});
    return Object(L"7", {}, Object(L"Specification", {}, spc) + Object(L"Designation", {{L"Value", designation}}), L"8");
}

// A bill-of-materials document with the identity column; objects are added with their identifier.
struct SpcDocument {
    // The designation column is left out where only the pass itself is measured.
    explicit SpcDocument(sim::Velmar& velmar, bool designation = true) : document(velmar.OpenDocument(3, "spcDoc"))
    {
        if (designation)
            document.Spc().DefineColumnA({5, 1, L"Обозначение"});
        document.Spc().DefineColumnB({20, 1, L"ID Normset"});
    }
    sim::SpcObject& Add(const std::wstring& id)
    {
        sim::SpcObject& object = document.Spc().AddObject(25);
        object.ColumnB(20, 1)->SetText(id);
        return object;
    }
    sim::Document& document;
};

// Describes each identifier once: class "C-<id>", object "O-<id>".
inline void Describe(sim::ReferenceBook& book, const std::wstring& id)
{
    book.SetObjectInfo(id, L"C-" + id, L"O-" + id);
    book.SetObjectXml(L"C-" + id, L"O-" + id, ObjectXml(L"Деталь " + id));
}

} // namespace spc_pass
