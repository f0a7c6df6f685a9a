#include "sim/spc_column.h"

#include "sim/velmar.h"

namespace sim {

SpcColumn::SpcColumn(Velmar& velmar, const std::string& name, std::vector<std::wstring> lines, bool wholeString)
    : column_(velmar.NewObject(name)), text_(velmar.NewObject(name + "Text")),
      lines_(std::make_shared<std::vector<std::wstring>>(std::move(lines)))
{
    auto shown = lines_;
    text_->Face<IVel7SpcColumnText>()
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

} // namespace sim
