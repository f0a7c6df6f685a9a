#include "sim/journal.h"

#include "sim/sim_object.h"

#include <cstdio>

namespace sim {

std::string Call::Key() const
{
    return object + (kind == CallKind::Slot ? "#" : ".") + std::to_string(member);
}

std::string Call::Text() const
{
    std::string text = Key();
    std::string list;
    for (size_t i = 0; i < args.size(); ++i)
        list += (i ? "," : "") + args[i];
    switch (kind) {
    case CallKind::Method:
    case CallKind::Slot:
        text += "(" + list + ")";
        break;
    case CallKind::Get:
        if (!args.empty())
            text += "[" + list + "]";
        break;
    case CallKind::Put:
        if (!args.empty())
            text += "[" + list + "]";
        text += "=" + value;
        break;
    }
    if (FAILED(result)) {
        char code[16];
        std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(result));
        text += std::string(" -> ") + code;
    }
    if (unexpected)
        text += " (unexpected)";
    return text;
}

size_t Journal::Add(Call call)
{
    ++total_;
    if (paused_) {
        scratch_ = std::move(call);
        return static_cast<size_t>(-1);
    }
    calls_.push_back(std::move(call));
    return calls_.size() - 1;
}

std::vector<std::string> Journal::Lines() const
{
    std::vector<std::string> lines;
    for (const auto& call : calls_)
        lines.push_back(call.Text());
    return lines;
}

std::vector<std::string> Journal::LinesOf(std::string_view object) const
{
    std::vector<std::string> lines;
    for (const auto& call : calls_)
        if (call.object == object)
            lines.push_back(call.Text());
    return lines;
}

std::vector<std::string> Journal::Unexpected() const
{
    std::vector<std::string> lines;
    for (const auto& call : calls_)
        if (call.unexpected)
            lines.push_back(call.Text());
    return lines;
}

size_t Journal::Count(std::string_view line) const
{
    size_t count = 0;
    for (const auto& call : calls_)
        if (call.Text() == line)
            ++count;
    return count;
}

std::string Utf8(const wchar_t* text, size_t length)
{
    if (!text || !length)
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), result.data(), size, nullptr, nullptr);
    return result;
}

std::string Utf8(const std::wstring& text)
{
    return Utf8(text.data(), text.size());
}

std::string RenderText(const wchar_t* text)
{
    if (!text)
        return "null";
    return "\"" + Utf8(text, wcslen(text)) + "\"";
}

std::string RenderObject(IUnknown* object)
{
    if (!object)
        return "null";
    if (Object* own = Object::From(object))
        return own->Name();
    return "object";
}

std::string RenderVariant(const VARIANT& value)
{
    const VARTYPE type = V_VT(&value);
    if (type == (VT_VARIANT | VT_BYREF))
        return V_VARIANTREF(&value) ? RenderVariant(*V_VARIANTREF(&value)) : "&";
    if (type & VT_BYREF)
        return "&";
    if (type & VT_ARRAY) {
        long lower = 0, upper = -1;
        if (SAFEARRAY* array = V_ARRAY(&value)) {
            SafeArrayGetLBound(array, 1, &lower);
            SafeArrayGetUBound(array, 1, &upper);
        }
        return "array(" + std::to_string(upper - lower + 1) + ")";
    }
    char number[32];
    switch (type) {
    case VT_EMPTY:
        return "empty";
    case VT_NULL:
        return "null";
    case VT_BOOL:
        return V_BOOL(&value) ? "true" : "false";
    case VT_I1:
        return std::to_string(V_I1(&value));
    case VT_UI1:
        return std::to_string(V_UI1(&value));
    case VT_I2:
        return std::to_string(V_I2(&value));
    case VT_UI2:
        return std::to_string(V_UI2(&value));
    case VT_I4:
        return std::to_string(V_I4(&value));
    case VT_UI4:
        return std::to_string(V_UI4(&value));
    case VT_INT:
        return std::to_string(V_INT(&value));
    case VT_UINT:
        return std::to_string(V_UINT(&value));
    case VT_I8:
        return std::to_string(V_I8(&value));
    case VT_R4:
        std::snprintf(number, sizeof number, "%.7g", V_R4(&value));
        return number;
    case VT_R8:
        std::snprintf(number, sizeof number, "%.15g", V_R8(&value));
        return number;
    case VT_BSTR:
        return RenderText(V_BSTR(&value) ? V_BSTR(&value) : L"");
    case VT_DISPATCH:
        return RenderObject(V_DISPATCH(&value));
    case VT_UNKNOWN:
        return RenderObject(V_UNKNOWN(&value));
    default:
        return "vt" + std::to_string(type);
    }
}

} // namespace sim
