#include "sim/shown_text.h"
#include "sim/spc_model.h"

#include "hostapi/velmar.h"
#include "sim/velmar.h"

#include <algorithm>

namespace sim {

namespace {

void GiveOut(Object* object, IDispatch** out)
{
    *out = object ? object->Primary() : nullptr;
    if (*out)
        (*out)->AddRef();
}

// An index as Velmar reads it from a variant: any integer type, by value or by reference.
long IndexOf(const VARIANT& index)
{
    _variant_t converted;
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&index), 0, VT_I4)))
        throw Fail{DISP_E_TYPEMISMATCH};
    return V_I4(&converted);
}

template <class T>
T& At(std::vector<T>& items, const VARIANT& index)
{
    const long i = IndexOf(index);
    if (i < 0 || static_cast<size_t>(i) >= items.size())
        throw Fail{E_INVALIDARG};
    return items[static_cast<size_t>(i)];
}

std::wstring TextOf(const VARIANT& value)
{
    _variant_t converted;
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, VT_BSTR)))
        throw Fail{DISP_E_TYPEMISMATCH};
    return V_BSTR(&converted) ? std::wstring(V_BSTR(&converted), SysStringLen(V_BSTR(&converted))) : std::wstring();
}

std::string NameOf(IDispatch* object)
{
    if (!object)
        return "null";
    Object* standIn = Object::From(object);
    return standIn ? standIn->Name() : "object";
}

std::vector<std::wstring> SplitLines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

std::string ColumnKey(const SpcColumnDef& def)
{
    return std::to_string(def.type) + "." + std::to_string(def.number);
}

} // namespace

SpcObjectColumn::SpcObjectColumn(Velmar& velmar, const std::string& name, const SpcColumnDef& def)
    : items(static_cast<size_t>(std::max(def.items, 0))), type_(def.type), number_(def.number), kind_(def.kind),
      text_(velmar, name, std::vector<std::wstring>(static_cast<size_t>(std::max(def.lines, 0))))
{
    items_ = velmar.NewObject(name + ".items");
    for (size_t i = 0; i < items.size(); ++i) {
        ObjectRef item = velmar.NewObject(name + ".item" + std::to_string(i));
        item->Face<IVel7SpcColumnItem>()
            .On<&IVel7SpcColumnItem::put_On>(15, [this, i](VARIANT_BOOL on) { items[i].on = on != VARIANT_FALSE; })
            .On<&IVel7SpcColumnItem::put_Value>(17, [this, i](VARIANT value) {
                items[i].value = TextOf(value);
                ++items[i].writes;
            });
        itemObjects_.push_back(item);
    }

    text_.Column()
        .Face<IVel7SpcColumn>()
        .On<&IVel7SpcColumn::get_Type>(11, [this](long* type) { *type = type_; })
        .On<&IVel7SpcColumn::get_Number>(12, [this](long* number) { *number = number_; })
        .On<&IVel7SpcColumn::get_Kind>(15, [this](long* kind) { *kind = kind_; })
        .On<&IVel7SpcColumn::get_Items>(16, [this](IDispatch** out) { GiveOut(items_.get(), out); });
    items_->Face<IVel7SpcColumnItems>()
        .On<&IVel7SpcColumnItems::get_Count>(12, [this](long* count) { *count = static_cast<long>(itemObjects_.size()); })
        .On<&IVel7SpcColumnItems::get_Item>(13, [this](VARIANT index, IDispatch** out) {
            GiveOut(At(itemObjects_, index).get(), out);
        });
}

void SpcObjectColumn::SetText(const std::wstring& text)
{
    text_.SetLines(SplitLines(text));
}

