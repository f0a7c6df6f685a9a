#include "tools/nm_measure.h"

#include "core/format_string.h"
#include "core/trace_log.h"

NMMeasure::NMMeasure(IVel5Application* application, const wchar_t* filterName) : iApp(application), FilterName(filterName)
{
    if (!iApp)
        throw _com_error(E_POINTER);
}

NMMeasure::~NMMeasure() = default;

std::wstring NMMeasure::GetValueText()
{
    return FormatString(L"%.10g", Value);
}

std::wstring NMMeasure::ToXml(NMMeasure* tool)
{
    if (!tool)
        return std::wstring();
    const std::wstring text = tool->Measure();
    TraceScope scope(L"NMMeasure::ToXml");
    scope.String(L"value", text);
    return FormatString(L"<MEASURE>%s</MEASURE>", text.c_str());
}
