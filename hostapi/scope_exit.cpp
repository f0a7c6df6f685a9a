#include "hostapi/scope_exit.h"

#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/restore_step.h"
#include "hostapi/vtable_call.h"

#include <utility>

ScopeExitApi7Slot52Off::~ScopeExitApi7Slot52Off()
{
    RestoreStep(L"~ScopeExitApi7Slot52Off", [this] { V7Call(document_, &IVel7Document3D::put_EditSwitch, VARIANT_FALSE); });
}

ScopeExitApi7Slot25Off::~ScopeExitApi7Slot25Off()
{
    if (application_)
        RestoreStep(L"~ScopeExitApi7Slot25Off", [this] { Restore(); });
}

void ScopeExitApi7Slot25Off::Restore()
{
    const IVel7ApplicationPtr application = std::exchange(application_, nullptr);
    V7Call(application, &IVel7Application::put_EditSwitch, VARIANT_FALSE);
}

ScopeExitApi7Slot22On::~ScopeExitApi7Slot22On()
{
    if (item_)
        RestoreStep(L"~ScopeExitApi7Slot22On", [this] { Restore(); });
}

void ScopeExitApi7Slot22On::Restore()
{
    const IVel7ItemPtr item = std::exchange(item_, nullptr);
    V7Call(item, &IVel7Item::put_Current, VARIANT_TRUE);
}

ScopeExitApi7Slot37On::~ScopeExitApi7Slot37On()
{
    if (description_)
        RestoreStep(L"~ScopeExitApi7Slot37On", [this] { Restore(); });
}

void ScopeExitApi7Slot37On::Restore()
{
    const IVel7SpcDescriptionPtr description = std::exchange(description_, nullptr);
    V7Call(description, &IVel7SpcDescription::put_BulkSwitch, VARIANT_TRUE);
}

ScopeExitApi7Slot7::~ScopeExitApi7Slot7()
{
    RestoreStep(L"~ScopeExitApi7Slot7", [this] { V7Call(line_, &IVel7AuxLineMode::put_Mode, 2L); });
}

ScopeExitDispid2::~ScopeExitDispid2()
{
    RestoreStep(L"~ScopeExitDispid2", [this] { V5Method(sketch_, IVel5SketchDefinition::EndEdit); });
}

ScopeExitDispid9::~ScopeExitDispid9()
{
    if (flag_)
        RestoreStep(L"~ScopeExitDispid9", [this] { V5Method(iterator_, IVel5Iterator::Close); });
}

ScopeExitDispid38::~ScopeExitDispid38()
{
    RestoreStep(L"~ScopeExitDispid38", [this] { V5Method(document_, IVel5Document2D::Highlight, saved_, 0L); });
}

ScopeExitDispid43::~ScopeExitDispid43()
{
    RestoreStep(L"~ScopeExitDispid43", [this] { DeleteHelperObject(document_, object_, L"a temporary object"); });
}

ScopeExitDispid42::~ScopeExitDispid42()
{
    RestoreStep(L"~ScopeExitDispid42", [this] { V5Put(part_, IVel5Part::RebuildFlag, true); });
    RestoreStep(L"~ScopeExitDispid42", [this] { V5Method(part_, IVel5Part::Rebuild, false); });
}

ScopeExitDispid245::~ScopeExitDispid245()
{
    RestoreStep(L"~ScopeExitDispid245", [this] { V5Method(document_, IVel5Document2D::InsertionBracket, false); });
}

ScopeExitCloseModel::~ScopeExitCloseModel()
{
    RestoreStep(L"~ScopeExitCloseModel", [this] {
        auto document7 = ObjectAs<IVel7Document3D>(
            V5Method(application_, IVel5Application::ToLayer, model_, VelLayer7, VelTypeNone));
        V7Get(document7, &IVel7Document3D::Close, 0L);
    });
    RestoreStep(L"~ScopeExitCloseModel", [this] { V5Method(application_, IVel5Application::Refresh); });
}

IVel5Document2DPtr QueryDispid9Interface(IVel5SketchDefinition* sketch)
{
    return ObjectAs<IVel5Document2D>(V5Method(sketch, IVel5SketchDefinition::BeginEdit));
}
