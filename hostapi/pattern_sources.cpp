#include "hostapi/pattern_sources.h"

#include "core/trace_log.h"
#include "hostapi/dual_interface.h"
#include "hostapi/entity_access.h"
#include "hostapi/restore_step.h"
#include "hostapi/vtable_call.h"

#include <algorithm>
#include <optional>

namespace {

constexpr long kEntity = 105;
constexpr long kMacroElement = 63;

IVel7ModelObjectParamPtr ParametersOf(IVel7ModelObject* model)
{
    return RequireHost(QueryHostOrNull<IVel7ModelObjectParam>(V7Get(model, &IVel7ModelObject::get_Parameters)));
}

// Puts a pattern's switch back on when the rewrite ends, also when it fails half way.
class SwitchOnAgain {
public:
    explicit SwitchOnAgain(IVel7ModelObjectParam* parameters) : parameters_(parameters) {}
    ~SwitchOnAgain()
    {
        RestoreStep(L"ReplacePartInPattern", [this] { V7Call(parameters_, &IVel7ModelObjectParam::put_Switch, VARIANT_TRUE); });
    }
    SwitchOnAgain(const SwitchOnAgain&) = delete;
    SwitchOnAgain& operator=(const SwitchOnAgain&) = delete;

private:
    IVel7ModelObjectParamPtr parameters_;
};

} // namespace

void ReplacePartInPattern(IVel7Pattern* pattern, const ObjArray& add, const ObjArray& remove)
{
    TraceScope scope(L"ReplacePartInPattern");
    const IVel7ModelObjectPtr model = RequireHost(QueryHost<IVel7ModelObject>(pattern));
    const IVel7ModelObjectParamPtr parameters = ParametersOf(model);
    const bool following = V7Get(parameters, &IVel7ModelObjectParam::get_Switch) != VARIANT_FALSE;

    ObjArray sources(V7Get(pattern, &IVel7Pattern::get_Sources));
    sources.Append(add);
    for (const IDispatchPtr& gone : remove) {
        auto found = std::find_if(sources.begin(), sources.end(),
                                  [&](const IDispatchPtr& source) { return SameHostObject(source, gone); });
        if (found != sources.end())
            sources.erase(found);
    }
    scope.Value(L"sources", _variant_t(static_cast<long>(sources.size())));

    std::optional<SwitchOnAgain> switchBack;
    if (following) {
        V7Call(parameters, &IVel7ModelObjectParam::put_Switch, VARIANT_FALSE);
        switchBack.emplace(parameters);
    }
    V7Call(pattern, &IVel7Pattern::put_Sources, sources.ToArrayVariant());
    V7Get(model, &IVel7ModelObject::Update);
}

void ReplacePartInPatterns(const ObjArray& patterns, const ObjArray& add, const ObjArray& remove)
{
    for (const IDispatchPtr& entry : patterns)
        if (const IVel7PatternPtr pattern = QueryHostOrNull<IVel7Pattern>(entry))
            ReplacePartInPattern(pattern, add, remove);
}

ObjArray DocumentPatterns(IVel7Document3D* document)
{
    const IVel7PatternOwnerPtr owner = RequireHost(QueryHostOrNull<IVel7PatternOwner>(V7Get(document, &IVel7Document3D::get_PatternOwner)));
    IDispatchPtr collection = V7Get(owner, &IVel7PatternOwner::get_Patterns);
    IVel7Patterns* patterns = AsDual<IVel7Patterns>(collection);
    ObjArray found;
    const long count = V7Get(patterns, &IVel7Patterns::get_Count);
    for (long i = 0; i < count; ++i)
        found.push_back(V7Get(patterns, &IVel7Patterns::get_Item, _variant_t(i)));
    return found;
}

ObjArray ReplacePartInPatternsAPI7(IVel7Document3D* document, const ObjArray& parts)
{
    ObjArray found;
    for (const IDispatchPtr& entry : DocumentPatterns(document)) {
        const IVel7PatternPtr pattern = QueryHostOrNull<IVel7Pattern>(entry);
        if (!pattern || !IsMacroPatternSource(pattern))
            continue;
        for (const IDispatchPtr& part : parts) {
            const IVel7PartPtr part7 = QueryHostOrNull<IVel7Part>(part);
            if (part7 && V7Get(pattern, &IVel7Pattern::IsSource, static_cast<IDispatch*>(part7)) != VARIANT_FALSE)
                found.push_back(entry);
        }
    }
    return found;
}

bool IsMacroPatternSource(IDispatch* pattern)
{
    const IVel7ModelObjectPtr model = RequireHost(QueryHostOrNull<IVel7ModelObject>(pattern));
    const IVel7ModelObjectParamPtr parameters = ParametersOf(model);
    const IDispatchPtr source = V7Get(parameters, &IVel7ModelObjectParam::get_Source);
    if (!source)
        return false;
    if (V7Get(parameters, &IVel7ModelObjectParam::get_SourceType) != kEntity)
        return true;
    const IVel7ModelObjectPtr sourceModel = QueryHostOrNull<IVel7ModelObject>(source);
    return sourceModel && V7Get(sourceModel, &IVel7ModelObject::get_Type) == kMacroElement;
}
