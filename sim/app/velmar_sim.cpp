// velmar-sim: does with the library what Velmar does, in the stand-in Velmar with the stand-in
// reference book, and prints what happened. Exits 0 when it ran, whatever the library did (and for
// --help), its last line "end: exit code 0"; 2 for a bad command line, a file that cannot be read, a
// component name no component has, an spc object the document does not have, a callout on a component
// without an spc object or a line attached with nothing selected; 3 when the library cannot be loaded; 4
// when the run faulted; 5, having printed and run nothing, when Wine gives it no windows.
#include "core/com.h"
#include "sim/app/debug_archive.h"
#include "sim/app/dialog_answerer.h"
#include "sim/app/event_output.h"
#include "sim/app/other_program.h"
#include "sim/app/hot_point_caller.h"
#include "sim/app/runner_options.h"
#include "sim/assembly.h"
#include "sim/com_apartment.h"
#include "sim/element_model.h"
#include "sim/leader_model.h"
#include "sim/macro_elements.h"
#include "sim/library_components.h"
#include "sim/model_catalogue.h"
#include "sim/panel_scene.h"
#include "sim/pattern_model.h"
#include "sim/panel_script.h"
#include "sim/pattern_model.h"
#include "sim/reference_book.h"
#include "sim/sample_responses.h"
#include "sim/shown_text.h"
#include "sim/text_file.h"
#include "sim/utility_classes.h"
#include "sim/velmar.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

using namespace velmar_sim;

namespace {

// The library's own loading failed: the runner could not run.
class LoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A model description that cannot be read: one line says which and why.
class ModelError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file an option names that cannot be read and is no sample either: one line says which.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Wine gave the process no windows: its desktop, which the first program of a server starts, was not
// ready within the time Wine waits for it (a busy machine). No message box could be shown, so nothing
// is run; the script starts the run again once the desktop is up.
class NoWindowsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::wstring RunnerFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

// A file, or the name of one of the stand-in's samples of the kind.
std::wstring FileOrSample(const std::string& kind, const std::wstring& given, std::wstring (*sample)(const std::string&))
{
    if (std::optional<std::wstring> text = sim::ReadTextFile(sim::WindowsPath(given)))
        return *text;
    try {
        return sample(sim::Utf8(given));
    } catch (const std::exception&) {
        throw InputError("cannot read the " + kind + " " + Quote(given));
    }
}

std::wstring LoadResponse(const std::wstring& given)
{
    return FileOrSample("response", given, sim::SampleResponse);
}

// A panel script: the file it names, or the steps it is. Either must read as steps.
std::wstring LoadPanelScript(const std::wstring& given)
{
    const std::wstring path = sim::WindowsPath(given);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    std::wstring script = given;
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        const std::optional<std::wstring> text = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? std::nullopt : sim::ReadTextFile(path);
        if (!text)
            throw UsageError("cannot read the panel script " + Quote(given));
        script = *text;
    }
    try {
        sim::ParsePanelScript(script);
    } catch (const std::invalid_argument& error) {
        throw UsageError("--panel-script " + Quote(given) + " is neither a readable file nor panel steps (" +
                         error.what() + ")");
    }
    return script;
}

sim::ModelDescription LoadModel(const std::wstring& path)
{
    const std::optional<std::wstring> text = sim::ReadTextFile(path);
    if (!text)
        throw ModelError("cannot read the model file " + Quote(path));
    try {
        return sim::ParseModel(*text);
    } catch (const std::invalid_argument& error) {
        throw ModelError("model file " + Quote(path) + ", " + error.what());
    }
}

// The stand-in's own models (sim/models) and the user's, later ones replacing earlier ones of a name.
sim::ModelCatalogue LoadCatalogue(const std::vector<std::wstring>& given)
{
    sim::ModelCatalogue catalogue;
    WIN32_FIND_DATAW found{};
    const std::wstring folder = sim::SampleModelsFolder();
    HANDLE search = FindFirstFileW((folder + L"*.model").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            catalogue.Add(LoadModel(folder + found.cFileName));
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    for (const std::wstring& path : given)
        catalogue.Add(LoadModel(sim::WindowsPath(path)));
    return catalogue;
}

// The folder the known models' files lie in for the run, each at its path below it; responses name it
// "%MODELS%". It is removed when the run ends.
class ModelFolder {
public:
    explicit ModelFolder(const sim::ModelCatalogue& catalogue)
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"velmar-sim-" + std::to_wstring(GetCurrentProcessId());
        for (const sim::ModelDescription& model : catalogue.Models()) {
            const std::filesystem::path file = std::filesystem::path(path_) / model.file;
            std::filesystem::create_directories(file.parent_path());
            std::ofstream(file, std::ios::binary) << sim::Utf8(model.text);
        }
        // The samples' part files beside the models (the 2D parts, and the part scripts of elements).
        std::wstring parts = sim::SamplePartsFolder();
        parts.pop_back();
        std::error_code ignored;
        std::filesystem::create_directories(path_, ignored);
        std::filesystem::copy(parts, path_, std::filesystem::copy_options::recursive | std::filesystem::copy_options::skip_existing, ignored);
    }
    ~ModelFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ModelFolder(const ModelFolder&) = delete;
    ModelFolder& operator=(const ModelFolder&) = delete;

    // The folder, ending in "\\".
    std::wstring Path() const { return path_ + L"\\"; }

    // A response with the folder in place of "%MODELS%".
    std::wstring Resolve(std::wstring response) const
    {
        const std::wstring mark = L"%MODELS%";
        for (size_t at = response.find(mark); at != std::wstring::npos; at = response.find(mark, at + path_.size()))
            response.replace(at, mark.size(), path_);
        return response;
    }

private:
    std::wstring path_;
};

