#include "positioning/vel_base_panel.h"

#include "core/html_help.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/host_window.h"
#include "hostapi/vtable_call.h"

#include <algorithm>

namespace {

VelBasePanel* g_current = nullptr;

} // namespace

VelBasePanel::VelBasePanel(IVel5Application* application5, IVel7Application* application7,
                           const std::wstring& headerCaption, const std::wstring& pageCaption, uint32_t helpId,
                           bool headerStyle)
    : VelPropMngEvents(application5, application7), iApp5(application5), iApp7(application7), HelpId(helpId),
      HeaderCaption(headerCaption), HeaderStyle(headerStyle)
{
    TraceScope scope(L":VelBasePanel");
    const IVel7PagesPtr pages = RequireHost(QueryHost<IVel7Pages>(V7Get(iPropMng, &IVel7PropertyManager::get_Pages)));
    iPage = RequireHost(QueryHost<IVel7Page>(V7Get(pages, &IVel7Pages::Add, _bstr_t(pageCaption.c_str()))));
    InitHeader();
    // Only a panel whose base is complete may be reached through the exports.
    g_current = this;
}

VelBasePanel::~VelBasePanel()
{
    if (g_current == this)
        g_current = nullptr;
}

VelBasePanel* VelBasePanel::Current() noexcept
{
    return g_current;
}

VARIANT_BOOL VelBasePanel::ButtonClick(long buttonId)
{
    constexpr long kHelpButton = 8;
    if (buttonId == kHelpButton)
        return CommandHelp(0);
    return VARIANT_TRUE;
}

VARIANT_BOOL VelBasePanel::ButtonUpdate(long buttonId, VARIANT_BOOL*, VARIANT_BOOL* enabled)
{
    constexpr long kOkButton = 1;
    if (buttonId == kOkButton && enabled)
        *enabled = IsComplete();
    return VARIANT_TRUE;
}

VARIANT_BOOL VelBasePanel::CommandHelp(long)
{
    TraceScope scope(L"VelBasePanel::CommandHelp");
    scope.Value(L"HelpId", static_cast<long>(HelpId));
    ShowLibraryHelp(HostMainWindow(iApp5), HelpId);
    return VARIANT_FALSE;
}

BOOL VelBasePanel::FilterFromVelmar(IDispatch* object) noexcept
{
    return Shielded(L"SELECTFILTERPROC", FALSE, [&] { return SelectFilter(object); });
}

BOOL VelBasePanel::PickFromVelmar(IDispatch* object, LONG_PTR argument) noexcept
{
    return Shielded(L"SELECTCALLBACKPROC", FALSE, [&] { return SelectCallback(object, argument); });
}

void VelBasePanel::OnVelmarCallFailed() noexcept
{
    if (!running_)
        return;
    try {
        EndProcess();
    } catch (...) {
        TraceCurrentException(L"VelBasePanel::EndProcess");
    }
}

void VelBasePanel::StartListening() noexcept
{
    running_ = true;
    Listen(true);
}

void VelBasePanel::StopListening() noexcept
{
    Listen(false);
    running_ = false;
}

void VelBasePanel::InitHeader()
{
    V7Call(iPropMng, &IVel7PropertyManager::put_LayoutStyle, HeaderStyle ? 3L : 2L);
    V7Call(iPropMng, &IVel7PropertyManager::put_HeaderCaption, _bstr_t(HeaderCaption.c_str()));
    V7Call(iPropMng, &IVel7PropertyManager::put_Setting16, VARIANT_FALSE);
}

void VelBasePanel::AddPromptWord(const std::wstring& word, bool condition)
{
    if (condition && std::find(PromptWords.begin(), PromptWords.end(), word) == PromptWords.end())
        PromptWords.push_back(word);
}

std::wstring VelBasePanel::BuildPrompt() const
{
    if (PromptWords.empty())
        return L" ";
    std::wstring prompt = Translate(L"Выберите");
    const size_t count = PromptWords.size();
    for (size_t i = 0; i < count; ++i) {
        if (i == 0)
            prompt += L" ";
        else if (i + 1 < count)
            prompt += L", ";
        else
            prompt += L" " + Translate(L"или") + L" ";
        prompt += PromptWords[i];
    }
    return prompt;
}

namespace testhooks {

void ResetCurrentPanel() noexcept
{
    g_current = nullptr;
}

} // namespace testhooks
