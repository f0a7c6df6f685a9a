#pragma once
// The drawings of the stand-in Velmar: what a drawing or fragment (document types 1 and 2) and a
// temporary document of a fragment insertion hold, served at the 2D document's dispatch ids
// (IVel5Document2D), and what all drawings share: one numbering of object references, Velmar's
// clipboard, the fragment libraries, the iterators and the version-7 drawing objects.
//
// Objects are numbered 101, 102, ... across drawings, with a type (1 segment, 3 circle, 21 leader,
// 27 macro, and whatever a fragment brings) and the parameters their structure reads (8). A macro
// (11 ... 19) and a group (24 ... 25) are brackets: whatever is drawn (the script names "Segment" 2 and
// "Circle" 4) or ended while one is open goes into the one opened last. A group stays temporary until it
// is stored (63): its objects do not show among the drawing's objects, and a group nobody stores is
// discarded. 14 replaces a macro's contents by a group's; 53, 63, 34 commit a group; 158 places a macro
// (flag 1 by offset and angle, 0 absolutely), 157 reads its placement; 136 and 137 keep a user-data block
// on a macro; 38 highlights; 34 deletes (a macro or group with what it holds); 39 finds the object whose
// point (a macro's placement, a leader's shelf, the start of a segment or of a line of type 28 or 48, an arc's or circle's centre) lies within 1 of the
// point asked. 114 makes a leader from a leader structure (kind 61; 8 reads one back into it), 42 lets
// the scripted user draw one. 117, 118 and 42 ask the scripted user ("point": "X,Y" or "end";
// "placement": "X,Y,ANGLE" or "cancel"; "leader": "X,Y" or "none"); unanswered, they end. 69 writes a group
// to the clipboard, 71 reads it into a new group. 122 is the fragment service (1 a definition of a
// catalogue entry, 9 inserts it), 160 and 161 its document variables, 183 settles its objects into the
// drawing. 1 is the drawing's reference, 33 the macro the user selected (a test sets it), 211 its
// spc mode, 177 its bill of materials. The attribute manager keeps attributes of macros (6, 7).
//
// Fastener sets: 245 brackets an insertion (true opens, false closes; one left open is listed with the
// brackets), 54 opens an ended macro again, 88 gives a macro's bounding rectangle in the drawing's
// coordinates into a rectangle structure (kind 15), and the cut is the project's reading of Velmar's
// 65, 167 and 63: 65 puts an object into a group (remembering where it was), 167 (group, outline group,
// -1) records the cut of the group's objects by the outline's extent (Cuts()), puts them back where
// they were and uses the outline up, so that 63 then stores an empty group. Application 8 is the 2D
// math object: its 5 (x1, y1, x2, y2) gives the direction's angle in degrees, -180 to 180.
//
// Iterators (application 7) walk the temporary document while one is open, else the active drawing:
// 2 over objects of a type (0 any) at the top level (0) or inside a macro, 4 over the attributes of a
// type of an object, 3 steps ("F", "N"), 9 closes. Leaders, point lists (application 39 with 2), leader
// structures and variable lists keep their data as plain values.
//
// The measure tools: 117 with a request info whose 5 is 1 is a pick. The library registered its filter
// export with the request's 12 (name and module handle, resolved as sim/library_export.h says; a program
// that links the library statically links the function with LinkMeasureFilter). The "point" answer lists
// cursor positions "X,Y; X,Y; ...": Velmar calls the filter with each, the last as the click that ends
// the pick (sixth argument 0, the others 1), and answers -1 with the click's point; a list ending in
// "end" ends without a click (0). The phantom (kind 6) gives its point sub-object at 2 when its 1 is 2 (a
// rubber line), its parameters otherwise. 54 reopens a macro, so that 39 finds the macro's own objects
// until 19 ends it; 107 opens a local coordinate system (x, y, angle in degrees) and 108 closes it; 109
// gives a point in the coordinates of the local systems open. The application's 8 is the mathematics
// object: 5 the direction in degrees (0 to 360) of the line between two points, 40 the length of a segment
// or circle (0 for other objects).
//
// A bracket, local system or iterator left open is a fault of the library: Velmar::OpenBrackets() lists
// them and StandInTest fails on any, as on Problems() (a filter that cannot be resolved). TemporaryOpen()
// tells a temporary document not closed.
#include "sim/sim_object.h"
#include "sim/spc_model.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sim {