// The run's own registry: for the run every HKEY_CURRENT_USER path of this process lands in a key of its
// own, empty at the start and removed at the end, so that the library's settings and presets (what OK in
// the settings dialog saves) neither come from an earlier run nor stay for a later one or for the tests,
// which share the Wine prefix.
class RunRegistry {
public:
    RunRegistry() : path_(L"Software\\velmar-sim\\run-" + std::to_wstring(GetCurrentProcessId()))
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_, nullptr) !=
                ERROR_SUCCESS ||
            RegOverridePredefKey(HKEY_CURRENT_USER, root_) != ERROR_SUCCESS)
            throw LoadError("cannot give the run a registry of its own");
    }
    ~RunRegistry()
    {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(root_);
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\velmar-sim");   // only when no other run is using it
    }
    RunRegistry(const RunRegistry&) = delete;
    RunRegistry& operator=(const RunRegistry&) = delete;

private:
    std::wstring path_;
    HKEY root_ = nullptr;
};

// Each library part placed in a drawing, with what it is made of; then what none of them shows, a
// leader no spc object holds or an spc object holding no part, so that nothing a command left is hidden.
void PrintPlacedParts(sim::Velmar& velmar, sim::Document& document)
{
    sim::Drawing* drawing = velmar.Drawings().Of(document.V5());
    for (long object : drawing->Objects()) {
        if (drawing->Find(object)->type != 27)
            continue;
        const std::vector<std::string> lines = drawing->Describe(object, document.Spc());
        PrintEvent("placed part", lines.front());
        for (size_t i = 1; i < lines.size(); ++i)
            PrintLine("  " + lines[i]);
    }
    for (const std::string& line : drawing->DescribeLeftovers(document.Spc()))
        PrintLine(line);
}

// Each constructive element the part scripts built, deleted ones marked.
void PrintElements(sim::ScriptedElements& elements)
{
    for (const sim::BuiltElement& element : elements.Elements()) {
        const std::vector<std::string> lines = elements.Describe(element);
        PrintEvent("element", lines.front());
        for (size_t i = 1; i < lines.size(); ++i)
            PrintLine("  " + lines[i]);
    }
}

// The text between the first `opening` of an XML text and the `closing` after it; empty without one.
std::wstring TextBetween(const std::wstring& xml, const std::wstring& opening, const std::wstring& closing)
{
    const size_t at = xml.find(opening);
    if (at == std::wstring::npos)
        return std::wstring();
    const size_t start = at + opening.size();
    return xml.substr(start, xml.find(closing, start) - start);
}

// The value of a response's attribute, as the reference book writes it; empty when there is none.
std::wstring ResponseAttribute(const std::wstring& xml, const std::wstring& name)
{
    return TextBetween(xml, L"<name>" + name + L"</name><value>", L"</value>");
}

// The reference book knows the sample object data by its identity "CLASS:OBJECT", which the sample bolt
// carries as its "Quarvend_IID": a line whose "ID Normset" column names it is found in the book again.
void DescribeSampleObjectData(sim::ReferenceBook& book)
{
    const std::wstring xml = sim::SampleResponse("object_data");
    const std::wstring classId = TextBetween(xml, L"<classid>", L"</classid>");
    const std::wstring objectId = TextBetween(xml, L"<objectid>", L"</objectid>");
    book.SetObjectInfo(classId + L":" + objectId, classId, objectId);
    book.SetObjectXml(classId, objectId, xml);
}

// The library components the run started with, and the reference book's answers for them.
std::vector<sim::Part*> PlaceLibraryComponents(const RunnerOptions& options, const ModelFolder& models, sim::Velmar& velmar,
                                               sim::Geometry& scene, sim::ReferenceBook& book)
{
    std::vector<sim::Part*> parts;
    for (const std::wstring& given : options.components) {
        // RESPONSE@SECTION: the component has an spc object the user moved to that section.
        const size_t at = given.rfind(L'@');
        const std::wstring response = at == std::wstring::npos ? given : given.substr(0, at);
        const std::wstring xml = models.Resolve(LoadResponse(response));
        sim::LibraryIdentity identity;
        identity.id = ResponseAttribute(xml, L"NM_IID");
        identity.name = ResponseAttribute(xml, L"Designation");
        identity.file = L"C:\\Old library\\" + ResponseAttribute(xml, L"MethodBody");
        sim::Part& part = sim::AddLibraryComponent(velmar, scene, "part" + std::to_string(parts.size() + 1), identity);
        if (at != std::wstring::npos) {
            sim::SpcObject& moved =
                velmar.ActiveDocument()->Spc().AddObject(std::stol(given.substr(at + 1)));
            moved.Link(part.V7());
            moved.ColumnA(5, 1)->SetText(identity.name);
            // The library wrote the part's identity into the column when it made the line.
            if (sim::SpcObjectColumn* id = moved.ColumnB(IdColumnType, IdColumnNumber))
                id->SetText(ResponseAttribute(xml, L"Quarvend_IID"));
        }
        parts.push_back(&part);
        book.SetPlacedResponse(identity.id, xml);
    }
    return parts;
}

// The position leaders of the document an spc object holds, in the order the document made them, by the
// names the leader lines give them; nothing when it holds none.
void PrintLeadersHeld(sim::Leaders& leaders, const sim::SpcObject& object)
{
    std::string names;
    for (sim::Leader* leader : leaders.Live())
        if (std::any_of(object.linked.begin(), object.linked.end(),
                        [&](const IDispatchPtr& linked) { return sim::Object::From(linked) == leader->object.get(); }))
            names += " " + leader->name;
    if (!names.empty())
        PrintLine("    leaders:" + names);
}

// Each component's NM_ID and model file, and the spc objects that include it; then, for each of them in
// that order, the leaders it holds.
void PrintLibraryComponents(sim::Velmar& velmar, sim::Leaders& leaders, const std::vector<sim::Part*>& parts, const char* when)
{
    for (sim::Part* part : parts) {
        std::string line = ComponentName(*part) + ": NM_ID " + Quote(sim::LibraryIdOf(velmar, *part)) + ", model " +
                           Quote(part->V5().Text(IVel5Part::FileName));
        std::vector<sim::SpcObject*> held;
        for (sim::SpcObject* object : velmar.ActiveDocument()->Spc().Objects())
            for (const IDispatchPtr& linked : object->linked)
                if (sim::Object::From(linked) == &part->V7()) {
                    line += ", spc object " + object->Describe() + object->DescribeComments();
                    held.push_back(object);
                }
        PrintEvent(std::string("library component ") + when, line);
        for (sim::SpcObject* object : held)
            PrintLeadersHeld(leaders, *object);
    }
}

