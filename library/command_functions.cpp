#include "library/command_functions.h"

#include "core/display_name.h"
#include "core/modal_seam.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/host_window.h"
#include "hostapi/provider_connection.h"
#include "hostapi/velmar_application.h"
#include "objects/main_settings.h"

#include <utility>

namespace {

constexpr uint32_t kInsert = 1;
constexpr uint32_t kFind = 2;
constexpr uint32_t kRelink = 3;
constexpr uint32_t kCreateSpcObjs = 4;
constexpr uint32_t kClone = 5;
constexpr uint32_t kSelect = 67;

testhooks::ScopedControllerFactory::Factory& Factory()
{
    static testhooks::ScopedControllerFactory::Factory factory;
    return factory;
}

std::unique_ptr<VelmarNormset> ControllerFor(uint32_t command)
{
    std::unique_ptr<VelmarNormset> controller;
    VelmarNormset::CreateForActiveDocument(controller, HeldVelmar5(), HeldVelmar7(), NormsetProvider(), command);
    return controller;
}

// A command that changes the whole document asks first; only Yes goes on, and a question that could not
// be shown ends the command as a failure.
bool UserAgrees(const wchar_t* question)
{
    return AskYesNo(HostMainWindow(HeldVelmar5()), Translate(question), LibraryDisplayName(), MB_YESNO | MB_ICONQUESTION);
}

void Relink(bool ask)
{
    NormsetInitOnce();
    const auto controller = ControllerFor(kRelink);
    controller->CheckDocumentValidForRelink();
    if (ask && !UserAgrees(L"Ссылки всех вставленных в сборку стандартных изделий будут обновлены. Продолжить?"))
        return;
    controller->Relink();
}

} // namespace

void LibCommandInsert()
{
    TraceScope scope(L"LibCommandInsert");
    NormsetInitOnce();
    NMMainSettings settings;
    settings.LoadFromRegistry();
    const auto controller = ControllerFor(kInsert);
    controller->CheckDocumentValidForInsert();
    controller->Prepare();
    const bool restoreSelect = settings.RestoreSelect;
    while (controller->SelectPart()) {
        if (controller->Apply() != 0 || !restoreSelect)
            break;
    }
}

void LibCommandFind()
{
    TraceScope scope(L"LibCommandFind");
    NormsetInitOnce();
    const auto controller = ControllerFor(kFind);
    controller->CheckDocumentValidForFind();
    controller->FindAndReplace();
}

void LibCommandRelink()
{
    TraceScope scope(L"LibCommandRelink");
    Relink(true);
}

void LibCommandRelinkSilent()
{
    TraceScope scope(L"LibCommandRelinkSilent");
    Relink(false);
}

void LibCommandCreateSpcObjs()
{
    TraceScope scope(L"LibCommandCreateSpcObjs");
    NormsetInitOnce();
    const auto controller = ControllerFor(kCreateSpcObjs);
    controller->CheckDocumentValidForCreateSpcObjs();
    if (!UserAgrees(L"У всех вставленных в документ стандартных изделий будут созданы объекты спецификации. Продолжить?"))
        return;
    controller->CreateSpcObjects();
}

void LibCommandClone()
{
    TraceScope scope(L"LibCommandClone");
    NormsetInitOnce();
    const auto controller = ControllerFor(kClone);
    controller->CheckDocumentValidForClone();
    controller->Clone();
}

void LibCommandSelect()
{
    NormsetInitOnce();
    const auto controller = ControllerFor(kSelect);
    controller->SelectEx();
}

namespace testhooks {

ScopedControllerFactory::ScopedControllerFactory(Factory factory) : previous_(std::exchange(::Factory(), std::move(factory)))
{
}

ScopedControllerFactory::~ScopedControllerFactory()
{
    ::Factory() = std::move(previous_);
}

std::unique_ptr<VelmarNormset> ControllerOfScopedFactory(uint32_t command)
{
    return ::Factory() ? ::Factory()(command) : nullptr;
}

} // namespace testhooks
