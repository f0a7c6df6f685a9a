#include "sim/app/other_program.h"

#include "sim/app/event_output.h"
#include "sim/app/hot_point_caller.h"
#include "sim/app/runner_options.h"
#include "sim/drawing.h"

#include <algorithm>
#include <cwchar>
#include <stdexcept>

namespace velmar_sim {

namespace {

// "TEXT@X,Y,ANGLE": the text and the placement after the last "@" (0, 0, 0 without one), so that a
// response's path may hold one.
struct Placed {
    std::wstring text;
    double x = 0;
    double y = 0;
    double angle = 0;
};

Placed SplitPlacement(const std::wstring& argument)
{
    Placed placed;
    const size_t at = argument.rfind(L'@');
    placed.text = argument.substr(0, at);
    if (at == std::wstring::npos)
        return placed;
    // The command line was read with the same reader (runner_options.cpp).
    const auto numbers = sim::ParseNumbers(argument.substr(at + 1), 3);
    if (!numbers)
        throw UsageError("--call takes RESPONSE@X,Y,ANGLE, not " + Quote(argument));
    placed.x = (*numbers)[0];
    placed.y = (*numbers)[1];
    placed.angle = (*numbers)[2];
    return placed;
}

std::string Hex(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(hr));
    return text;
}

// What an export handed back: a component by its name, another stand-in object by its own, or null.
std::string Named(sim::Velmar& velmar, IUnknown* object)
{
    return object ? ObjectName(velmar, nullptr, object) : "null";
}

std::string Text(BSTR text)
{
    return Quote(text ? text : L"");
}

} // namespace

OtherProgram::OtherProgram(HMODULE library, sim::Velmar& velmar, sim::ReferenceBook& book,
                           std::function<std::wstring(const std::wstring&)> loadResponse)
    : library_(library), velmar_(velmar), book_(book), loadResponse_(std::move(loadResponse)), provider_(book.NewProvider())
{
}

OtherProgram::~OtherProgram()
{
    if (tester_)
        tester_->Release();
}

template <class F>
F OtherProgram::Export(const char* name)
{
    auto function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library_, name)));
    if (!function)
        throw std::runtime_error(std::string("the library has no export ") + name);
    return function;
}

sim::ObjectRef OtherProgram::Response(const std::wstring& argument)
{
    if (argument.empty())
        throw UsageError("--call needs a response");
    // An object's data answers as a response too: the spc insertion takes either. Like every response
    // the reference book gave, it answers again for the part it placed.
    const std::wstring xml = loadResponse_(argument);
    book_.AddPlacedResponse(xml);
    return book_.MakeResponse(xml, true);
}

void OtherProgram::Run(const RunnerAction& action)
{
    if (action.fire)
        Fire(action);
    else if (action.name == L"select-macro")
        SelectMacro(action);
    else if (action.name == L"NMInsert3D" || action.name == L"NMInsert2D" || action.name == L"NMReplace2D" ||
             action.name == L"NMInsertSpc" || action.name == L"NMSelectEx" || action.name == L"GetITester")
        Call(action);
    else
        Test(action);
}

void OtherProgram::Fire(const RunnerAction& action)
{
    sim::Document* document = velmar_.ActiveDocument();
    long number = action.argument.empty() ? 0 : std::wcstol(action.argument.c_str(), nullptr, 10);
    std::vector<std::string> escapes;
    std::optional<VARIANT_BOOL> answer;
    std::vector<sim::SpcObject*> before;
    std::vector<sim::SpcObject*> after;
    if (action.name == L"open-document") {
        answer = velmar_.Events().Fire(IVelApplicationEvents::OpenDocument,
                                       {document ? _variant_t(document->V5().Primary()) : _variant_t(), _variant_t(number)}, escapes);
    } else if (!document || !document->Events()) {
        PrintEvent("event", sim::Utf8(action.name) + ": the active document fires no events");
        return;
    } else if (action.name == L"document-gone") {
        answer = document->Events()->Fire(IVelDocumentEvents::DocumentGone, {}, escapes);
    } else {
        const DISPID id = action.name == L"begin-process" ? IVelDocumentEvents::BeginProcess : IVelDocumentEvents::EndProcess;
        before = document->Spc().Objects();
        answer = document->Events()->Fire(id, {_variant_t(number)}, escapes);
        after = document->Spc().Objects();
    }
    PrintEvent("event", sim::Utf8(action.name) + (action.argument.empty() ? "" : " " + sim::Utf8(action.argument)) + " -> " +
                            (!answer ? "no sink" : *answer ? "TRUE" : "FALSE"));
    for (const std::string& escape : escapes)
        PrintEvent("event problem", escape);
    // What the library made while Velmar ran its process: the spc objects, each with what it includes.
    for (sim::SpcObject* object : after) {
        if (std::find(before.begin(), before.end(), object) != before.end())
            continue;
        std::string includes;
        for (const IDispatchPtr& linked : object->linked) {
            // A part by the name velmar-sim gives components.
            sim::Part* part = velmar_.FindPart(linked);
            includes += (includes.empty() ? ", includes " : " and ") + (part ? ComponentName(*part) : sim::RenderObject(linked));
        }
        PrintEvent("spc object made", object->Describe() + object->DescribeComments() + includes);
    }
}

