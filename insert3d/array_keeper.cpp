#include "insert3d/array_keeper.h"

#include "core/com_convert.h"
#include "core/format_string.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/host_guards.h"
#include "hostapi/interface_bridge.h"
#include "hostapi/mate_queries.h"
#include "hostapi/pattern_sources.h"
#include "hostapi/restore_step.h"
#include "hostapi/scope_exit.h"
#include "hostapi/vtable_call.h"

namespace {

constexpr short kSketch = 5;
constexpr short kExtrusion = 25;
constexpr short kBasePlane = 1;
constexpr double kPlaceholderSize = 0.01;

IVel5EntityPtr NewEntity(IVel5Part* part, short type)
{
    return RequireHost(ObjectAs<IVel5Entity>(V5Method(part, IVel5Part::NewEntity, type)));
}

bool HoldsAny(IVel7Pattern* pattern, const ObjArray& objects)
{
    for (const IDispatchPtr& object : objects)
        if (V7Get(pattern, &IVel7Pattern::IsSource, object.GetInterfacePtr()) != VARIANT_FALSE)
            return true;
    return false;
}

} // namespace

ArrayKeeper::ArrayKeeper(IVel5Application* application, IVel5Document3D* document5, IVel7Document3D* document7,
                         IVel5Entity* oldMacro, const std::vector<IDispatchPtr>& features, const std::wstring& elementName)
    : application_(application), document5_(document5), document7_(document7), element_(oldMacro), elementName_(elementName)
{
    TraceScope scope(L":ArrayKeeper");
    scope.String(L"elementName", elementName_);
    part5_ = RequireHost(GetTopPart(document5_));
    part7_ = ToApi7Object(application_, part5_);

    // The source lists hold version-7 model objects.
    ObjArray features7;
    for (const IDispatchPtr& feature : features)
        if (IDispatchPtr feature7 = ToApi7Object(application_, feature))
            features7.push_back(feature7);
    std::vector<Recorded> found;
    for (const IDispatchPtr& entry : DocumentPatterns(document7_)) {
        const IVel7PatternPtr pattern = QueryHostOrNull<IVel7Pattern>(entry);
        if (!pattern || !IsMacroPatternSource(pattern) || !HoldsAny(pattern, features7))
            continue;
        Recorded array;
        array.pattern = pattern;
        array.array5 = RequireHost(ObjectAs<IDispatch>(V5Method(application_, IVel5Application::ToLayer, pattern,
                                                                static_cast<long>(VelLayer5), static_cast<long>(VelTypeEntity))));
        found.push_back(std::move(array));
    }
    // Every array is asked before anything changes: a faulty second array must not find the first one
    // rewritten.
    for (const Recorded& array : found)
        if (!static_cast<bool>(V5Get(array.array5, IVel5Array::State))) {
            const std::wstring arrayName = BstrToWString(_bstr_t(V5Get(array.array5, IVel5Array::Name)));
            throw _bstr_t(FormatString(Translate(L"Вы не можете отредактировать элемент \"%s\", так как он входит в массив \"%s\", содержащий ошибки."),
                                       elementName_.c_str(), arrayName.c_str())
                              .c_str());
        }
    for (Recorded& array : found)
        array.sources.Assign(V7Get(array.pattern, &IVel7Pattern::get_Sources));
    arrays_ = std::move(found);
    scope.Value(L"arrays", _variant_t(static_cast<unsigned long>(arrays_.size())));
    if (!arrays_.empty())
        BuildPlaceholder();
}

