#include "hostapi/element_queries.h"

#include "hostapi/entity_access.h"
#include "hostapi/interface_bridge.h"

namespace {

constexpr short kFace = 6;
constexpr short kMacroElement = 63;
constexpr short kInnerThread = 58;
constexpr short kCoordinateSystem = 85;

void CollectNamedIn(const _variant_t& features, short type, ObjArray& list)
{
    auto collection = ObjectAs<IVel5FeatureCollection>(features);
    WalkHostItems(collection, [&](IDispatch* item) {
        auto feature = QueryHost<IVel5Object>(item);
        IVel5EntityPtr macro = FeatureToMacro(feature);
        if (!macro)
            return true;
        const short found = GetEntityType(macro);
        if (found == type)
            list.push_back(IDispatchPtr(macro));
        // A macro element's own features are reached the way a part's are: dispatch id 4 with (-1, -1).
        if (found == kMacroElement)
            CollectNamedIn(V5Method(feature, IVel5Object::Features, short{-1}, short{-1}), type, list);
        return true;
    });
}

// The version-7 form of a pattern feature or of a pattern's further object, as the patterns keeper
// holds them.
IDispatchPtr ModelObjectOf(IVel5Application* application, IDispatch* object)
{
    auto model = ObjectAs<IVel7ModelObject>(V5Method(application, IVel5Application::ToLayer, object, VelLayer7, VelTypeNone));
    return IDispatchPtr(model);
}

template <class Definition>
IVel5EntityPtr PatternObjectOf(IVel5Entity* pattern)
{
    auto definition = EntityDefinition<Definition>(pattern);
    if (!definition)
        return nullptr;
    return ObjectAs<IVel5Entity>(V5Method(definition, Definition::Base));
}

// The further object of a pattern by its type: its direction or base, as Velmar keeps it.
IVel5EntityPtr PatternObject(IVel5Entity* pattern, short type)
{
    switch (type) {
    case 25:
        return PatternObjectOf<IVel5PatternDefinition25>(pattern);
    case 26:
        return PatternObjectOf<IVel5PatternDefinition26>(pattern);
    case 29:
        return PatternObjectOf<IVel5PatternDefinition29>(pattern);
    case 47:
        return PatternObjectOf<IVel5PatternDefinition47>(pattern);
    default:
        return nullptr;
    }
}

bool IsPatternType(short type)
{
    return type == 25 || type == 26 || type == 29 || type == 47 || type == 58;
}

} // namespace

IDispatchPtr GetEntityDefinition(IVel5Entity* entity)
{
    if (!entity)
        return nullptr;
    auto definition = EntityDefinition<IVel5MacroDefinition>(entity);
    if (!definition)
        return nullptr;
    return ObjectAs<IDispatch>(V5Method(definition, IVel5MacroDefinition::InnerObjects));
}

IVel5EntityPtr GetEntityDefinitionPart(IDispatch* parts)
{
    IVel5EntityPtr found;
    WalkHostItems(parts, [&](IDispatch* item) {
        found = FindPartOfEntity(QueryHost<IVel5Part>(item));
        return !found;
    });
    return found;
}

IVel5EntityPtr FindPartOfEntity(IVel5Part* part)
{
    IVel5EntityPtr found;
    if (!part)
        return found;
    IDispatchPtr faces = ObjectAs<IDispatch>(V5Method(part, IVel5Part::Faces, kFace));
    WalkHostItems(faces, [&](IDispatch* item) {
        auto face = QueryHost<IVel5Entity>(item);
        auto definition = face ? EntityDefinition<IVel5FaceDefinition>(face) : nullptr;
        if (definition && static_cast<bool>(V5Method(definition, IVel5FaceDefinition::Test3)))
            found = face;
        return !found;
    });
    return found;
}

void CollectNamedObjects(IVel5Part* part, short type, ObjArray& list)
{
    CollectNamedIn(V5Method(part, IVel5Part::Features, short{-1}, short{-1}), type, list);
}

long CollectPatternObjects(IVel5Application* application, const ObjArray& objects, ObjArray& patterns, ObjArray& sources)
{
    long flag = 0;
    for (const IDispatchPtr& object : objects) {
        IDispatchPtr inner = GetEntityDefinition(QueryHostOrNull<IVel5Entity>(object));
        WalkHostItems(inner, [&](IDispatch* item) {
            auto feature = QueryHost<IVel5Object>(item);
            IVel5EntityPtr macro = FeatureToMacro(feature);
            if (!macro)
                return true;
            const short type = GetEntityType(macro);
            if (type == kCoordinateSystem)
                flag = 1;
            if (!IsPatternType(type))
                return true;
            if (IDispatchPtr pattern = ModelObjectOf(application, feature))
                patterns.push_back(pattern);
            if (IVel5EntityPtr further = PatternObject(macro, type)) {
                if (IDispatchPtr source = ModelObjectOf(application, further))
                    sources.push_back(source);
            }
            return true;
        });
    }
    return flag;
}

IVel5EntityPtr GetCylinderAxisFromEntity(IDispatch* object7)
{
    IVel5EntityPtr macro = GetMacroFromAPI7ObjectEx(object7);
    if (!macro || GetEntityType(macro) != kMacroElement)
        return nullptr;
    IVel5EntityPtr found;
    WalkHostItems(GetEntityDefinition(macro), [&](IDispatch* item) {
        IVel5EntityPtr inner = MacroOfFeatureItem(item);
        if (inner && GetEntityType(inner) == kInnerThread)
            found = inner;
        return !found;
    });
    return found;
}
