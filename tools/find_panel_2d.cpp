#include "tools/find_panel_2d.h"

#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/dispatch_call.h"

namespace {

constexpr uint32_t kHelpId = 2;

} // namespace

FindPanel2D::FindPanel2D(IVel5Application* application5, IVel7Application* application7, Finder* finder)
    : FindPanel(finder, application5, application7, Translate(L"Найти и заменить"), Translate(L"Найти и заменить"), nullptr,
                nullptr, kHelpId, false)
{
    TraceScope scope(L":FindPanel2D");
    AddFindControls();
    Open();
}

FindPanel2D::~FindPanel2D() = default;

BOOL FindPanel2D::SelectCallback(IDispatch*, LONG_PTR)
{
    ShowCurrent();
    return FALSE;
}

void FindPanel2D::EndRun(uint32_t action)
{
    // The drawing's highlight is the library's to take back before Velmar's process ends.
    finder_->UnselectNMObject();
    FindPanel::EndRun(action);
}

void FindPanel2D::WritePrompt(const std::wstring& text)
{
    V5Put(iPlacementInfo, IVel5RequestInfo2D::Prompt, _bstr_t(text.c_str()));
}