SpcObject::SpcObject(SpcModel& model, const std::string& name, long section, double number)
    : section(section), number(number), model_(model)
{
    Velmar& velmar = model.GetVelmar();
    object_ = velmar.NewObject(name);
    columnsAObject_ = velmar.NewObject(name + ".colsA");
    columnsBObject_ = velmar.NewObject(name + ".colsB");
    commentsObject_ = velmar.NewObject(name + ".comments");
    for (const auto& def : model.DefinitionsA())
        MakeColumn(columnsA, "A", def);
    for (const auto& def : model.DefinitionsB())
        MakeColumn(columnsB, "B", def);

    // Both interfaces are one function table in Velmar; the derived one is what the host hands out.
    auto serveBase = [this](auto face) {
        face.template On<&IVel7SpcObjectBase::get_Section>(12, [this](long* value) { *value = this->section; })
            .template On<&IVel7SpcObjectBase::get_SubSection>(13, [this](long* value) { *value = subsection; })
            .template On<&IVel7SpcObjectBase::put_SubSection>(14, [this](long value) { subsection = value; })
            .template On<&IVel7SpcObjectBase::put_AdditionalBlockSection>(16, [this](long value) { additionalBlockSection = value; })
            .template On<&IVel7SpcObjectBase::get_AdditionalBlock>(17, [this](long* value) { *value = additionalBlock; })
            .template On<&IVel7SpcObjectBase::put_AdditionalBlock>(18, [this](long value) { additionalBlock = value; })
            .template On<&IVel7SpcObjectBase::get_NestedSection>(19, [this](long* value) { *value = nestedSection; })
            .template On<&IVel7SpcObjectBase::put_NestedSection>(20, [this](long value) { nestedSection = value; })
            .template On<&IVel7SpcObjectBase::get_NestedBlock>(21, [this](long* value) { *value = nestedBlock; })
            .template On<&IVel7SpcObjectBase::put_NestedBlock>(22, [this](long value) { nestedBlock = value; })
            .template On<&IVel7SpcObjectBase::get_ColumnsA>(30, [this](IDispatch** out) { GiveOut(columnsAObject_.get(), out); })
            .template On<&IVel7SpcObjectBase::get_ColumnsB>(31, [this](IDispatch** out) { GiveOut(columnsBObject_.get(), out); })
            .template On<&IVel7SpcObjectBase::Update>(33, [this](VARIANT_BOOL* done) {
                ++updates;
                *done = VARIANT_TRUE;
            })
            .template On<&IVel7SpcObjectBase::Delete>(34, [this]() {
                if (deleted)
                    throw Fail{E_FAIL};
                deleted = true;
                model_.Changed();
                model_.GetVelmar().Undo().Record([this] {
                    deleted = false;
                    model_.Changed();
                });
            });
    };
    auto derived = object_->Face<IVel7SpcObject>();
    serveBase(derived);
    serveBase(object_->Face<IVel7SpcObjectBase>());
    derived.On<&IVel7SpcObject::get_Comments>(42, [this](IDispatch** out) { GiveOut(commentsObject_.get(), out); })
        .On<&IVel7SpcObject::get_Origin>(43, [this](VARIANT* value) {
            VariantInit(value);
            VariantCopy(value, &origin);
        })
        .On<&IVel7SpcObject::get_Geometry>(48, [this](VARIANT* value) {
            SAFEARRAY* array = SafeArrayCreateVector(VT_DISPATCH, 0, static_cast<ULONG>(linked.size()));
            for (LONG i = 0; i < static_cast<LONG>(linked.size()); ++i)
                SafeArrayPutElement(array, &i, linked[static_cast<size_t>(i)].GetInterfacePtr());
            VariantInit(value);
            V_VT(value) = VT_ARRAY | VT_DISPATCH;
            V_ARRAY(value) = array;
        })
        .On<&IVel7SpcObject::get_Number>(44, [this](double* value) { *value = this->number; })
        .On<&IVel7SpcObject::put_Number>(45, [this](double value) {
            model_.GetVelmar().Undo().Record([this, old = this->number] { this->number = old; });
            this->number = value;
        })
        .On<&IVel7SpcObject::IncludeGeometry>(50, [this](VARIANT value, VARIANT_BOOL, VARIANT_BOOL* done) {
            *done = VARIANT_FALSE;
            if (model_.RefusesInclusion())
                return;
            model_.GetVelmar().Undo().Record([this, names = geometry, objects = linked] {
                model_.ForgetLinks(*this);
                geometry = names;
                linked = objects;
                for (const IDispatchPtr& object : linked)
                    model_.NoteLink(*this, object);
            });
            const VARIANT* v = &value;
            if (V_VT(v) == (VT_VARIANT | VT_BYREF))
                v = V_VARIANTREF(v);
            // An object included already stays included once.
            auto include = [this](IDispatch* object) {
                for (const IDispatchPtr& known : linked)
                    if (SameHostObject(known, object))
                        return;
                geometry.push_back(NameOf(object));
                linked.emplace_back(object);
                model_.NoteLink(*this, object);
            };
            if (V_VT(v) == VT_DISPATCH) {
                include(V_DISPATCH(v));
            } else if (V_VT(v) == (VT_ARRAY | VT_DISPATCH)) {
                SAFEARRAY* array = V_ARRAY(v);
                LONG lower = 0, upper = -1;
                if (SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
                    FAILED(SafeArrayGetUBound(array, 1, &upper)))
                    throw Fail{E_INVALIDARG};
                for (LONG i = lower; i <= upper; ++i) {
                    IDispatchPtr element;
                    if (FAILED(SafeArrayGetElement(array, &i, &element)))
                        throw Fail{E_INVALIDARG};
                    include(element);
                }
            } else if (V_VT(v) != VT_EMPTY) {
                throw Fail{DISP_E_TYPEMISMATCH};
            }
            *done = VARIANT_TRUE;
        })
        .On<&IVel7SpcObject::ExcludeGeometry>(51, [this](long, long, VARIANT* result) {
            model_.GetVelmar().Undo().Record([this, names = geometry, objects = linked] {
                model_.ForgetLinks(*this);
                geometry = names;
                linked = objects;
                for (const IDispatchPtr& object : linked)
                    model_.NoteLink(*this, object);
            });
            model_.ForgetLinks(*this);
            geometry.clear();
            linked.clear();
            VariantInit(result);
            *result = _variant_t(true).Detach();
        });

    auto serveColumns = [](Object& collection, std::vector<std::unique_ptr<SpcObjectColumn>>& columns) {
        collection.Face<IVel7SpcColumns>()
            .On<&IVel7SpcColumns::get_Count>(12, [&columns](long* count) { *count = static_cast<long>(columns.size()); })
            .On<&IVel7SpcColumns::get_Item>(13, [&columns](VARIANT index, IDispatch** out) {
                GiveOut(&At(columns, index)->Obj(), out);
            });
    };
    // The reference the bill of materials' editing object opens an object by.
    object_->Face<IVel7ObjectRef>().On<&IVel7ObjectRef::get_Reference>(10, [this](long* value) { *value = reference; });
    serveColumns(*columnsAObject_, columnsA);
    serveColumns(*columnsBObject_, columnsB);

    commentsObject_->Face<IVel7SpcComments>()
        .On<&IVel7SpcComments::get_Count>(12, [this](long* count) { *count = static_cast<long>(comments_.size()); })
        .On<&IVel7SpcComments::get_Item>(13, [this](VARIANT index, IDispatch** out) { GiveOut(At(comments_, index).get(), out); })
        .On<&IVel7SpcComments::Add>(15, [this](IDispatch* comment, VARIANT_BOOL* done) {
            Object* standIn = Object::From(comment);
            if (!standIn)
                throw Fail{E_INVALIDARG};
            *done = VARIANT_FALSE;
            if (refuseCommentAdds > 0) {
                --refuseCommentAdds;
                return;
            }
            comments_.emplace_back(standIn);
            model_.GetVelmar().Undo().Record([this] { comments_.pop_back(); });
            *done = VARIANT_TRUE;
        })
        .On<&IVel7SpcComments::Remove>(16, [this](VARIANT index, VARIANT_BOOL* done) {
            At(comments_, index);
            *done = VARIANT_FALSE;
            if (refuseCommentRemovals > 0) {
                --refuseCommentRemovals;
                return;
            }
            if (!removalsKeepComments) {
                const long at = IndexOf(index);
                ObjectRef removed = comments_[static_cast<size_t>(at)];
                comments_.erase(comments_.begin() + at);
                model_.GetVelmar().Undo().Record([this, at, removed] { comments_.insert(comments_.begin() + at, removed); });
            }
            *done = VARIANT_TRUE;
        });
}

