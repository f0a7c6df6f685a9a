#include "sim/utility_classes.h"

#include "hostapi/utility_objects.h"

namespace sim {

namespace {

constexpr int kText = 26;

} // namespace

UtilityClasses::UtilityClasses(Session& session) : session_(session)
{
    razadiClass_ = std::make_unique<ClassRegistration>(CLSID_RAZadi, [this] { return NewRAZadi(); });
    itemListClass_ = std::make_unique<ClassRegistration>(CLSID_ItemList, [this] { return NewItemList(); });
}

UtilityClasses::~UtilityClasses()
{
    razadiClass_.reset();
    itemListClass_.reset();
    for (auto* list : {&razadi_, &itemLists_})
        for (auto& object : *list)
            object->Detach();
    items_.clear();
}

void UtilityClasses::AppendText(Object& razadi, const std::wstring& text)
{
    razadi.Value(kText) = _variant_t((razadi.Text(kText) + text).c_str());
}

ObjectRef UtilityClasses::NewRAZadi()
{
    ObjectRef object = Object::Create(session_, "razadi");
    object->Value(kText) = _variant_t(L"");
    Object* self = object.get();
    object->Face<IRAZadi>()
        .Get<&IRAZadi::get_Text>(kText)
        .On<&IRAZadi::Reset>(27, [self] { self->Value(kText) = _variant_t(L""); });
    object->ScriptName(L"Append", IRAZadi::ScriptAppend).Method(IRAZadi::ScriptAppend, 1, [self](Args& args) {
        AppendText(*self, args.Text(0));
        return _variant_t();
    });
    razadi_.push_back(object);
    return object;
}

ObjectRef UtilityClasses::NewItemList()
{
    ObjectRef object = Object::Create(session_, "itemList");
    auto& items = items_.emplace_back();
    object->Face<IItemList>()
        .On<&IItemList::get_Count>(7, [&items](long* count) { *count = static_cast<long>(items.size()); })
        .On<&IItemList::Add>(8, [&items](IDispatch* item) { items.emplace_back(item); })
        .On<&IItemList::Item>(9, [&items](long index, IDispatch** item) -> HRESULT {
            *item = nullptr;
            if (index < 0 || static_cast<size_t>(index) >= items.size())
                return E_INVALIDARG;
            if ((*item = items[static_cast<size_t>(index)]))
                (*item)->AddRef();
            return S_OK;
        });
    object->ScriptName(L"Count", IItemList::ScriptCount)
        .ScriptName(L"Add", IItemList::ScriptAdd)
        .ScriptName(L"Item", IItemList::ScriptItem)
        .Method(IItemList::ScriptCount, 0, [&items](Args&) { return _variant_t(static_cast<long>(items.size())); })
        .Method(IItemList::ScriptAdd, 1, [&items](Args& args) {
            items.emplace_back(args.Object(0));
            return _variant_t();
        })
        .Method(IItemList::ScriptItem, 1, [&items](Args& args) {
            const long index = args.Int32(0);
            if (index < 0 || static_cast<size_t>(index) >= items.size())
                throw Fail{E_INVALIDARG, 0};
            return _variant_t(items[static_cast<size_t>(index)].GetInterfacePtr());
        });
    itemLists_.push_back(object);
    return object;
}

} // namespace sim
