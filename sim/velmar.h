#pragma once
// The stand-in Velmar: an application with both faces, a host version, a real hidden main window,
// documents of every type with an active one, and a small 3D object graph. Every call on its objects is
// journaled; faults and the scripted user come from its session.
//
//   sim::Velmar velmar({15, 0, 1, 4711});
//   sim::Document& doc = velmar.OpenDocument(5);          // an assembly, now active
//   ... the library works on velmar.Application5() / Application7() ...
//   EXPECT_EQ(velmar.Journal().Lines(), (std::vector<std::string>{"app5.50(&,&,&,&)"}));
//
// The application's version-5 members: 3 and 5 the active 3D and 2D document, 4 a new temporary 2D
// document, 9 a parameter structure of a kind (every dispatch id of it a stored property), 11 the active
// specification document, 16 (answers 0), 21 the main window, 50 the version, 103 the version-7
// application, 108 the twin of an object in the other layer, 109 one of Velmar's commands (57643 takes
// the last undo step back, sim/undo_log.h), 112 the version-7 object of a 2D reference (with a sketch's
// group first: of a sketch's 2D object). Version-7 members: 19 the active document, 21 the last error for a text, 25 the edit switch, 34 the
// message box, answered by the scripted user (kind "message"; unanswered: IDOK). The attribute model
// adds 43, 47 and the attribute headers of 9 with 38 (sim/attribute_model.h), the property model 45 and the component property manager of
// the version-7 application (sim/property_model.h); every document has its spc model
// (sim/spc_model.h). The panels' property manager (version-7 15, with 16 ending a 2D process) and the
// processes (version-5 24 before each) are the panel model's (sim/panel_model.h).
#include "sim/attribute_model.h"
#include "sim/document.h"
#include "sim/drawing.h"
#include "sim/panel_events.h"
#include "sim/model_files.h"
#include "sim/panel_model.h"
#include "sim/part_graph.h"
#include "sim/property_model.h"
#include "sim/user_params.h"

#include <deque>
#include <functional>
#include <memory>
#include <unordered_map>
#include <string>
#include <vector>

namespace sim {

struct HostVersion {
    long major = 15;
    long minor = 0;
    long release = 1;
    long build = 0;
};

class Velmar {
public:
    explicit Velmar(HostVersion version = {});
    Velmar(Session& shared, HostVersion version = {});
    ~Velmar();
    Velmar(const Velmar&) = delete;
    Velmar& operator=(const Velmar&) = delete;

    Session& GetSession() { return *session_; }
    sim::Journal& Journal() { return session_->journal; }
    sim::Faults& Faults() { return session_->faults; }
    ScriptedUser& User() { return session_->user; }
    // Velmar's undo (sim/undo_log.h): 109 with 57643 takes the last step back.
    UndoLog& Undo() { return session_->undo; }

    IDispatchPtr Application5() { return app5_->Ptr(); }
    IDispatchPtr Application7() { return app7_->Ptr(); }
    Object& App5() { return *app5_; }
    Object& App7() { return *app7_; }
    HWND MainWindow() const { return window_; }
    void SetVersion(HostVersion version) { version_ = version; }

    Document& OpenDocument(int type, const std::string& name = "doc");   // becomes the active document
    void Activate(Document* document) { active_ = document; }           // null: no active document
    Document* ActiveDocument() const { return active_; }
    // A document closed (IVel7Document 13): it is no longer active.
    void Close(Document& document);
    // The documents collection (version-7 13): its 14 opens a document of a type and activates it, or
    // gives null while refused.
    void RefuseNewDocuments(bool refused) { refuseNewDocuments_ = refused; }
    size_t DocumentsOpened() const { return documents_.size(); }
    // The application's connection point (IVelApplicationEvents): "app5Points#4(events,&)",
    // "app5Point#5(sink,&)", "app5Point#6(cookie)".
    EventSource& Events() { return *events_; }