void ArrayKeeper::BuildPlaceholder()
{
    TraceScope scope(L"ArrayKeeper::BuildPlaceholder");
    DocumentStateGuard state(document5_, element_);
    size_t added = 0;
    try {
        sketch5_ = NewEntity(part5_, kSketch);
        const auto sketch = RequireHost(EntityDefinition<IVel5SketchDefinition>(sketch5_));
        // The part's first object of type 1 (its first base plane) is found as its axes are.
        V5Method(sketch, IVel5SketchDefinition::SetPlane, RequireHost(GetDirectionObject(part5_.GetInterfacePtr(), kBasePlane)));
        V5Method(sketch5_, IVel5Entity::Create);
        {
            const IVel5Document2DPtr editor = QueryDispid9Interface(sketch);
            ScopeExitDispid2 close(sketch);
            V5Method(RequireHost(editor), IVel5Document2D::NewCircle, 0.0, 0.0, kPlaceholderSize, 1L);
        }
        extrusion5_ = NewEntity(part5_, kExtrusion);
        const IDispatchPtr extrusion = RequireHost(ObjectAs<IDispatch>(V5Method(extrusion5_, IVel5Entity::Definition)));
        V5Method(extrusion, IVel5ExtrusionDefinition::Sketch, sketch5_);
        V5Method(extrusion, IVel5ExtrusionDefinition::Direction, short{0});
        V5Method(extrusion, IVel5ExtrusionDefinition::Depth, kPlaceholderSize);
        V5Method(extrusion, IVel5ExtrusionDefinition::ThinWall, false);
        V5Method(extrusion5_, IVel5Entity::Create);
        sketch7_ = RequireHost(ToApi7Object(application_, sketch5_));
        extrusion7_ = RequireHost(ToApi7Object(application_, extrusion5_));
        const ObjArray placeholder = Placeholder();
        for (Recorded& array : arrays_) {
            ReplacePartInPattern(array.pattern, placeholder, {});
            ++added;
        }
    } catch (...) {
        // The replace does not start: the document is left as it was found.
        RemovePlaceholder(added);
        throw;
    }
}

void ArrayKeeper::RemovePlaceholder(size_t arraysHoldingIt) noexcept
{
    RestoreStep(L"ArrayKeeper::RemovePlaceholder", [&] {
        const ObjArray placeholder = Placeholder();
        for (size_t i = 0; i < arraysHoldingIt; ++i)
            RestoreStep(L"ArrayKeeper::RemovePlaceholder", [&] { ReplacePartInPattern(arrays_[i].pattern, {}, placeholder); });
    });
    DeleteFromDocument(extrusion5_);
    DeleteFromDocument(sketch5_);
}

void ArrayKeeper::DeleteFromDocument(IVel5EntityPtr& object) noexcept
{
    if (!object)
        return;
    RestoreStep(L"ArrayKeeper: delete the placeholder", [&] {
        DeleteHelperObject(document5_, object, L"the placeholder");
        object = nullptr;
    });
}

ObjArray ArrayKeeper::Placeholder() const
{
    ObjArray placeholder;
    placeholder.push_back(extrusion7_);
    return placeholder;
}

IDispatch* ArrayKeeper::GuardObject() const
{
    return extrusion5_ ? static_cast<IDispatch*>(extrusion5_) : static_cast<IDispatch*>(element_);
}

ArrayKeeper::~ArrayKeeper()
{
    try {
        Restore();
    } catch (...) {
        TraceCurrentException(L"~ArrayKeeper");
    }
}

void ArrayKeeper::Restore()
{
    TraceScope scope(L"~ArrayKeeper");
    if (arrays_.empty())
        return;
    if (NewElements.empty()) {
        // Kept so: the arrays stay valid with the placeholder while the old element is gone.
        scope.WriteLine(L"no new element: the placeholder stays in the arrays");
        return;
    }
    RestoreStep(L"~ArrayKeeper", [this] { V5Put(part5_, IVel5Part::RebuildFlag, false); });
    ScopeExitDispid42 rebuild(part5_);
    ObjArray newElements7;
    for (const IDispatchPtr& element : NewElements)
        newElements7.push_back(RequireHost(ToApi7Object(application_, element)));
    bool everywhere = true;
    for (Recorded& array : arrays_)
        everywhere = PutNewElementInPlace(array, newElements7) && everywhere;
    if (!everywhere) {
        scope.WriteLine(L"the placeholder stays in the arrays it could not be replaced in");
        return;
    }
    DeleteFromDocument(extrusion5_);
    DeleteFromDocument(sketch5_);
}

bool ArrayKeeper::PutNewElementInPlace(Recorded& array, const ObjArray& newElements7) noexcept
{
    try {
        const IDispatchPtr base = ObjectAs<IDispatch>(V5Get(array.array5, IVel5Array::BaseObject));
        if (base && (SameHostObject(base, sketch5_) || SameHostObject(base, sketch7_))) {
            V5Put(array.array5, IVel5Array::BaseObject, NewElements.front());
            V5Method(array.array5, IVel5Array::Rebuild);
        }
        ReplacePartInPattern(array.pattern, newElements7, Placeholder());
        return true;
    } catch (...) {
        TraceCurrentException(L"ArrayKeeper::PutNewElementInPlace");
        return false;
    }
}
