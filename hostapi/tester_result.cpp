#include "hostapi/tester_result.h"

#include "hostapi/vtable_call.h"

void TesterResultToBstr(IVel7Application* application, long& code, _bstr_t& text)
{
    BSTR inOut = text.copy();
    IDispatch* raw = nullptr;
    try {
        V7Call(application, &IVel7Application::LastError, &inOut, &raw);
    } catch (...) {
        SysFreeString(inOut);
        throw;
    }
    SysFreeString(inOut);
    IDispatchPtr object(raw, false);
    auto result = QueryHost<IVel7TesterResult>(object);
    code = V7Get(result, &IVel7TesterResult::get_Code);
    text = V7Get(result, &IVel7TesterResult::get_Text);
}
