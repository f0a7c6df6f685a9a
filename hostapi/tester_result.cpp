#include "hostapi/tester_result.h"

#include "core/unique.h"
#include "hostapi/vtable_call.h"

void TesterResultToBstr(IVel7Application* application, long& code, _bstr_t& text)
{
    // The text goes in and out: the host may free what came in and put its own text in its place.
    UniqueBstr inOut(text.copy());
    const IDispatchPtr object = V7Get(application, &IVel7Application::LastError, &inOut.get());
    auto result = QueryHost<IVel7TesterResult>(object);
    code = V7Get(result, &IVel7TesterResult::get_Code);
    text = V7Get(result, &IVel7TesterResult::get_Text);
}