SpcObjectColumn& SpcObject::MakeColumn(std::vector<std::unique_ptr<SpcObjectColumn>>& columns, const char* collection, const SpcColumnDef& def)
{
    columns.push_back(std::make_unique<SpcObjectColumn>(model_.GetVelmar(), Name() + ".col" + collection + "[" + ColumnKey(def) + "]", def));
    return *columns.back();
}

SpcObjectColumn* SpcObject::ColumnA(long type, long number)
{
    for (auto& column : columnsA)
        if (column->Type() == type && column->Number() == number)
            return column.get();
    return nullptr;
}

SpcObjectColumn* SpcObject::ColumnB(long type, long number)
{
    for (auto& column : columnsB)
        if (column->Type() == type && column->Number() == number)
            return column.get();
    return nullptr;
}

SpcObjectColumn& SpcObject::AddColumnA(const SpcColumnDef& def)
{
    return MakeColumn(columnsA, "A", def);
}

void SpcObject::Link(Object& object)
{
    geometry.push_back(object.Name());
    linked.push_back(object.Ptr());
    model_.NoteLink(*this, object.Primary());
}

std::string SpcObject::Describe() const
{
    std::string text = "section " + std::to_string(section);
    for (const auto* list : {&columnsA, &columnsB})
        for (const auto& column : *list)
            if (!column->Text().empty())
                text += ", " + std::to_string(column->Type()) + "." + std::to_string(column->Number()) + " " +
                        QuoteShown(column->Text());
    return text;
}