// The library components in the assembly now: those the run started with that are still there, then
// every component placed since that carries an NM_ID (a replacement). Nothing without a starting one.
std::vector<sim::Part*> LibraryComponentsNow(sim::Velmar& velmar, sim::Geometry& scene, sim::Assembly& assembly,
                                             const std::vector<sim::Part*>& started)
{
    std::vector<sim::Part*> parts;
    if (started.empty())
        return parts;
    const std::vector<sim::Object*>& features = scene.Shape(*scene.topPart).features;
    for (sim::Part* part : started)
        if (std::find(features.begin(), features.end(), &part->Feature()) != features.end())
            parts.push_back(part);
    for (sim::Component* component : assembly.Components())
        if (!sim::LibraryIdOf(velmar, *component->part).empty())
            parts.push_back(component->part);
    return parts;
}

// The spc objects of the document no component holds (one the run started with or one placed since),
// which no component's lines show.
void PrintSpcObjectsOfNoComponent(sim::Document& document, sim::Assembly& assembly, sim::Leaders& leaders,
                                  const std::vector<sim::Part*>& started)
{
    std::vector<sim::Part*> parts = started;
    for (sim::Component* component : assembly.Components())
        parts.push_back(component->part);
    for (sim::SpcObject* object : document.Spc().Objects()) {
        const bool held = std::any_of(object->linked.begin(), object->linked.end(), [&](const IDispatchPtr& linked) {
            return std::any_of(parts.begin(), parts.end(), [&](sim::Part* part) { return sim::Object::From(linked) == &part->V7(); });
        });
        if (!held) {
            PrintEvent("spc object holding no component", object->Describe() + object->DescribeComments());
            PrintLeadersHeld(leaders, *object);
        }
    }
}

void PrintComponents(sim::Assembly& assembly, sim::Leaders& leaders)
{
    for (sim::Component* component : assembly.Components()) {
        std::vector<std::string> lines = assembly.Describe(*component);
        PrintEvent("component", ComponentName(*component->part) + " " + lines.front());
        // The spc object lines come in the order of the component's spc objects; each gets its comments,
        // and the position leaders it holds follow it.
        const std::vector<sim::SpcObject*> spcObjects = assembly.SpcObjectsOf(*component);
        size_t spcObject = 0;
        for (size_t i = 1; i < lines.size(); ++i) {
            const sim::SpcObject* shown = nullptr;
            if (lines[i].compare(0, 12, "spc object: ") == 0 && spcObject < spcObjects.size()) {
                shown = spcObjects[spcObject++];
                lines[i] += shown->DescribeComments();
            }
            // The mass in the assembly's unit: grams unless the assembly says kilograms.
            const size_t material = lines[i].find(", material ");
            if (lines[i].compare(0, 5, "mass ") == 0 && material != std::string::npos)
                lines[i].insert(material, assembly.massUnitFlag == 0 ? " g" : " kg");
            PrintLine("  " + lines[i]);
            if (shown)
                PrintLeadersHeld(leaders, *shown);
        }
    }
}

// The leaders, arrays and fastener-set macros of the assembly, each component by its name.
void PrintAssemblyObjects(sim::Velmar& velmar, sim::Geometry& scene, sim::Leaders& leaders, sim::Patterns& patterns,
                          sim::MacroElements& macros, const std::vector<std::string>& arrays)
{
    for (sim::Leader* leader : leaders.Live()) {
        std::string line = leader->name + ", kind " + std::to_string(leader->code) + ", on";
        for (size_t i = 0; i < leader->anchors.size(); ++i) {
            sim::Object* anchored = sim::Leaders::AnchoredTo(*leader, i);
            line += " " + (anchored ? ObjectName(velmar, &scene, anchored->Primary()) : std::string("?"));
        }
        for (const auto& [key, text] : leader->texts)
            if (text->Has(18) && V_VT(&text->Value(18)) != VT_EMPTY)
                line += ", text " + sim::ShownValue(text->Value(18));
        PrintEvent("leader", line);
    }
    for (const std::string& name : arrays) {
        std::string sources;
        for (const IDispatchPtr& source : patterns.Find(name)->sources)
            sources += " " + ObjectName(velmar, &scene, source);
        PrintEvent("array", name + ":" + sources);
    }
    for (sim::GeoEntity* macro : macros.Live())
        PrintEvent("macro", macros.Describe(*macro).substr(std::string("set macro ").size()));
}

// What the user has drawn in the assembly: the arrays by name, and how many position leaders.
struct UserDrawn {
    std::vector<std::string> arrays;
    size_t leaders = 0;
};

// A position leader the user draws on a part, with the number on its shelf.
sim::Leader& DrawPositionLeader(sim::Leaders& leaders, sim::Part& part, UserDrawn& drawn)
{
    sim::Leader& leader = leaders.Add(89);
    leaders.Anchor(leader, part.V7().Ptr(), {0, 0, 0});
    leaders.Fill(leader, "pos");
    // The texts Velmar gives a new position leader: the position number on its shelf, nothing under it.
    const std::wstring number = std::to_wstring(++drawn.leaders);
    for (auto& [key, text] : leader.texts)
        text->Value(18) = key == leader.texts.begin()->first ? _variant_t(number.c_str()) : _variant_t();
    return leader;
}

// The spc object of the document a part's own: the first that holds it; null when none does.
sim::SpcObject* OwnSpcObject(sim::Document& document, sim::Part& part)
{
    for (sim::SpcObject* object : document.Spc().Objects())
        for (const IDispatchPtr& linked : object->linked)
            if (sim::Object::From(linked) == &part.V7())
                return object;
    return nullptr;
}

