#include "hostapi/entity_access.h"

#include "core/trace_log.h"
#include "hostapi/interface_bridge.h"

short GetEntityType(IVel5Entity* entity)
{
    return static_cast<short>(V5Get(entity, IVel5Entity::Type));
}

void WalkHostItems(IDispatch* collection, const std::function<bool(IDispatch* item)>& visit)
{
    if (!collection)
        return;
    for (IDispatchPtr item = ObjectAs<IDispatch>(V5Method(collection, IVel5ObjectCollection::First)); item;
         item = ObjectAs<IDispatch>(V5Method(collection, IVel5ObjectCollection::Next))) {
        if (!visit(item))
            return;
    }
}

IVel5EntityPtr MacroOfFeatureItem(IDispatch* item)
{
    return FeatureToMacro(QueryHostOrNull<IVel5Object>(item));
}

namespace {

bool DeleteDocumentObject(IVel5Document3D* document, IDispatch* object)
{
    return static_cast<bool>(V5Method(document, IVel5Document3D::DeleteObject, object));
}

void TraceRefusal(const std::wstring& line)
{
    if (TraceLog* log = TraceLog::Current())
        log->WriteLine(line);
}

} // namespace

void DeleteReplacedObject(IVel5Document3D* document, IDispatch* object)
{
    if (DeleteDocumentObject(document, object))
        return;
    TraceRefusal(L"Velmar did not delete the object replaced");
    throw _com_error(E_FAIL);
}

void DeleteHelperObject(IVel5Document3D* document, IDispatch* object, const wchar_t* what)
{
    if (!DeleteDocumentObject(document, object))
        TraceRefusal(std::wstring(L"Velmar did not delete ") + what);
}