std::string SpcObject::DescribeComments() const
{
    std::string text;
    for (const auto& comment : comments_)
        text += ", comment " + QuoteShown(comment->Name());
    return text;
}

Object& SpcObject::AddComment(const std::string& name)
{
    comments_.push_back(model_.GetVelmar().NewObject(name));
    return *comments_.back();
}

std::vector<std::string> SpcObject::Comments() const
{
    std::vector<std::string> names;
    for (const auto& comment : comments_)
        names.push_back(comment->Name());
    return names;
}

SpcModel::SpcModel(Velmar& velmar, Object& spcObjects, Object& definitionsA, Object& definitionsB) : velmar_(velmar)
{
    spcObjects.Face<IVel7SpcObjects>()
        .On<&IVel7SpcObjects::get_Count>(12, [this](long* count) { *count = static_cast<long>(Live().size()); })
        .On<&IVel7SpcObjects::get_Item>(13, [this](VARIANT index, IDispatch** out) {
            const std::vector<SpcObject*>& live = Live();
            const long i = IndexOf(index);
            if (i < 0 || static_cast<size_t>(i) >= live.size())
                throw Fail{E_INVALIDARG};
            GiveOut(&live[static_cast<size_t>(i)]->Obj(), out);
        })
        .On<&IVel7SpcObjects::Add>(14, [this](long section, double number, IDispatch** out) {
        if (refuseAdd_ > 0) {
            --refuseAdd_;
            *out = nullptr;
            return;
        }
        SpcObject& made = AddObject(section, number);
        velmar_.Undo().Record([this, &made] {
            made.deleted = true;
            Changed();
        });
        GiveOut(&made.Obj(), out);
    })
        .On<&IVel7SpcObjects::ObjectsOf>(15, [this](VARIANT geometry, VARIANT* out) {
            if (V_VT(&geometry) != VT_DISPATCH)
                throw Fail{DISP_E_TYPEMISMATCH};
            std::vector<SpcObject*> including;
            const auto known = byLinked_.find(Object::From(V_DISPATCH(&geometry)));
            if (known != byLinked_.end())
                for (SpcObject* object : known->second)
                    if (!object->deleted && std::find(including.begin(), including.end(), object) == including.end())
                        including.push_back(object);
            // In the order the objects were made, as a walk of the document finds them.
            std::sort(including.begin(), including.end(), [](const SpcObject* a, const SpcObject* b) { return a->reference < b->reference; });
            std::vector<IDispatch*> found;
            for (SpcObject* object : including)
                found.push_back(object->Obj().Primary());
            SAFEARRAY* array = SafeArrayCreateVector(VT_DISPATCH, 0, static_cast<ULONG>(found.size()));
            for (LONG i = 0; i < static_cast<LONG>(found.size()); ++i)
                SafeArrayPutElement(array, &i, found[static_cast<size_t>(i)]);
            VariantInit(out);
            V_VT(out) = VT_ARRAY | VT_DISPATCH;
            V_ARRAY(out) = array;
        });
    ServeDefinitions(definitionsA, defObjectsA_);
    ServeDefinitions(definitionsB, defObjectsB_);
}