// What the user does in the assembly ("select", "arrange" or "callout"), on a component the run started
// with or one inserted since, by the name velmar-sim prints.
void Prepare(const RunnerAction& action, sim::Document& document, sim::Assembly& assembly,
             const std::vector<sim::Part*>& started, sim::Leaders& leaders, sim::Patterns& patterns, UserDrawn& drawn)
{
    const bool select = action.name == L"select";
    const std::wstring& given = action.argument;
    const std::string doing = select ? "select" : action.name == L"arrange" ? "arrange" : "call out";
    std::vector<sim::Part*> parts = started;
    for (sim::Component* component : assembly.Components())
        parts.push_back(component->part);
    // An array takes the components of a list "comp1,comp2" as its sources, in that order; a callout
    // stands on the first.
    std::vector<sim::Part*> named;
    for (size_t start = 0; start <= given.size();) {
        const size_t end = std::min(given.find(L',', start), given.size());
        const std::wstring piece = given.substr(start, end - start);
        const std::string name = sim::Utf8(piece);
        sim::Part* found = nullptr;
        for (sim::Part* part : parts)
            if (ComponentName(*part) == name)
                found = part;
        // A name of the kind velmar-sim gives stands as it is; any other (an empty one, one with a space or a
        // control) is quoted, so that the message shows what was given.
        const bool plain = !piece.empty() && std::all_of(piece.begin(), piece.end(), [](wchar_t c) { return std::iswalnum(c) != 0; });
        if (!found || (select && !named.empty()))
            throw InputError("no component " + (plain ? name : Quote(piece)) + " to " + doing);
        named.push_back(found);
        start = end + 1;
    }
    if (select) {
        assembly.selected = named.front();
        PrintEvent("user", "selects " + sim::Utf8(given));
        return;
    }
    const std::string first = sim::Utf8(given.substr(0, given.find(L',')));
    if (action.name == L"callout") {
        // Each component's own line takes the leader once, whether or not another named one shares it.
        std::vector<sim::SpcObject*> lines;
        for (sim::Part* part : named) {
            sim::SpcObject* own = OwnSpcObject(document, *part);
            if (!own)
                throw InputError(ComponentName(*part) + " has no spc object to call out");
            if (std::find(lines.begin(), lines.end(), own) == lines.end())
                lines.push_back(own);
        }
        sim::Leader& leader = DrawPositionLeader(leaders, *named.front(), drawn);
        const std::vector<sim::SpcObject*> listed = document.Spc().Objects();
        std::string numbers;
        for (sim::SpcObject* line : lines) {
            line->Link(*leader.object);
            numbers += (numbers.empty() ? " " : ", ") +
                       std::to_string(std::find(listed.begin(), listed.end(), line) - listed.begin() + 1);
        }
        PrintEvent("user", "calls out " + sim::Utf8(given) + " with " + leader.name + " on " + first + ", held by spc object(s)" +
                               numbers);
        return;
    }
    drawn.arrays.push_back("array" + std::to_string(drawn.arrays.size() + 1));
    std::vector<IDispatchPtr> sources;
    for (sim::Part* part : named)
        sources.push_back(part->V7().Ptr());
    patterns.Add(drawn.arrays.back(), sources);
    DrawPositionLeader(leaders, *named.front(), drawn);
    PrintEvent("user", "puts " + sim::Utf8(given) + " into " + drawn.arrays.back() + " and gives " + first +
                           " a position leader");
}

// The user gives every spc object the active document holds a comment with the text.
void CommentSpcObjects(sim::Velmar& velmar, const std::wstring& text)
{
    sim::Document* document = velmar.ActiveDocument();
    const std::vector<sim::SpcObject*> objects = document ? document->Spc().Objects() : std::vector<sim::SpcObject*>();
    for (sim::SpcObject* object : objects)
        object->AddComment(sim::Utf8(text));
    PrintEvent("user", "comments " + std::to_string(objects.size()) + " spc object(s) " + Quote(text));
}

// The user types a text into a column of one spc object of the active document, as in its bill of
// materials; a column the document's bill of materials does not have is defined first, and every object has
// it. The "ID Normset" column is the bill of materials' from the start, or not at all.
void TypeIntoSpcObject(sim::Velmar& velmar, const SpcText& typed)
{
    sim::Document* document = velmar.ActiveDocument();
    const std::vector<sim::SpcObject*> objects = document ? document->Spc().Objects() : std::vector<sim::SpcObject*>();
    if (typed.object > objects.size())
        throw InputError("no spc object " + std::to_string(typed.object) + " to type into");
    sim::SpcObject& object = *objects[typed.object - 1];
    sim::SpcObjectColumn* column = nullptr;
    std::string key = "ID Normset";
    if (typed.idColumn) {
        column = object.ColumnB(IdColumnType, IdColumnNumber);
        if (!column)
            throw InputError("spc object " + std::to_string(typed.object) + " has no column \"ID Normset\" to type into");
    } else {
        document->Spc().DefineColumnAWhereNone({typed.type, typed.number, L""});
        column = object.ColumnA(typed.type, typed.number);
        key = std::to_string(typed.type) + "." + std::to_string(typed.number);
    }
    PrintEvent("user", "types " + Quote(typed.text) + " into " + key + " of spc object " + std::to_string(typed.object) + ": " +
                           object.Describe());
    column->SetText(typed.text);
}

// The part selected in the assembly, if it is still there: a component placed (a fastener set's member
// too) or one of those the run started with, which a replace takes out of the top part's tree.
sim::Part* SelectedPart(sim::Geometry& scene, sim::Assembly& assembly)
{
    sim::Part* selected = assembly.selected;
    if (!selected)
        return nullptr;
    const std::vector<sim::Object*>& features = scene.Shape(*scene.topPart).features;
    const std::vector<sim::Component*> components = assembly.Components();
    if (std::find(features.begin(), features.end(), &selected->Feature()) != features.end() ||
        std::any_of(components.begin(), components.end(), [&](sim::Component* component) { return component->part == selected; }))
        return selected;
    return nullptr;
}

