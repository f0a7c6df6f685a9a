#include "sim/spc_column.h"

#include "sim/velmar.h"

namespace sim {

namespace {

// The last whole string the column was given, else its lines joined with LF.
std::wstring ShownText(const Object& column, const std::vector<std::wstring>& lines)
{
    const std::wstring whole = column.Text(7);
    if (!whole.empty())
        return whole;
    std::wstring text;
    for (size_t i = 0; i < lines.size(); ++i)
        text += (i ? L"\n" : L"") + lines[i];
    return text;
}

} // namespace

SpcColumn::SpcColumn(Velmar& velmar, const std::string& name, std::vector<std::wstring> lines, bool wholeString)
    : column_(velmar.NewObject(name)), text_(velmar.NewObject(name + "Text")),
      lines_(std::make_shared<std::vector<std::wstring>>(std::move(lines)))
{
    auto shown = lines_;
    const Object* column = column_.get();
    text_->Face<IVel7SpcColumnText>()
        .On<&IVel7SpcColumnText::get_Str>(18, [column, shown](BSTR* text) { *text = SysAllocString(ShownText(*column, *shown).c_str()); })
        .On<&IVel7SpcColumnText::get_LineCount>(19, [shown](long* count) { *count = static_cast<long>(shown->size()); })
        .On<&IVel7SpcColumnText::put_LineText>(20, [shown](long index, VARIANT text) {
            if (index < 0 || static_cast<size_t>(index) >= shown->size())
                throw Fail{E_INVALIDARG, 0};
            _variant_t converted;
            if (FAILED(VariantChangeType(&converted, &text, 0, VT_BSTR)))
                throw Fail{DISP_E_TYPEMISMATCH, 1};
            (*shown)[index] = V_BSTR(&converted) ? V_BSTR(&converted) : L"";
        });

    column_->Face<IVel7SpcColumn>().Get<&IVel7SpcColumn::get_TextObject>(19);
    column_->Value(19) = _variant_t(text_->Primary());
    if (wholeString)
        column_->Face<IVel7SpcColumnString>().Set<&IVel7SpcColumnString::put_Str>(7);
}

std::wstring SpcColumn::Text() const
{
    return ShownText(*column_, *lines_);
}

void SpcColumn::SetLines(std::vector<std::wstring> lines)
{
    *lines_ = std::move(lines);
    column_->Value(7) = _variant_t();
}

} // namespace sim
