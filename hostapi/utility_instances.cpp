#include "hostapi/utility_instances.h"

#include "core/com_convert.h"
#include "hostapi/vtable_call.h"

namespace {

// In-process and local servers and handlers: wherever the utility classes are registered.
constexpr DWORD kUtilityClassContext = 0x17;

template <class I>
HostPtr<I> CreateUtility(const CLSID& clsid, TraceScope& scope, const wchar_t* traceName)
{
    IUnknownPtr object;
    HRESULT hr = scope.HResult(traceName, CoCreateInstance(clsid, nullptr, kUtilityClassContext, IID_IUnknown,
                                                           reinterpret_cast<void**>(&object)));
    if (FAILED(hr))
        throw _com_error(hr);
    hr = OleRun(object);
    if (FAILED(hr))
        throw _com_error(hr);
    HostPtr<I> instance = QueryHost<I>(object);
    if (!instance)
        throw _com_error(E_NOINTERFACE);
    return instance;
}

} // namespace

IRAZadiPtr CreateRAZadi(TraceScope& scope, const wchar_t* traceName)
{
    return CreateUtility<IRAZadi>(CLSID_RAZadi, scope, traceName);
}

IItemListPtr CreateItemList(TraceScope& scope, const wchar_t* traceName)
{
    return CreateUtility<IItemList>(CLSID_ItemList, scope, traceName);
}

void TraceRAZadiText(IRAZadi* razadi, TraceScope& scope) noexcept
{
    // Only the trace needs the text: an insertion does not fail for want of it.
    try {
        scope.WriteLine(BstrToWString(V7Get(razadi, &IRAZadi::get_Text)));
    } catch (...) {
        TraceCurrentException(L"TraceRAZadiText");
    }
}