// The user adds a line of their own in the bill of materials to the object last selected, if it is still
// there (the macro selected in a drawing, the component selected in an assembly): an spc object of section
// 25 with the text in 5.1 and no origin, which includes the object. The document lists its objects in the
// order they were made, so the new one comes after the object's lines, last, and --spc-text reaches it by
// that number.
void AttachLine(sim::Velmar& velmar, sim::Geometry* scene, sim::Assembly* assembly, const std::wstring& text)
{
    sim::Document* document = velmar.ActiveDocument();
    sim::Object* selected = nullptr;
    std::string name;
    if (document && document->Is2D()) {
        const long macro = document->V5().Long(IVel5Document2D::SelectedMacro);
        if (macro && velmar.Drawings().Of(document->V5())->Find(macro)) {
            selected = velmar.Drawings().DrawingObject(macro);
            name = "macro " + std::to_string(macro);
        }
    } else if (scene && assembly) {
        if (sim::Part* part = SelectedPart(*scene, *assembly)) {
            selected = &part->V7();
            name = ComponentName(*part);
        }
    }
    if (!selected)
        throw InputError("nothing selected to attach a line to");
    document->Spc().DefineColumnAWhereNone({5, 1, L"Обозначение"});
    sim::SpcObject& line = document->Spc().AddObject(25);
    line.ColumnA(5, 1)->SetText(text);
    line.Link(*selected);
    PrintEvent("user", "attaches spc object " + std::to_string(document->Spc().Objects().size()) + " to " + name + ": " +
                           line.Describe());
}

std::string Hex(long long value, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%0*llx", digits, static_cast<unsigned long long>(value));
    return text;
}

// The provider's members by position: INMClient's, and INMObjectInfo's (12, 15), which finds a part by the
// identity a line's "ID Normset" column gives.
const std::map<int, const char*> ProviderMembers = {
    {12, "ObjectResponse"}, {15, "GetObjectInfo"}, {27, "Connect"},     {28, "Disconnect"},
    {29, "SetInstrumentOptions"}, {30, "Select"}, {31, "PlacedResponse"}, {34, "AttributeText"},
    {37, "DragParameters"}, {38, "HotPoints"},    {39, "ClientString"},
};

// An argument as the journal renders it (a text in double quotes as it stands), a text quoted as velmar-sim
// quotes texts.
std::string Requoted(const std::string& rendered)
{
    if (rendered.size() < 2 || rendered.front() != '"' || rendered.back() != '"')
        return rendered;
    return sim::QuoteShown(std::string_view(rendered).substr(1, rendered.size() - 2));
}

std::string AnswerName(long answer)
{
    switch (answer) {
    case IDOK: return "ok";
    case IDCANCEL: return "cancel";
    case IDYES: return "yes";
    case IDNO: return "no";
    default: return std::to_string(answer);
    }
}

// Prints, in the order they came, the calls the reference book received and the questions the user
// was asked.
class Reporter {
public:
    Reporter(sim::Velmar& velmar, sim::ReferenceBook& book, std::vector<std::string> answerLabels)
        : velmar_(velmar), book_(book), answerLabels_(std::move(answerLabels))
    {
    }

    void Flush()
    {
        const auto& calls = velmar_.Journal().Calls();
        for (; call_ < calls.size(); ++call_)
            PrintCall(calls[call_]);
        const auto& questions = velmar_.User().Questions();
        for (; question_ < questions.size(); ++question_) {
            const sim::Question& question = questions[question_];
            // The user's answers in a drawing: Velmar's own placement, a leader drawn, a point asked for.
            if (question.kind == "placement" || question.kind == "leader" || question.kind == "point") {
                const std::wstring given = V_VT(&question.answer) == VT_BSTR ? V_BSTR(&question.answer) : L"";
                PrintEvent("user", question.kind + (question.text.empty() ? "" : " " + Quote(question.text)) + " -> " +
                                       sim::Utf8(given) + (question.answered ? "" : " (none queued)"));
                continue;
            }
            // A panel run takes its script as its answer; the panel's own log tells what happened in it.
            if (question.kind != "message" && question.kind != "dialog")
                continue;
            const std::string answer = " answer=" + AnswerName(static_cast<long>(question.answer)) +
                                       (question.answered ? "" : " (its default button)");
            if (question.kind == "dialog") {
                PrintEvent("dialog", "caption=" + Quote(question.caption) + answer);
                continue;
            }
            const bool asks = (question.flags & 0xF) != MB_OK;
            PrintEvent(asks ? "question" : "message box", "caption=" + Quote(question.caption) + " text=" + Quote(question.text) + answer);
        }
    }

private:
    void PrintCall(const sim::Call& call)
    {
        if (call.object != "client" && call.object != "response" && call.object != "objectResponse")
            return;
        const auto member = ProviderMembers.find(call.member);
        if (call.object == "client" && call.member == 30) {
            PrintSelect();
            return;
        }
        // The journal's texts as every line quotes them.
        sim::Call shown = call;
        shown.value = Requoted(shown.value);
        for (std::string& rendered : shown.args)
            rendered = Requoted(rendered);
        std::string text = shown.Text();
        if (call.object == "client" && member != ProviderMembers.end()) {
            const std::string key = "client#" + std::to_string(call.member);
            if (text.compare(0, key.size(), key) == 0)
                text = "client." + std::string(member->second) + text.substr(key.size());
        }
        PrintEvent("reference book", text);
    }

    void PrintSelect()
    {
        const auto& selections = book_.Selections();
        if (select_ >= selections.size())
            return;
        const sim::SelectCall& call = selections[select_++];
        std::string text = "client.Select(command=" + std::to_string(call.command) + ", params=" + Quote(call.params) +
                           ", location=" + Quote(call.location) + ", owner=" + Hex(call.ownerWindow, 8) + ")";
        if (call.answered && answered_ < answerLabels_.size())
            text += " -> " + answerLabels_[answered_++];
        else
            text += " -> nothing chosen (no answer queued)";
        PrintEvent("reference book", text);
    }

