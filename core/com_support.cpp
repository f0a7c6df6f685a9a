// The COM support routines that comdef.h declares and mingw-w64 ships no library for.
#include "core/com.h"

#include <cstring>
#include <new>

void __stdcall _com_issue_errorex(HRESULT hr, IUnknown* punk, REFIID riid)
{
    IErrorInfo* info = nullptr;
    if (punk && riid != GUID_NULL) {
        ISupportErrorInfo* support = nullptr;
        if (SUCCEEDED(punk->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)))) {
            if (support->InterfaceSupportsErrorInfo(riid) == S_OK && GetErrorInfo(0, &info) != S_OK)
                info = nullptr;
            support->Release();
        }
    }
    // _com_error takes over the reference to the error information.
    throw _com_error(hr, info);
}

namespace _com_util {

BSTR WINAPI ConvertStringToBSTR(const char* text)
{
    if (!text)
        return nullptr;
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0)
        _com_issue_error(HRESULT_FROM_WIN32(GetLastError()));
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(length - 1));
    if (!result)
        _com_issue_error(E_OUTOFMEMORY);
    MultiByteToWideChar(CP_ACP, 0, text, -1, result, length);
    return result;
}

char* WINAPI ConvertBSTRToString(BSTR text)
{
    if (!text)
        return nullptr;
    const int length = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(SysStringLen(text)) + 1, nullptr, 0,
                                           nullptr, nullptr);
    if (length <= 0)
        _com_issue_error(HRESULT_FROM_WIN32(GetLastError()));
    char* result = new (std::nothrow) char[length];
    if (!result)
        _com_issue_error(E_OUTOFMEMORY);
    WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(SysStringLen(text)) + 1, result, length, nullptr, nullptr);
    return result;
}

} // namespace _com_util