    Part& AddPart(const std::string& name);
    // The part an object is (its version-5 or version-7 part, feature or bridge); null for any other.
    Part* FindPart(IUnknown* object);
    Entity& AddEntity(const std::string& name, short type, std::vector<Part*> parts = {});
    // The version-7 object IVel5Application::SpcObjectAt gives for a reference (IVel7DrawingObject).
    Object& AddDrawingObject(long reference, const std::string& name);
    // The version-7 form of a sketch's 2D object, which 112 gives for the sketch's group and the reference.
    void AddSketchObject(long group, long reference, Object& object);
    void SetLastError(long code, const std::wstring& text);

    // Any further object of the model; it is detached with the model.
    ObjectRef NewObject(const std::string& name);
    // Two objects that stand for one thing in the two layers.
    void Twin(Object& v5, Object& v7);
    // The version-7 twin of an object; null when it has none.
    Object* TwinIn7(Object* v5) const;
    // A version-7 object of a part's geometry: 108 with (object, 1, 104) gives that part.
    void OwnedBy(Object& v7, Part& part) { partsOf_[&v7] = &part; }
    // What a part's 51 makes, when set (the leaders of a document, sim/leader_model.h).
    std::function<Object*(Part&)> leaderMaker;

    // Velmar's system folder, without a final "\\": the attribute and property libraries lie there.
    void SetSystemFolder(const std::wstring& folder) { systemFolder_ = folder; }
    const std::wstring& SystemFolder() const { return systemFolder_; }
    AttributeModel& Attributes() { return *attributes_; }
    PropertyModel& Properties() { return *properties_; }
    // User-parameter structures, arrays and the blocks parts keep (sim/user_params.h).
    sim::UserParams& UserParams() { return *userParams_; }
    // What the application's 109 was asked to run, in order.
    const std::vector<long>& CommandsRun() const { return commandsRun_; }
    PanelModel& Panels() { return *panels_; }
    // The drawings, Velmar's clipboard and the fragment libraries (sim/drawing.h).
    sim::Drawings& Drawings() { return *drawings_; }
    // What the library left open: brackets of drawings, iterators, a temporary document.
    std::vector<std::string> OpenBrackets() const { return drawings_->OpenBrackets(); }
    // Model files opened, changed and saved for a user part (sim/model_files.h).
    ModelFiles& Files() { return *modelFiles_; }

    const std::vector<ObjectRef>& Structures() const { return structures_; }
    const std::vector<ObjectRef>& TemporaryDocuments() const { return temporaryDocuments_; }

private:
    void BuildApplication5();
    void BuildApplication7();
    _variant_t ToLayer(Args& args);

    std::unique_ptr<Session> ownSession_;
    Session* session_;
    HostVersion version_;
    HWND window_ = nullptr;
    std::vector<ObjectRef> objects_;
    ObjectRef app5_;
    ObjectRef app7_;
    std::deque<Document> documents_;
    std::deque<Part> parts_;
    std::deque<Entity> entities_;
    Document* active_ = nullptr;
    std::unordered_map<Object*, Object*> twinsTo7_;
    std::unordered_map<Object*, Object*> twinsTo5_;
    std::unordered_map<Object*, Part*> partsOf_;
    std::vector<std::pair<long, ObjectRef>> drawingObjects_;
    std::vector<std::pair<std::pair<long, long>, ObjectRef>> sketchObjects_;
    std::vector<ObjectRef> structures_;
    std::vector<ObjectRef> temporaryDocuments_;
    std::unique_ptr<EventSource> events_;
    ObjectRef documents7_;
    bool refuseNewDocuments_ = false;
    long lastErrorCode_ = 0;
    std::wstring lastErrorText_;
    std::wstring systemFolder_ = L"C:\\Velmar\\Sys";
    std::unique_ptr<AttributeModel> attributes_;
    std::unique_ptr<PropertyModel> properties_;
    std::unique_ptr<sim::UserParams> userParams_;
    std::vector<long> commandsRun_;
    std::unique_ptr<PanelModel> panels_;
    std::unique_ptr<sim::Drawings> drawings_;
    std::unique_ptr<ModelFiles> modelFiles_;
};

} // namespace sim
