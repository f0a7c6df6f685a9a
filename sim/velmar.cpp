#include "sim/velmar.h"

#include "hostapi/velmar.h"

namespace sim {

namespace {

const wchar_t kWindowClass[] = L"VelmarStandInMainWindow";

HWND CreateMainWindow()
{
    static const ATOM registered = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassW(&windowClass);
    }();
    (void)registered;
    // Never shown: the owner of the library's dialogs and message boxes, as Velmar's frame window is.
    return CreateWindowExW(0, kWindowClass, L"Velmar", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 800, 600,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

} // namespace

Velmar::Velmar(HostVersion version) : ownSession_(std::make_unique<Session>()), session_(ownSession_.get()), version_(version)
{
    window_ = CreateMainWindow();
    BuildApplication5();
    BuildApplication7();
    attributes_ = std::make_unique<AttributeModel>(*this);
    properties_ = std::make_unique<PropertyModel>(*this);
    userParams_ = std::make_unique<sim::UserParams>(*this);
    panels_ = std::make_unique<PanelModel>(*this);
    drawings_ = std::make_unique<sim::Drawings>(*this);
    modelFiles_ = std::make_unique<ModelFiles>(*this);
}

Velmar::Velmar(Session& shared, HostVersion version) : session_(&shared), version_(version)
{
    window_ = CreateMainWindow();
    BuildApplication5();
    BuildApplication7();
    attributes_ = std::make_unique<AttributeModel>(*this);
    properties_ = std::make_unique<PropertyModel>(*this);
    userParams_ = std::make_unique<sim::UserParams>(*this);
    panels_ = std::make_unique<PanelModel>(*this);
    drawings_ = std::make_unique<sim::Drawings>(*this);
    modelFiles_ = std::make_unique<ModelFiles>(*this);
}

Velmar::~Velmar()
{
    // What the undo keeps to take back holds the model's objects.
    session_->undo.Clear();
    // References the library still holds must not reach the model after it is gone.
    for (auto& object : objects_)
        object->Detach();
    if (window_)
        DestroyWindow(window_);
}

ObjectRef Velmar::NewObject(const std::string& name)
{
    objects_.push_back(Object::Create(*session_, name));
    return objects_.back();
}

void Velmar::Twin(Object& v5, Object& v7)
{
    // The first pairing of an object holds, as when the pairs were looked up in order.
    twinsTo7_.emplace(&v5, &v7);
    twinsTo5_.emplace(&v7, &v5);
}

Object* Velmar::TwinIn7(Object* v5) const
{
    auto found = twinsTo7_.find(v5);
    return found == twinsTo7_.end() ? nullptr : found->second;
}

Document& Velmar::OpenDocument(int type, const std::string& name)
{
    documents_.emplace_back(*this, type, name);
    active_ = &documents_.back();
    return documents_.back();
}

Part& Velmar::AddPart(const std::string& name)
{
    Part& part = parts_.emplace_back(*this, name);
    userParams_->ServePart(part);
    attributes_->ServeObject(part.Bridge());
    return part;
}

Part* Velmar::FindPart(IUnknown* object)
{
    const Object* wanted = Object::From(object);
    if (!wanted)
        return nullptr;
    for (Part& part : parts_)
        if (wanted == &part.V5() || wanted == &part.V7() || wanted == &part.Feature() || wanted == &part.Bridge())
            return &part;
    return nullptr;
}

Entity& Velmar::AddEntity(const std::string& name, short type, std::vector<Part*> parts)
{
    return entities_.emplace_back(*this, name, type, std::move(parts));
}

Object& Velmar::AddDrawingObject(long reference, const std::string& name)
{
    ObjectRef object = NewObject(name);
    object->Face<IVel7DrawingObject>();
    drawingObjects_.emplace_back(reference, object);
    return *object;
}

void Velmar::AddSketchObject(long group, long reference, Object& object)
{
    sketchObjects_.emplace_back(std::make_pair(group, reference), ObjectRef(&object));
}

void Velmar::SetLastError(long code, const std::wstring& text)
{
    lastErrorCode_ = code;
    lastErrorText_ = text;
}

void Velmar::Close(Document& document)
{
    if (active_ == &document)
        active_ = nullptr;
}

void Velmar::BuildApplication5()
{
    app5_ = NewObject("app5");
    events_ = std::make_unique<EventSource>(*app5_, __uuidof(IVelApplicationEvents), "app5Points", "app5Point");
    auto activeOf = [this](auto test) {
        return [this, test](Args&) { return Handed(active_ && test(*active_) ? &active_->V5() : nullptr); };
    };
    app5_->Supports(__uuidof(IVel5Application))
        .Method(IVel5Application::ActiveDocument3D, 0, activeOf([](Document& d) { return d.Type() == 4 || d.Type() == 5 || d.Type() == 7; }))
        .Method(IVel5Application::ActiveDocument2D, 0, activeOf([](Document& d) { return d.Is2D(); }))
        .Method(IVel5Application::ActiveSpcDocument, 0, activeOf([](Document& d) { return d.Type() == 3; }))
        .Method(IVel5Application::NewTemporaryDocument2D, 0, [this](Args&) {
            ObjectRef document = drawings_->NewTemporaryDocument();
            temporaryDocuments_.push_back(document);
            return Handed(document.get());
        })
        .Method(IVel5Application::NewStructure, 1, [this](Args& args) {
            const short kind = args.Int16(0);
            if (kind == 38) {
                ObjectRef header = attributes_->NewHeader();
                structures_.push_back(header);
                return Handed(header.get());
            }
            if (kind == 61 || kind == 6 || kind == 10) {
                ObjectRef structure = kind == 61 ? drawings_->NewLeaderStructure()
                                      : kind == 6 ? drawings_->NewPhantom()
                                                  : drawings_->NewRequestInfo();
                structures_.push_back(structure);
                return Handed(structure.get());
            }
            if (kind == 112 || kind == 108) {
                ObjectRef structure = kind == 112 ? userParams_->NewRecord() : userParams_->NewItem();
                structures_.push_back(structure);
                return Handed(structure.get());
            }
            for (const auto& known : VelStructureKinds) {
                if (known.kind != kind)
                    continue;
                ObjectRef structure = NewObject("struct" + std::to_string(kind));
                structure->Supports(*known.iid).AnyProperty();
                structures_.push_back(structure);
                return Handed(structure.get());
            }
            throw Fail{E_INVALIDARG, 0};
        })
        .Method(IVel5Application::NewArray, 1, [this](Args& args) {
            const short kind = args.Int16(0);
            if (kind == 2)
                return Handed(drawings_->NewPointList().get());
            if (kind != 23)
                throw Fail{E_INVALIDARG, 0};
            return Handed(userParams_->NewArray().get());
        })
        .Method(IVel5Application::ExecuteCommand, 2, [this](Args& args) {
            const long command = args.Int32(0);
            commandsRun_.push_back(command);
            args.Bool(1);
            if (command == VelCommandEditUndo)
                session_->undo.UndoLast();
            return _variant_t(true);
        })
        .Returns(IVel5Application::Refresh, 0L)
        .Returns(IVel5Application::BeforeProcess, 0L)
        .Method(IVel5Application::MainWindow, 0, [this](Args&) {
            return _variant_t(static_cast<long>(reinterpret_cast<LONG_PTR>(window_)));
        })
        .Method(IVel5Application::Version, 4, [this](Args& args) {
            args.SetInt32(0, version_.major);
            args.SetInt32(1, version_.minor);
            args.SetInt32(2, version_.release);
            args.SetInt32(3, version_.build);
            return _variant_t(1L);
        })
        .Method(IVel5Application::Application7, 0, [this](Args&) { return Handed(app7_.get()); })
        .Method(IVel5Application::ToLayer, 3, [this](Args& args) { return ToLayer(args); })
        .Method(IVel5Application::SpcObjectAt, 2, [this](Args& args) {
            const long reference = args.Int32(0);
            const long second = args.Int32(1);
            for (auto& [known, object] : drawingObjects_)
                if (known == reference)
                    return Handed(object.get());
            for (auto& [key, object] : sketchObjects_)
                if (key == std::make_pair(reference, second))
                    return Handed(object.get());
            return Handed(drawings_->DrawingObject(reference));
        });
}

_variant_t Velmar::ToLayer(Args& args)
{
    Object* object = Object::From(args.Unknown(0));
    const long layer = args.Int32(1);
    const long type = args.Int32(2);
    if (layer == VelLayer5 && type == VelTypePart) {
        auto owner = partsOf_.find(object);
        if (owner != partsOf_.end())
            return Handed(&owner->second->V5());
    }
    const auto& twins = layer == VelLayer7 ? twinsTo7_ : twinsTo5_;
    auto found = twins.find(object);
    return found == twins.end() ? _variant_t() : Handed(found->second);
}

void Velmar::BuildApplication7()
{
    app7_ = NewObject("app7");
    documents7_ = NewObject("docs7");
    documents7_->Face<IVel7Documents>().On<&IVel7Documents::Add>(14, [this](long type, long, IDispatch** document) {
        *document = refuseNewDocuments_ ? nullptr : OpenDocument(static_cast<int>(type), "new").V7().Primary();
        if (*document)
            (*document)->AddRef();
    });
    app7_->Face<IVel7Application>()
        .On<&IVel7Application::get_Documents>(13, [this](IDispatch** documents) {
            (*documents = documents7_->Primary())->AddRef();
        })
        .On<&IVel7Application::get_ActiveDocument>(19, [this](IDispatch** document) {
            *document = active_ ? active_->V7().Primary() : nullptr;
            if (*document)
                (*document)->AddRef();
        })
        .On<&IVel7Application::LastError>(21, [this](BSTR*, IDispatch** result) {
            ObjectRef error = NewObject("lastError");
            error->Face<IVel7TesterResult>()
                .Get<&IVel7TesterResult::get_Code>(11)
                .Get<&IVel7TesterResult::get_Text>(12);
            error->Value(11) = _variant_t(lastErrorCode_);
            error->Value(12) = _variant_t(lastErrorText_.c_str());
            (*result = error->Primary())->AddRef();
        })
        .On<&IVel7Application::get_PropertyManager>(15, [this](IDispatch** manager) {
            (*manager = panels_->Manager().Primary())->AddRef();
        })
        .On<&IVel7Application::EndProcess>(16, [this](long first, long second) { panels_->EndProcess2D(first, second); })
        .Set<&IVel7Application::put_EditSwitch>(25)
        .On<&IVel7Application::ShowMessage>(34, [this](BSTR text, BSTR caption, long flags, long* button) {
            Question question;
            question.kind = "message";
            question.text = text ? text : L"";
            question.caption = caption ? caption : L"";
            question.flags = flags;
            *button = static_cast<long>(session_->user.Ask(question, _variant_t(static_cast<long>(IDOK))));
        });
}

} // namespace sim
