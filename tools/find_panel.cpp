#include "tools/find_panel.h"

#include "core/com_convert.h"
#include "core/format_string.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/entity_access.h"
#include "hostapi/vtable_call.h"

#include <algorithm>

namespace {

enum : long {
    kNameList = 9151,
    kPartField = 9152,
    kSteps = 9153,
    kChoose = 9155,
    kReplace = 9156,
    kReplaceAll = 9157,
    kPrevious = 9053,
    kNext = 9054,
    kChoosePart = 9055,
    kFirstId = 9050,
};

// Velmar's own value for the name list and the part field (their position 37).
constexpr long kFindLayout = 40;

VARIANT_BOOL Flag(bool on)
{
    return on ? VARIANT_TRUE : VARIANT_FALSE;
}

_bstr_t Bstr(const std::wstring& text)
{
    return _bstr_t(text.c_str());
}

} // namespace

template <class Base>
long FindPanel<Base>::FilterItem() const
{
    const auto& names = finder_->NMObjsUniqNames;
    const auto at = std::lower_bound(names.begin(), names.end(), finder_->FilterName);
    return at != names.end() && *at == finder_->FilterName ? static_cast<long>(at - names.begin()) : 0;
}

template <class Base>
void FindPanel<Base>::AddFindControls()
{
    names_ = this->AddComboBox(kNameList, finder_->NMObjsUniqNames, FilterItem());
    V7Call(names_, &IVel7ComboBox::put_Setting37, kFindLayout);
    steps_ = this->AddButtonBar(kSteps, {Translate(L"Предыдущий элемент"), Translate(L"Следующий элемент")}, {});
    this->AddGroupTitle(L"", true);
    part_ = this->AddSelectField(kPartField, L"");
    V7Call(part_, &IVel7SelectField::put_Setting37, kFindLayout);
    choose_ = this->AddButtonBar(kChoose, {Translate(L"Выбрать деталь")}, {});
    this->AddGroupTitle(L"", true);
    const std::wstring replace = Translate(L"Заменить");
    replace_ = this->AddToggle(kReplace, replace, replace, replace);
    this->AddGroupTitle(L"", true);
    const std::wstring replaceAll = Translate(L"Заменить все");
    replaceAll_ = this->AddToggle(kReplaceAll, replaceAll, replaceAll, replaceAll);
}

template <class Base>
void FindPanel<Base>::Open()
{
    if (finder_->Action == FindReplaced) {
        RefillNames();
        // The last object of the name was replaced by another name: its objects are filtered afresh.
        if (finder_->NMObjsFlt.empty())
            finder_->ChangeNMFilter(finder_->FilterName);
    }
    UpdateControls();
    finder_->Action = FindLeave;
}

template <class Base>
void FindPanel<Base>::RefillNames()
{
    V7Call(names_, &IVel7ComboBox::Clear);
    for (const std::wstring& name : finder_->NMObjsUniqNames)
        V7Call(names_, &IVel7ComboBox::AddItem, Bstr(name));
    if (!finder_->NMObjsUniqNames.empty())
        V7Call(names_, &IVel7ComboBox::Select, FilterItem(), _variant_t(true));
}

template <class Base>
void FindPanel<Base>::UpdateControls()
{
    const size_t n = finder_->FilteredCount();
    const bool part = finder_->IsPartExists();
    V7Call(steps_, &IVel7Control::put_Enabled, Flag(n > 1));
    V7Call(choose_, &IVel7Control::put_Enabled, Flag(n >= 1));
    V7Call(replace_, &IVel7Control::put_Enabled, Flag(part && n >= 1));
    V7Call(replaceAll_, &IVel7Control::put_Enabled, Flag(part && n > 1));
    const std::wstring hint =
        n >= 1 ? FormatString(L"[%d] %s", _variant_t(static_cast<unsigned long>(n)), finder_->FilterName.c_str()) : std::wstring();
    V7Call(names_, &IVel7Control::put_Name, Bstr(hint));
    const std::wstring partName = finder_->GetPartName();
    V7Call(part_, &IVel7Control::put_Value, _variant_t(partName.c_str()));
    V7Call(part_, &IVel7Control::put_Hint, Bstr(partName));
    ShowCurrent();
}

template <class Base>
VARIANT_BOOL FindPanel<Base>::ChangeControlValue(IDispatch* control)
{
    TraceScope scope(L"FindPanel::ChangeControlValue");
    const long id = V7Get(RequireHost(QueryHost<IVel7Control>(control)), &IVel7Control::get_Id);
    scope.Value(L"id", id);
    if (id == kNameList) {
        // A value that is no text filters nothing.
        const _variant_t value = V7Get(names_, &IVel7Control::get_Value);
        finder_->ChangeNMFilter(V_VT(&value) == VT_BSTR ? VariantToWString(value) : std::wstring());
        UpdateControls();
    }
    return VARIANT_FALSE;
}

template <class Base>
VARIANT_BOOL FindPanel<Base>::ControlCommand(IDispatch*, long buttonId)
{
    TraceScope scope(L"FindPanel::ControlCommand");
    scope.Value(L"id", buttonId);
    switch (buttonId) {
    case kPrevious:
        finder_->PrevNMObj();
        ShowCurrent();
        break;
    case kNext:
        finder_->NextNMObj();
        ShowCurrent();
        break;
    case kChoosePart:
        EndRun(FindChoose);
        break;
    case kReplace:
        EndRun(FindReplaceOne);
        break;
    case kReplaceAll:
        EndRun(FindReplaceAll);
        break;
    default:
        break;
    }
    return VARIANT_FALSE;
}

template <class Base>
std::wstring FindPanel<Base>::Category() const
{
    return Translate(L"Нормсет");
}

template <class Base>
void FindPanel<Base>::UpdatePrompt()
{
    WritePrompt(FormatString(L"%s: %d", Category().c_str(), _variant_t(static_cast<unsigned long>(finder_->NMObjs.size()))));
}

template <class Base>
void FindPanel<Base>::ShowCurrent()
{
    finder_->SelectNMObject();
    UpdatePrompt();
}

template <class Base>
void FindPanel<Base>::EndRun(uint32_t action)
{
    finder_->Action = action;
    this->EndProcess();
}

template class FindPanel<VelBasePanel2D>;
template class FindPanel<VelBasePanel3D>;
