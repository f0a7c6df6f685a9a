#include "hostapi/client_string.h"

#include "hostapi/vtable_call.h"

_bstr_t QueryClientString(INMClient* provider, const std::wstring& text)
{
    const _bstr_t in(text.c_str());   // released after the call
    return V7Get(provider, &INMClient::ClientString, static_cast<BSTR>(in));
}