class Velmar;
class Drawings;

struct DrawPoint {
    double x = 0;
    double y = 0;
    bool operator==(const DrawPoint&) const = default;
};

// A leader's parameters as a kind-61 structure carries them.
struct LeaderData {
    std::map<int, _variant_t> settings;            // properties 1 to 5
    std::vector<std::vector<DrawPoint>> branches;  // each branch a list of points
    std::vector<std::wstring> texts;
};

struct MacroAttribute {
    long reference = 0;
    double type = 0;
    std::wstring library;
    std::vector<std::wstring> texts;
    std::vector<short> flags;
};

struct DrawnObject {
    long reference = 0;
    long type = 0;
    bool isGroup = false;
    bool open = false;                      // a bracket not ended yet
    bool deleted = false;
    long owner = 0;                         // the macro or group that holds it; 0: the drawing
    long ownerBefore = 0;                   // where 65 took it from
    std::map<int, _variant_t> params;       // what its parameter structure reads
    bool highlighted = false;
    bool reopened = false;                  // a macro reopened (54): 39 finds its own objects
    bool unreadable = false;                // 8 answers 0 when asked to fill a structure
    // Macros.
    double x = 0;
    double y = 0;
    double angle = 0;
    std::optional<std::vector<std::uint8_t>> block;
    std::wstring blockLibName;
    std::wstring blockLibFileName;
    std::vector<MacroAttribute> attributes;
    // Leaders.
    LeaderData leader;
    // Fragments inserted and not settled yet: the catalogue entry and its variables.
    long fragmentEntry = -1;
    std::vector<std::pair<std::wstring, double>> variables;
};

// An object of a fragment library as the catalogue describes it.
struct CatalogueObject {
    long type = 0;
    std::map<int, _variant_t> params;
    std::vector<CatalogueObject> contents;   // what a macro among them holds
};

// A fastener set's cut (167): the objects cut, and the outline's extent they were cut by.
struct CutRecord {
    std::vector<long> cut;
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
};

struct FragmentEntry {
    std::wstring library;    // the library file, as the reference names it (compared without case)
    std::wstring name;
    std::vector<CatalogueObject> objects;
    std::vector<std::pair<std::wstring, double>> variables;
};

class Drawing {
public:
    Drawing(Drawings& model, Object& v5, std::string name, long reference);

    Object& V5() { return v5_; }
    const std::string& Name() const { return name_; }
    long Reference() const { return reference_; }

    // The objects the drawing shows at its top level (committed), in the order made.
    std::vector<long> Objects() const;
    // What a macro or group holds, in the order added.
    std::vector<long> Contents(long owner) const;
    DrawnObject* Find(long reference);
    // The brackets still open, as "macro 105" or "group 104".
    std::vector<std::string> OpenBrackets() const;
    void ForgetInsertionBrackets() { insertions_ = 0; }

    // Objects a test puts there: at the top level, or inside a macro or group.
    long Add(long type, std::map<int, _variant_t> params = {}, long owner = 0);
    long AddMacro(double x = 0, double y = 0, long owner = 0);
    long AddLeader(const LeaderData& leader);
    // What the user deletes (and 34): the object and everything it holds.
    void Delete(long reference);