void OtherProgram::SelectMacro(const RunnerAction& action)
{
    sim::Document* document = velmar_.ActiveDocument();
    sim::Drawing* drawing = document && document->Is2D() ? velmar_.Drawings().Of(document->V5()) : nullptr;
    long macro = 0;
    if (drawing)
        macro = action.argument == L"last" ? LastLibraryMacro(*drawing) : std::wcstol(action.argument.c_str(), nullptr, 10);
    if (!drawing || !drawing->Find(macro) || drawing->Find(macro)->type != 27) {
        PrintEvent("user", "no macro " + sim::Utf8(action.argument) + " placed to select");
        return;
    }
    document->V5().Value(IVel5Document2D::SelectedMacro) = macro;
    PrintEvent("user", "selects macro " + std::to_string(macro));
}

void OtherProgram::Call(const RunnerAction& action)
{
    const std::string name = sim::Utf8(action.name);
    IUnknown* provider = provider_->Primary();
    if (action.name == L"NMInsert3D") {
        const sim::ObjectRef response = Response(action.argument);
        IDispatch* part = nullptr;
        Export<void(WINAPI*)(IDispatch**, IUnknown*, IUnknown*, IDispatch*)>("NMInsert3D")(&part, provider, response->Primary(), nullptr);
        PrintEvent("call", name + " -> " + Named(velmar_, part));
        if (part)
            part->Release();
    } else if (action.name == L"NMInsertSpc") {
        // The preset follows the first "@": a preset's column set may hold one.
        const size_t at = action.argument.find(L'@');
        const std::wstring presetText = at == std::wstring::npos ? std::wstring() : action.argument.substr(at + 1);
        const sim::ObjectRef response = Response(action.argument.substr(0, at));
        IDispatch* object = nullptr;
        Export<void(WINAPI*)(IDispatch**, IUnknown*, IUnknown*, const wchar_t*)>("NMInsertSpc")(
            &object, provider, response->Primary(), presetText.empty() ? nullptr : presetText.c_str());
        PrintEvent("call", name + " -> " + Named(velmar_, object));
        if (object)
            object->Release();
    } else if (action.name == L"NMInsert2D" || action.name == L"NMReplace2D") {
        const Placed placed = SplitPlacement(action.argument);
        const sim::ObjectRef response = Response(placed.text);
        const int macro = action.name == L"NMInsert2D"
                              ? Export<int(WINAPI*)(IUnknown*, IUnknown*, double, double, double)>("NMInsert2D")(
                                    provider, response->Primary(), placed.x, placed.y, placed.angle)
                              : Export<int(WINAPI*)(IUnknown*, double, double, double)>("NMReplace2D")(
                                    response->Primary(), placed.x, placed.y, placed.angle);
        PrintEvent("call", name + " -> macro " + std::to_string(macro));
    } else if (action.name == L"NMSelectEx") {
        IDispatch* response = nullptr;
        Export<void(WINAPI*)(IDispatch**, const wchar_t*)>("NMSelectEx")(&response, action.argument.c_str());
        PrintEvent("call", name + " -> " + (response ? "a response" : "nothing chosen"));
        if (response)
            response->Release();
    } else {
        if (tester_)
            tester_->Release();
        tester_ = nullptr;
        Export<void(WINAPI*)(ITester**)>("GetITester")(&tester_);
        PrintEvent("call", name + " -> " + (tester_ ? "a test object" : "null"));
    }
}

void OtherProgram::Test(const RunnerAction& action)
{
    const std::string name = sim::Utf8(action.name);
    if (!tester_) {
        PrintEvent("call", name + ": no test object (call GetITester first)");
        return;
    }
    BSTR error = nullptr;
    HRESULT hr = S_OK;
    std::string detail;
    if (action.name == L"CloseActiveDocument") {
        hr = tester_->CloseActiveDocument(&error);
    } else if (action.name == L"CreateNewDocument") {
        hr = tester_->CreateNewDocument(std::wcstoul(action.argument.c_str(), nullptr, 10), &error);
    } else {
        const sim::ObjectRef response = Response(action.argument);
        IDispatch* inserted = nullptr;
        long code = 0;
        const auto method = action.name == L"InsertTest" ? &ITester::InsertTest : &ITester::FastInsertTest;
        hr = (tester_->*method)(response->As<INMResponse>(), &inserted, &code, &error);
        detail = ", object " + Named(velmar_, inserted) + ", code " + std::to_string(code);
        if (inserted)
            inserted->Release();
    }
    PrintEvent("call", name + " -> " + Hex(hr) + detail + ", text " + Text(error));
    SysFreeString(error);
}

} // namespace velmar_sim
