#include "sim/user_params.h"

#include "hostapi/velmar.h"
#include "sim/velmar.h"

namespace sim {

namespace {

// Velmar keeps an 8-bit text in the system's code page: what it cannot carry comes back as "?".
std::wstring ThroughCodePage(const wchar_t* text)
{
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(bytes > 0 ? bytes : 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), bytes, nullptr, nullptr);
    const int chars = MultiByteToWideChar(CP_ACP, 0, narrow.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(chars > 0 ? chars : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow.c_str(), -1, wide.data(), chars);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

std::wstring TextOf(Object& object, int key)
{
    return object.Has(key) ? object.Text(key) : std::wstring();
}

} // namespace

ObjectRef UserParams::NewRecord()
{
    ObjectRef record = velmar_.NewObject("userParam");
    Object* self = record.get();
    record->Supports(__uuidof(IVel5UserParam))
        .Property(IVel5UserParam::LibFileName)
        .Property(IVel5UserParam::LibName)
        .Property(IVel5UserParam::Flag)
        .Property(IVel5UserParam::Values)
        .Property(IVel5UserParam::Block)
        .Method(IVel5UserParam::SetValues, 1, [self](Args& args) {
            self->Value(IVel5UserParam::Values) = _variant_t(static_cast<IDispatch*>(args.Object(0)));
            return _variant_t(true);
        })
        .Method(IVel5UserParam::Init, 0, [self](Args&) {
            for (int key : {1, 2, 3, 4, 7})
                self->Value(key) = _variant_t();
            return _variant_t(true);
        });
    return record;
}

ObjectRef UserParams::NewItem()
{
    ObjectRef item = velmar_.NewObject("valueItem");
    Object* self = item.get();
    item->Supports(__uuidof(IVel5ValueItem))
        .Property(IVel5ValueItem::WideText, L"")
        .Property(IVel5ValueItem::Text, L"")
        .Property(IVel5ValueItem::Flag, short{0})
        .Put(IVel5ValueItem::Text, [self](Args&, const VARIANT& value) {
            const _bstr_t text = _variant_t(value);
            const wchar_t* raw = text;
            self->Value(IVel5ValueItem::Text) = ThroughCodePage(raw ? raw : L"").c_str();
        })
        .Method(IVel5ValueItem::Init, 0, [self](Args&) {
            self->Value(IVel5ValueItem::Text) = L"";
            self->Value(IVel5ValueItem::WideText) = L"";
            self->Value(IVel5ValueItem::Flag) = short{0};
            return _variant_t(true);
        });
    return item;
}

ObjectRef UserParams::NewArray(std::vector<ValueItemData> items)
{
    ObjectRef array = velmar_.NewObject("valueArray");
    std::vector<ValueItemData>& data = arrays_[array.get()] = std::move(items);
    array->Supports(__uuidof(IVel5DynamicArray))
        .Method(IVel5DynamicArray::Count, 0, [&data](Args&) { return _variant_t(static_cast<long>(data.size())); })
        .Method(IVel5DynamicArray::Append, 2, [&data](Args& args) {
            Object* item = Object::From(args.Unknown(0));
            if (!item || args.Int32(1) != -1)
                throw Fail{E_INVALIDARG};
            data.push_back({TextOf(*item, IVel5ValueItem::Text), TextOf(*item, IVel5ValueItem::WideText),
                            static_cast<short>(item->Long(IVel5ValueItem::Flag))});
            return _variant_t(true);
        })
        .Method(IVel5DynamicArray::Item, 2, [&data](Args& args) {
            const long index = args.Int32(0);
            Object* item = Object::From(args.Unknown(1));
            if (!item || index < 0 || static_cast<size_t>(index) >= data.size())
                throw Fail{E_INVALIDARG};
            item->Value(IVel5ValueItem::Text) = data[static_cast<size_t>(index)].narrow.c_str();
            item->Value(IVel5ValueItem::WideText) = data[static_cast<size_t>(index)].wide.c_str();
            item->Value(IVel5ValueItem::Flag) = data[static_cast<size_t>(index)].flag;
            return _variant_t(true);
        });
    return array;
}

const std::vector<ValueItemData>& UserParams::ItemsOf(Object* array) const
{
    static const std::vector<ValueItemData> none;
    auto found = arrays_.find(array);
    return found == arrays_.end() ? none : found->second;
}

UserParamBlock UserParams::Read(Object& record)
{
    UserParamBlock block;
    block.libFileName = TextOf(record, IVel5UserParam::LibFileName);
    block.libName = TextOf(record, IVel5UserParam::LibName);
    block.flag = record.Has(IVel5UserParam::Flag) && V_VT(&record.Value(IVel5UserParam::Flag)) != VT_EMPTY
                     ? record.Long(IVel5UserParam::Flag)
                     : 0;
    if (record.Has(IVel5UserParam::Values) && V_VT(&record.Value(IVel5UserParam::Values)) == VT_DISPATCH) {
        auto found = arrays_.find(Object::From(V_DISPATCH(&record.Value(IVel5UserParam::Values))));
        if (found != arrays_.end())
            block.items = found->second;
    }
    return block;
}

void UserParams::Fill(Object& record, const UserParamBlock& block)
{
    record.Value(IVel5UserParam::LibFileName) = block.libFileName.c_str();
    record.Value(IVel5UserParam::LibName) = block.libName.c_str();
    record.Value(IVel5UserParam::Flag) = block.flag;
    record.Value(IVel5UserParam::Values) = Handed(NewArray(block.items).get());
}

void UserParams::ServePart(Part& part)
{
    PartState& state = parts_[&part];
    part.V5()
        .Method(IVel5Part::SetUserParam, 1, [this, &state](Args& args) {
            Object* record = Object::From(args.Unknown(0));
            if (!record)
                throw Fail{E_INVALIDARG, 0};
            if (state.refuse)
                return _variant_t(false);
            state.block = Read(*record);
            return _variant_t(true);
        })
        .Method(IVel5Part::GetUserParam, 1, [this, &state](Args& args) {
            Object* record = Object::From(args.Unknown(0));
            if (!record)
                throw Fail{E_INVALIDARG, 0};
            if (!state.block)
                return _variant_t(false);
            Fill(*record, *state.block);
            return _variant_t(true);
        })
        .Property(IVel5Part::UserParamSet, false)
        .Property(IVel5Part::FileName, L"");
}

} // namespace sim