    // A placed part as velmar-sim prints it: the macro's reference, placement and identity (the texts of
    // its user-data block), what it holds, its spc objects in the bill of materials with their leaders.
    std::vector<std::string> Describe(long macro, SpcModel& spc);
    // What the placed parts' descriptions leave out, as velmar-sim prints it after them: every leader no spc
    // object holds, then every spc object that holds no placed part, with the leaders it holds.
    std::vector<std::string> DescribeLeftovers(SpcModel& spc);

    // The next `times` calls of 14 answer 0 and change nothing, after `after` calls answered as usual.
    void RefuseMacroFill(int times, int after = 0) { refuseFill_ = times, fillsBeforeRefusal_ = after; }
    // The next `times` calls of 54 answer 0 and open nothing.
    void RefuseReopen(int times) { refuseReopen_ = times; }
    // The cuts made (167), in order.
    const std::vector<CutRecord>& Cuts() const { return cuts_; }
    // The texts of a macro's user-data block (library name, Quarvend id, NM_ID, name, body); none without one.
    std::vector<std::wstring> IdentityOf(long macro);
    // Every prompt a placement or point request showed, in order.
    const std::vector<std::wstring>& Prompts() const { return prompts_; }
    // Each cursor position a pick offered to the filter, with the filter's answer:
    // "move 3, 4: 1", "click 3, 4: 0".
    const std::vector<std::string>& Picks() const { return picks_; }

private:
    friend class Drawings;
    void Serve();
    long New(long type, long owner);
    long Innermost() const;
    DrawnObject& Require(long reference, bool groupWanted = false);
    _variant_t PlacementRequest(Args& args);
    _variant_t PointRequest(Args& args);
    _variant_t PickRequest(Args& args, Object& request, const std::wstring& answer);
    void ServeMeasures();
    _variant_t DrawLeader(Args& args);
    void ReadParams(DrawnObject& object, Object& structure);
    std::optional<DrawPoint> PointOf(const DrawnObject& object) const;
    // What a macro holds, in the coordinates its placement (and those of the macros holding it) give.
    void Extent(long reference, double x, double y, double angle, std::vector<DrawPoint>& points);
    _variant_t Cut(Args& args);
    // A macro's lines: the first with label, the members of a fastener set as lines of their own.
    void DescribeMacro(long macro, const std::string& indent, const std::string& label, std::vector<std::string>& lines);
    // An spc object's section, columns and comments; a leader's reference and shelf.
    std::string SpcLine(const SpcObject& object) const;
    std::string LeaderLine(long reference);
    // Whether the spc object includes the drawing's object.
    bool Holds(const SpcObject& object, long reference);
    // The objects of a type at the drawing's top level, in the order made.
    std::vector<long> TopLevel(long type) const;

    Drawings& model_;
    Object& v5_;
    std::string name_;
    long reference_;
    std::deque<DrawnObject> objects_;
    std::vector<long> openBrackets_;
    std::vector<std::wstring> prompts_;
    std::vector<std::string> picks_;
    struct LocalSystem {
        double x, y, angle;
    };
    std::vector<LocalSystem> localSystems_;
    ObjectRef fragments_;
    int refuseFill_ = 0;
    int fillsBeforeRefusal_ = 0;
    int refuseReopen_ = 0;
    int insertions_ = 0;            // insertion brackets (245) opened and not closed
    std::vector<CutRecord> cuts_;
};

// The library's 2D measure filter, as Velmar's cursor process calls it.
using MeasureFilterProc2D = int(WINAPI*)(LONG_PTR, double* x, double* y, LONG_PTR, LONG_PTR, int moving);

class Drawings {
public:
    explicit Drawings(Velmar& velmar);
    ~Drawings();
    Drawings(const Drawings&) = delete;
    Drawings& operator=(const Drawings&) = delete;

    // The drawing of a 2D document's version-5 object (made once).
    Drawing& Serve(Object& v5, const std::string& name);
    // A new temporary document (application 4): a drawing opened by 152, closed by 151.
    ObjectRef NewTemporaryDocument();
    Drawing* Of(Object& v5);
    Drawing* Owning(long reference);
    // The open temporary document, else the active document's drawing; null when neither.
    Drawing* Walked();