void SpcModel::ServeDefinitions(Object& collection, std::vector<ObjectRef>& objects)
{
    collection.Face<IVel7SpcColumns>()
        .On<&IVel7SpcColumns::get_Count>(12, [&objects](long* count) { *count = static_cast<long>(objects.size()); })
        .On<&IVel7SpcColumns::get_Item>(13, [&objects](VARIANT index, IDispatch** out) { GiveOut(At(objects, index).get(), out); });
}

namespace {

ObjectRef MakeDefinition(Velmar& velmar, const std::string& prefix, const SpcColumnDef& def)
{
    ObjectRef object = velmar.NewObject(prefix + "[" + ColumnKey(def) + "]");
    object->Face<IVel7SpcColumnDefinition>()
        .On<&IVel7SpcColumnDefinition::get_Name>(11, [def](BSTR* name) { *name = SysAllocString(def.name.c_str()); })
        .On<&IVel7SpcColumnDefinition::get_Type>(12, [def](long* type) { *type = def.type; })
        .On<&IVel7SpcColumnDefinition::get_Number>(13, [def](long* number) { *number = def.number; })
        .On<&IVel7SpcColumnDefinition::get_Is3D>(28, [def](VARIANT_BOOL* is3D) { *is3D = def.is3D ? VARIANT_TRUE : VARIANT_FALSE; });
    return object;
}

} // namespace

void SpcModel::DefineColumnA(const SpcColumnDef& def)
{
    defsA_.push_back(def);
    defObjectsA_.push_back(MakeDefinition(velmar_, "defA", def));
}

void SpcModel::DefineColumnB(const SpcColumnDef& def)
{
    defsB_.push_back(def);
    defObjectsB_.push_back(MakeDefinition(velmar_, "defB", def));
}

const std::vector<SpcObject*>& SpcModel::Live()
{
    if (!liveValid_) {
        live_ = Objects();
        liveValid_ = true;
    }
    return live_;
}

SpcObject& SpcModel::AddObject(long section, double number)
{
    liveValid_ = false;
    objects_.push_back(std::make_unique<SpcObject>(*this, "spcObj" + std::to_string(objects_.size() + 1), section, number));
    objects_.back()->reference = 1000 + static_cast<long>(objects_.size());
    edited_ = objects_.back().get();
    return *objects_.back();
}

void SpcModel::Edit(long reference)
{
    for (const auto& object : objects_)
        if (object->reference == reference)
            edited_ = object.get();
}

void SpcModel::DefineColumnAWhereNone(const SpcColumnDef& def)
{
    if (std::none_of(defsA_.begin(), defsA_.end(), [&](const SpcColumnDef& known) {
            return known.type == def.type && known.number == def.number;
        }))
        DefineColumnA(def);
    for (SpcObject* object : Objects())
        if (!object->ColumnA(def.type, def.number))
            object->AddColumnA(def);
}

void SpcModel::NoteLink(SpcObject& owner, IUnknown* included)
{
    if (Object* object = Object::From(included))
        byLinked_[object].push_back(&owner);
}

void SpcModel::ForgetLinks(SpcObject& owner)
{
    for (const IDispatchPtr& included : owner.linked) {
        const auto known = byLinked_.find(Object::From(included));
        if (known == byLinked_.end())
            continue;
        auto& owners = known->second;
        owners.erase(std::remove(owners.begin(), owners.end(), &owner), owners.end());
    }
}

std::vector<SpcObject*> SpcModel::Objects() const
{
    std::vector<SpcObject*> live;
    for (const auto& object : objects_)
        if (!object->deleted)
            live.push_back(object.get());
    return live;
}

SpcObject* SpcModel::Find(IUnknown* object) const
{
    Object* standIn = Object::From(object);
    for (const auto& candidate : objects_)
        if (&candidate->Obj() == standIn)
            return candidate.get();
    return nullptr;
}

} // namespace sim
