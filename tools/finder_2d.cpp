#include "tools/finder_2d.h"

#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/scope_exit.h"
#include "insert2d/nm_vel_obj_2d.h"
#include "library/velmar_normset_2d.h"

namespace {

constexpr long kMacroType = 27;

} // namespace

Finder2D::Finder2D(HWND hostWindow_, VelmarNormset2D* controller)
    : Finder(hostWindow_, controller), Controller2D(controller)
{
    TraceScope scope(L":Finder2D");
    iDoc5 = ObjectAs<IVel5Document2D>(V5Method(Controller2D->iApp5, IVel5Application::ActiveDocument2D));
    scope.Hex(L"iDoc5", reinterpret_cast<std::int64_t>(iDoc5.GetInterfacePtr()));
    ChangeNMObjType(NMObjPart, false);
}

Finder2D::~Finder2D()
{
    try {
        TraceScope scope(L"~Finder2D");
    } catch (...) {
        // The trace is all a destructor writes.
    }
}

void Finder2D::ReplaceAllNMObj()
{
    ReplaceAll(L"Finder2D::ReplaceAllNMObj", Controller2D->iApp7);
}

void Finder2D::FindNMObjs(uint32_t, bool aIncludeTCS)
{
    RecursiveFindNMObjs(0, aIncludeTCS);
}

void Finder2D::RecursiveFindNMObjs(int32_t aGrp, bool aIncludeTCS)
{
    TraceScope scope(L"Finder2D::RecursiveFindNMObjs");
    scope.Value(L"aGrp", _variant_t(static_cast<long>(aGrp)));
    scope.Value(L"aIncludeTCS", aIncludeTCS);
    VelmarNormset2D& controller = *Controller2D;
    const IVel5IteratorPtr iterator = RequireHost(ObjectAs<IVel5Iterator>(V5Method(controller.iApp5, IVel5Application::NewIterator)));
    ScopeExitDispid9 close(iterator, false);
    bool started = false;
    try {
        started = static_cast<bool>(V5Method(iterator, IVel5Iterator::Init, kMacroType, static_cast<long>(aGrp)));
    } catch (...) {
        // A start that failed leaves the iterator to be closed all the same.
        close.SetFlag(true);
        throw;
    }
    if (!started)
        return;
    close.SetFlag(true);
    for (long reference = V5Method(iterator, IVel5Iterator::Step, L"F"); reference != 0;
         reference = V5Method(iterator, IVel5Iterator::Step, L"N")) {
        auto object = std::make_unique<NMVelObj2D>(controller.iApp5, controller.iApp7, controller.iNMClient,
                                                   static_cast<int32_t>(reference), controller.IsSpecificationActive);
        if (object->IsNMObject) {
            AddNMObj(std::move(object));
        } else {
            object.reset();
            RecursiveFindNMObjs(static_cast<int32_t>(reference), aIncludeTCS);
        }
    }
}

void Finder2D::GetNMObjUniqNames(uint32_t)
{
    TraceScope scope(L"Finder2D::GetNMObjUniqNames");
    NMObjsUniqNames.clear();
    for (const auto& object : NMObjs)
        NMObjsUniqNames.push_back(object->NM_Name);
    SortUniqNames();
    scope.Value(L"NMObjsUniqNames.size()", _variant_t(static_cast<unsigned long>(NMObjsUniqNames.size())));
}