    sim::Velmar& velmar_;
    sim::ReferenceBook& book_;
    std::vector<std::string> answerLabels_;
    size_t call_ = 0;
    size_t question_ = 0;
    size_t select_ = 0;
    size_t answered_ = 0;
};

// The library as Velmar reaches it: by its exports' names.
struct Library {
    HMODULE module = nullptr;
    int(WINAPI* notifyEntry)(IDispatch*) = nullptr;
    const wchar_t*(WINAPI* displayName)() = nullptr;
    const wchar_t*(WINAPI* helpFile)() = nullptr;
    void(WINAPI* entry)(unsigned) = nullptr;
    unsigned(WINAPI* menuId)() = nullptr;
    int(WINAPI* toolBarId)(int, int) = nullptr;
    ObjectEntry objectEntry = nullptr;               // resolved when hot points are asked for

    template <class F>
    void Resolve(F& function, const char* name)
    {
        function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
        if (!function)
            throw LoadError(std::string("the library has no export ") + name);
    }
};

Library LoadLibraryExports(const std::wstring& path)
{
    Library library;
    library.module = LoadLibraryW(path.c_str());
    if (!library.module)
        throw LoadError("cannot load " + sim::Utf8(path) + " (error " + std::to_string(GetLastError()) + ")");
    try {
        library.Resolve(library.notifyEntry, "LibInterfaceNotifyEntry");
        library.Resolve(library.displayName, "DisplayLibraryNameW");
        library.Resolve(library.helpFile, "LIBRARYHELPFILEW");
        library.Resolve(library.entry, "LIBRARYENTRY");
        library.Resolve(library.menuId, "LIBRARYID");
        library.Resolve(library.toolBarId, "LibToolBarId");
    } catch (...) {
        FreeLibrary(library.module);
        throw;
    }
    return library;
}

// The menu Velmar builds from the library's menu resource: one line per item, the command number first.
void PrintMenu(const Library& library)
{
    const unsigned id = library.menuId();
    HMENU menu = LoadMenuW(library.module, MAKEINTRESOURCEW(id));
    if (!menu) {
        PrintEvent("menu", std::to_string(id) + " (no such menu)");
        return;
    }
    const int count = GetMenuItemCount(menu);
    for (int item = 0; item < count; ++item) {
        wchar_t text[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(item), text, 256, MF_BYPOSITION);
        PrintEvent("menu", std::to_string(GetMenuItemID(menu, item)) + " " + Quote(text));
    }
    DestroyMenu(menu);
}

// The toolbar's command list: 16-bit command numbers up to the terminator 0xFFFF.
void PrintToolbar(const Library& library)
{
    const int id = library.toolBarId(1, 0);
    std::string commands;
    if (HRSRC found = FindResourceW(library.module, MAKEINTRESOURCEW(id), RT_RCDATA)) {
        const auto* list = static_cast<const unsigned short*>(LockResource(LoadResource(library.module, found)));
        const size_t size = SizeofResource(library.module, found) / sizeof(unsigned short);
        for (size_t i = 0; list && i < size && list[i] != 0xFFFF; ++i)
            commands += (commands.empty() ? "" : " ") + std::to_string(list[i]);
    }
    PrintEvent("toolbar", commands.empty() ? std::to_string(id) + " (no command list)" : commands);
}

// The library's help command opens the file it names to Velmar: which one, and whether it is there.
constexpr unsigned HelpCommand = 7;

void PrintHelpFile(const Library& library)
{
    const std::wstring path = library.helpFile();
    PrintEvent("help file", Quote(path) + (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ? ", not there" : ", there"));
}

void PrintTraceLog(const std::wstring& archive)
{
    const std::optional<std::wstring> log = ReadDebugLog(archive);
    if (!log) {
        PrintEvent("trace log", "(the saved archive could not be read)");
        return;
    }
    PrintEvent("trace log", "");
    size_t start = 0;
    while (start < log->size()) {
        size_t end = log->find(L"\r\n", start);
        if (end == std::wstring::npos)
            end = log->size();
        // The log indents by tabs, which the output would show escaped: two spaces each.
        std::wstring line = log->substr(start, end - start);
        const size_t indent = std::min(line.find_first_not_of(L'\t'), line.size());
        line.replace(0, indent, std::wstring(2 * indent, L' '));
        PrintLine("  | " + sim::Utf8(line));
        start = end + 2;
    }
}

void PrintDocument(sim::Velmar& velmar)
{
    const sim::Document* document = velmar.ActiveDocument();
    if (!document) {
        PrintEvent("document", "none");
        return;
    }
    PrintEvent("document", "type " + std::to_string(document->Type()));
}

// The spc objects of a bill-of-materials document, which has no geometry to list them under.
constexpr int BillOfMaterialsDocument = 3;

void PrintSpcObjects(sim::Document& document)
{
    for (sim::SpcObject* object : document.Spc().Objects())
        PrintEvent("spc object", object->Describe() + object->DescribeComments());
}