    // Parameter structures and lists of the drawing model (application 9 with 61, 39 with 2).
    ObjectRef NewLeaderStructure();
    ObjectRef NewPointList();
    // A phantom (kind 6) whose parameters (2) tell the group it shows (5).
    ObjectRef NewPhantom();
    // A request info (kind 10) whose 12 registers the filter of a pick.
    ObjectRef NewRequestInfo();
    void LinkMeasureFilter(MeasureFilterProc2D filter) { linkedFilter_ = filter; }
    const std::vector<std::string>& Problems() const { return problems_; }
    // The version-7 drawing object of a reference (application 112); null for an unknown reference.
    Object* DrawingObject(long reference);
    ObjectRef NewIterator();

    // Fragment libraries the fragment service knows; a test or velmar-sim adds them.
    void AddFragment(FragmentEntry entry) { catalogue_.push_back(std::move(entry)); }
    const std::vector<FragmentEntry>& Catalogue() const { return catalogue_; }
    // The library references the fragment service was asked for, in order.
    const std::vector<std::wstring>& LibrariesAsked() const { return librariesAsked_; }
    // The document variables each settled fragment had, in order of settling.
    const std::vector<std::vector<std::pair<std::wstring, double>>>& VariablesSettled() const { return settled_; }
    // Velmar's clipboard: the objects last copied to it (with what macros among them hold).
    const std::vector<CatalogueObject>& Clipboard() const { return clipboard_; }

    std::vector<std::string> OpenBrackets() const;
    // An iterator, insertion bracket (245) or temporary document whose closing call failed stays open: a
    // test that goes on in the same session after such a failure lets Velmar forget them.
    void ForgetLeftOpen();
    // A temporary document opened (152) and not closed (151) yet.
    bool TemporaryOpen() const { return openTemporary_ != nullptr; }
    long NewReference() { return nextReference_++; }
    Velmar& GetVelmar() { return velmar_; }

private:
    friend class Drawing;
    struct ListData;
    ListData* ListOf(IUnknown* object);
    LeaderData* LeaderOf(IUnknown* object);
    ObjectRef NewList(const std::string& name, std::shared_ptr<ListData> data);

    Velmar& velmar_;
    std::deque<std::unique_ptr<Drawing>> drawings_;
    std::map<Object*, Drawing*> byObject_;
    Drawing* openTemporary_ = nullptr;
    long nextReference_ = 101;
    long nextDocument_ = 1;
    std::map<long, ObjectRef> drawingObjects_;
    std::map<Object*, std::shared_ptr<ListData>> lists_;
    std::map<Object*, std::shared_ptr<LeaderData>> leaders_;
    ObjectRef math_;
    std::vector<FragmentEntry> catalogue_;
    std::vector<std::wstring> librariesAsked_;
    std::vector<std::vector<std::pair<std::wstring, double>>> settled_;
    std::vector<CatalogueObject> clipboard_;
    int openIterators_ = 0;
    // The filters registered on request infos (12): the export's name and the module handle.
    std::map<Object*, std::pair<std::wstring, long>> filters_;
    MeasureFilterProc2D linkedFilter_ = nullptr;
    std::vector<std::string> problems_;
};

// The one reader of the numbers the scripted user and velmar-sim's options give: a plain decimal number
// ("-12.5", "1e3"), spaces around it allowed, and finite; nothing for anything else ("0x10", "inf", "1e400").
std::optional<double> ParseNumber(const std::wstring& text);

// "X,Y" and "X,Y,ANGLE" answers of the scripted user, each number as ParseNumber reads it; nothing for
// any other text.
std::optional<std::vector<double>> ParseNumbers(const std::wstring& text, size_t count);

} // namespace sim