void Run(const RunnerOptions& options)
{
    const std::wstring libraryPath =
        options.library.empty() ? RunnerFolder() + L"normset.dll" : sim::WindowsPath(options.library);
    const sim::ModelCatalogue catalogue = LoadCatalogue(options.models);
    std::vector<sim::SelectAnswer> answers;
    std::vector<std::string> labels;
    const ModelFolder models(catalogue);
    for (const auto& given : options.bookAnswers) {
        sim::SelectAnswer answer;
        answer.command = given.command;
        answer.location = given.location;
        // A part chosen is chosen where the book stood: a hole or a set keeps the location as its identity.
        answer.keepsLocation = given.response && given.location.empty();
        if (given.response) {
            answer.responseXml = models.Resolve(LoadResponse(*given.response));
            labels.push_back("response " + Quote(*given.response));
        } else if (given.command != 0) {
            labels.push_back("command " + std::to_string(given.command) + ", location " + Quote(given.location) +
                             ", no response");
        } else {
            labels.push_back("closed without a choice");
        }
        answers.push_back(answer);
    }

    std::vector<std::wstring> scripts;
    for (const std::wstring& given : options.panelScripts)
        scripts.push_back(LoadPanelScript(given));
    HotPointSession hotPoints;
    const bool asksHotPoints = options.hotPoints || options.dragResponse || !options.drags.empty();
    if (options.hotPoints)
        hotPoints.hotPointText = sim::ReferenceBookLines(FileOrSample("hot points", *options.hotPoints, sim::SampleHotPoints));
    if (options.dragResponse)
        hotPoints.dragResponse = models.Resolve(LoadResponse(*options.dragResponse));
    hotPoints.drags = options.drags;

    sim::ComApartment com;
    sim::Velmar velmar({options.major, options.minor, options.release, 0});
    // Its main window is the first window of the run, made before anything is printed.
    if (!velmar.MainWindow())
        throw NoWindowsError("no window can be opened (Wine's desktop is not ready); nothing was run");
    // Every 3D document has the named assembly panel scripts pick from (sim/panel_scene.h).
    std::optional<sim::Geometry> scene;
    std::optional<sim::Assembly> assembly;
    std::optional<sim::Construction> made;
    std::optional<sim::ScriptedElements> elements;
    std::optional<sim::Leaders> leaders;
    std::optional<sim::Patterns> patterns;
    std::optional<sim::MacroElements> macros;
    UserDrawn drawn;
    sim::Document* opened = nullptr;
    if (options.documentType) {
        sim::Document& document = velmar.OpenDocument(options.documentType);
        opened = &document;
        // The bill of materials shows the designation of what is inserted.
        document.Spc().DefineColumnA({5, 1, L"Обозначение"});
        if (options.idColumn)
            document.Spc().DefineColumnB({IdColumnType, IdColumnNumber, IdColumnName});
        if (document.Is3D()) {
            scene.emplace(velmar);
            sim::BuildPanelScene(velmar, *scene, document);
            assembly.emplace(velmar, *scene, document, catalogue);
            // What the library and part scripts build in the assembly, and the plate holes go into.
            made.emplace(velmar, document, *scene->topPart);
            sim::AddPlateEdges(*scene, *made, sim::BuildPlate(velmar, *scene, *made));
            // The measurer answers any two faces picked with the plate's thickness and a right angle.
            made->Measurer().Value(IVel5Measurer::Distance) = 20.0;
            made->Measurer().Value(IVel5Measurer::Angle) = 90.0;
            elements.emplace(velmar, *scene, *made, document, *scene->topPart);
            // Position leaders, arrays and the macro elements of fastener sets.
            leaders.emplace(velmar, document);
            patterns.emplace(velmar, document);
            macros.emplace(velmar, *scene, document, *scene->topPart);
        }
    }
    velmar.Drawings().AddFragment(sim::SampleWasher(models.Path()));
    // Part scripts get a RAZadi to write to.
    sim::UtilityClasses utilities(velmar.GetSession());
    sim::ReferenceBook book(velmar.GetSession());
    DescribeSampleObjectData(book);
    std::vector<sim::Part*> libraryComponents;
    if (scene)
        libraryComponents = PlaceLibraryComponents(options, models, velmar, *scene, book);
    else if (!options.components.empty())
        throw UsageError("--component needs a 3D document (--doc-type 4, 5 or 7)");
    for (auto& answer : answers) {
        // The reference book knows the parts it hands out: 31 finds each by its identifier.
        if (answer.responseXml)
            book.AddPlacedResponse(*answer.responseXml);
        book.QueueSelect(std::move(answer));
    }
    const std::pair<const char*, const std::vector<std::wstring>*> userAnswers[] = {
        {"placement", &options.placements}, {"leader", &options.leaders}, {"point", &options.points}};
    for (const auto& [kind, given] : userAnswers)
        for (const std::wstring& answer : *given)
            velmar.User().Answer(kind, _variant_t(answer.c_str()));
    for (long answer : options.answers)
        velmar.User().Answer("message", _variant_t(answer));
    for (const std::wstring& script : scripts)
        velmar.User().Answer("panel", _variant_t(script.c_str()));

    const RunRegistry registry;
    Library library = LoadLibraryExports(libraryPath);
    {
        Reporter reporter(velmar, book, labels);
        DialogAnswerer answerer(velmar.User(), [&] { reporter.Flush(); });
        velmar.User().asked = [&] { reporter.Flush(); };
        velmar.Panels().OnLog = [&](const std::string& line) {
            reporter.Flush();
            PrintEvent("panel", line);
        };
        // A mate's objects by the names the rest of the output gives them.
        velmar.Panels().NameObject = [&](IUnknown* object) {
            return ObjectName(velmar, scene ? &*scene : nullptr, object);
        };
        PrintEvent("velmar", std::to_string(options.major) + "." + std::to_string(options.minor) + "." +
                                 std::to_string(options.release) + ", document " +
                                 (options.documentType ? "type " + std::to_string(options.documentType) : "none"));
        PrintEvent("notify", std::to_string(library.notifyEntry(velmar.Application5())));
        PrintEvent("library", Quote(library.displayName()));
        PrintEvent("help", Quote(library.helpFile()));
        PrintMenu(library);
        PrintToolbar(library);
        OtherProgram other(library.module, velmar, book,
                           [&models](const std::wstring& given) { return models.Resolve(LoadResponse(given)); });
        auto runActions = [&](size_t commandsRun) {
            for (const RunnerAction& action : options.actions) {
                if (action.afterCommands != commandsRun)
                    continue;
                reporter.Flush();
                if (action.name == L"select" || action.name == L"arrange" || action.name == L"callout") {
                    if (!assembly)
                        throw UsageError("--select, --arrange and --callout need an assembly: a 3D document (--doc-type 4 to 7)");
                    Prepare(action, *opened, *assembly, libraryComponents, *leaders, *patterns, drawn);
                } else if (action.name == L"spc-comment") {
                    CommentSpcObjects(velmar, action.argument);
                } else if (action.name == L"spc-text") {
                    TypeIntoSpcObject(velmar, ParseSpcText(action.argument));
                } else if (action.name == L"attach-line") {
                    AttachLine(velmar, scene ? &*scene : nullptr, assembly ? &*assembly : nullptr, action.argument);
                } else {
                    other.Run(action);
                }
                reporter.Flush();
            }
        };
        if (leaders)
            PrintLibraryComponents(velmar, *leaders, libraryComponents, "before");
        runActions(0);
        for (size_t i = 0; i < options.commands.size(); ++i) {
            const unsigned command = options.commands[i];
            reporter.Flush();
            PrintEvent("command", std::to_string(command));
            library.entry(command);
            reporter.Flush();
            if (command == HelpCommand)
                PrintHelpFile(library);
            if (const std::optional<std::wstring> archive = answerer.TakeSavedArchive())
                PrintTraceLog(*archive);
            runActions(i + 1);
        }
        reporter.Flush();
        PrintDocument(velmar);
        if (assembly)
            PrintComponents(*assembly, *leaders);
        if (scene) {
            const std::vector<sim::Part*> started = LibraryComponentsNow(velmar, *scene, *assembly, libraryComponents);
            PrintLibraryComponents(velmar, *leaders, started, "after");
            if (velmar.ActiveDocument() == opened)
                PrintSpcObjectsOfNoComponent(*opened, *assembly, *leaders, started);
        }
        if (velmar.ActiveDocument() && velmar.ActiveDocument()->Is2D())
            PrintPlacedParts(velmar, *velmar.ActiveDocument());
        else if (velmar.ActiveDocument() && velmar.ActiveDocument()->Type() == BillOfMaterialsDocument)
            PrintSpcObjects(*velmar.ActiveDocument());
        if (elements)
            PrintElements(*elements);
        if (leaders)
            PrintAssemblyObjects(velmar, *scene, *leaders, *patterns, *macros, drawn.arrays);
        if (asksHotPoints) {
            library.Resolve(library.objectEntry, "LibObjInterfaceEntry");
            hotPoints.entry = library.objectEntry;
            hotPoints.flush = [&] { reporter.Flush(); };
            hotPoints.printDocument = [&] { PrintPlacedParts(velmar, *velmar.ActiveDocument()); };
            CallHotPoints(velmar, book, hotPoints);
        }
        if (book.PendingSelectAnswers())
            PrintEvent("reference book", std::to_string(book.PendingSelectAnswers()) + " queued answer(s) not asked for");
        if (velmar.User().Pending("message"))
            PrintEvent("user", std::to_string(velmar.User().Pending("message")) + " queued answer(s) not asked for");
        if (velmar.User().Pending("panel"))
            PrintEvent("panel", std::to_string(velmar.User().Pending("panel")) + " queued script(s) not run");
        for (const char* kind : {"placement", "leader", "point"})
            if (velmar.User().Pending(kind))
                PrintEvent("user", std::to_string(velmar.User().Pending(kind)) + " queued " + kind + " answer(s) not asked for");
        for (const std::string& problem : velmar.Panels().Problems())
            PrintEvent("panel problem", problem);
        velmar.User().asked = nullptr;
        velmar.Panels().OnLog = nullptr;
        velmar.Panels().NameObject = nullptr;
    }
    // The library lets go of Velmar's and the reference book's objects before they go.
    FreeLibrary(library.module);
}

std::vector<std::wstring> Arguments()
{
    int count = 0;
    LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 1; i < count; ++i)
        arguments.emplace_back(list[i]);
    LocalFree(list);
    return arguments;
}

// A fault in the run, the library's or velmar-sim's own, ends it at once with what it printed, one line
// saying so and exit code 4, rather than with Wine's debugger, which waits for someone to close it.
LONG WINAPI ReportFault(EXCEPTION_POINTERS* pointers)
{
    std::fflush(stdout);
    std::fprintf(stderr, "velmar-sim: the run faulted (exception 0x%08lx)\n",
                 static_cast<unsigned long>(pointers->ExceptionRecord->ExceptionCode));
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 4);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

int main()
{
    SetUnhandledExceptionFilter(&ReportFault);
    PrepareOutput();
    sim::ShowTextsEscaped();
    try {
        const RunnerOptions options = ParseOptions(Arguments());
        if (options.help)
            std::printf("%s\n", Usage);
        else
            Run(options);
        // The last line of every run that ended as it meant to: a Wine server that ends under the run ends
        // the process without a word and with any exit code, and the script tells the two apart by it.
        PrintEvent("end", "exit code 0");
        return 0;
    } catch (const UsageError& error) {
        std::fprintf(stderr, "velmar-sim: %s\n%s\n", Printable(error.what()).c_str(), Usage);
        return 2;
    } catch (const ModelError& error) {
        std::fprintf(stderr, "velmar-sim: %s\n", Printable(error.what()).c_str());
        return 2;
    } catch (const InputError& error) {
        std::fprintf(stderr, "velmar-sim: %s\n", Printable(error.what()).c_str());
        return 2;
    } catch (const NoWindowsError& error) {
        std::fprintf(stderr, "velmar-sim: %s\n", error.what());
        return 5;
    } catch (const LoadError& error) {
        std::fprintf(stderr, "velmar-sim: %s\n", Printable(error.what()).c_str());
        return 3;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "velmar-sim: %s\n", Printable(error.what()).c_str());
        return 3;
    } catch (const _com_error& error) {
        std::fprintf(stderr, "velmar-sim: the stand-in failed (0x%08lx)\n", static_cast<unsigned long>(error.Error()));
        return 3;
    }
}
