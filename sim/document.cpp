#include "sim/document.h"

#include "hostapi/velmar.h"
#include "sim/velmar.h"

#include <algorithm>

namespace sim {

namespace {

// Hands a stand-in object out through an out parameter, as the host does: with a reference added.
void GiveOut(Object* object, IDispatch** out)
{
    *out = object ? object->Primary() : nullptr;
    if (*out)
        (*out)->AddRef();
}

constexpr long kPositionColumn = 3;

} // namespace

Document::Document(Velmar& velmar, int type, const std::string& name) : velmar_(velmar), type_(type)
{
    v5_ = velmar.NewObject(name + "5");
    v7_ = velmar.NewObject(name + "7");
    v7_->Face<IVel7Document>()
        .Get<&IVel7Document::get_Kind>(11)
        .On<&IVel7Document::Close>(13, [this](long, VARIANT_BOOL* closed) {
            *closed = refuseClose_ ? VARIANT_FALSE : VARIANT_TRUE;
            if (!refuseClose_)
                velmar_.Close(*this);
        })
        .On<&IVel7Document::get_SpcDescriptions>(26, [this](IDispatch** out) { GiveOut(descriptions_.get(), out); })
        .On<&IVel7Document::get_DataStore>(28, [this](IDispatch** out) { GiveOut(&store_->Obj(), out); });
    store_ = std::make_unique<DataStore>(velmar, name + "Store");
    specification_ = velmar.NewObject(name + "Spc5");
    specification_->Supports(__uuidof(IVel5Specification))
        // The position number goes into the position column (3.1) of the object the editor stands on, which
        // the bill of materials shows and the library reads back.
        .Method(IVel5Specification::SetPosition, 1, [this](Args& args) {
            positionsSet_.push_back(args.Int32(0));
            if (SpcObject* edited = spc_->Edited()) {
                spc_->DefineColumnAWhereNone({kPositionColumn, 1, L"Поз."});
                edited->ColumnA(kPositionColumn, 1)->SetText(std::to_wstring(positionsSet_.back()));
            }
            return _variant_t(0L);
        })
        .Method(IVel5Specification::EditObject, 1, [this](Args& args) {
            objectsEdited_.push_back(args.Int32(0));
            spc_->Edit(objectsEdited_.back());
            return _variant_t(0L);
        });
    v7_->Value(11) = _variant_t(static_cast<long>(type));
    if (Is2D())
        Build2D(name);
    else if (type == 3)
        v5_->Supports(__uuidof(IVel5SpcDocument)).Returns(IVel5SpcDocument::BillOfMaterials, _variant_t(specification_->Primary()));
    else
        Build3D();
    BuildSpcChain(velmar);
    velmar.Twin(*v5_, *v7_);
}

void Document::Build2D(const std::string& name)
{
    velmar_.Drawings().Serve(*v5_, name);
    v5_->Supports(__uuidof(IVel5Document2D))
        .Returns(IVel5Document2D::SpcEditor, _variant_t(specification_->Primary()))
        .Method(IVel5Document2D::PlacementProcess, 6, [this](Args& args) { return _variant_t(velmar_.Panels().Run2D(args)); });
    v7_->Face<IVel7Document2D>();
}

void Document::BuildItems()
{
    SetItemCount(1);
    v7_->Face<IVel7Items>()
        .On<&IVel7Items::get_Count>(15, [this](long* count) { *count = static_cast<long>(items_.size()); })
        .On<&IVel7Items::get_Item>(16, [this](long index, IDispatch** out) -> HRESULT {
            if (index < 0 || static_cast<size_t>(index) >= items_.size())
                return E_INVALIDARG;
            GiveOut(items_[static_cast<size_t>(index)].get(), out);
            return S_OK;
        })
        .On<&IVel7Items::get_Current>(18, [this](IDispatch** out) { GiveOut(items_[currentItem_].get(), out); });
}

void Document::SetItemCount(size_t count)
{
    while (items_.size() < count) {
        const size_t index = items_.size();
        ObjectRef item = velmar_.NewObject("item" + std::to_string(index + 1));
        item->Face<IVel7Item>().On<&IVel7Item::put_Current>(22, [this, index](VARIANT_BOOL on) {
            if (on != VARIANT_FALSE) {
                currentItem_ = index;
                itemsMadeCurrent_.push_back(index);
            }
        });
        items_.push_back(item);
    }
}

void Document::Build3D()
{
    events_ = std::make_unique<EventSource>(*v5_, __uuidof(IVelDocumentEvents), v5_->Name() + "Points", v5_->Name() + "Point");
    v5_->Supports(__uuidof(IVel5Document3D))
        .Property(IVel5Document3D::Flag6, false)
        .Property(IVel5Document3D::ViewMode, 0L)
        .Property(IVel5Document3D::SelectedMacro)
        .Property(IVel5Document3D::Exploded, false)
        .Returns(IVel5Document3D::SpcEditor, _variant_t(specification_->Primary()))
        .Property(IVel5Document3D::UndoRecording, true)
        .Property(IVel5Document3D::CurrentObject)
        .Method(IVel5Document3D::SetCurrentObject, [this](Args& args) {
            v5_->Value(IVel5Document3D::CurrentObject) = _variant_t(static_cast<IDispatch*>(args.Object(0)));
            return _variant_t(true);
        })
        .Method(IVel5Document3D::DeleteObject, [this](Args& args) {
            const IUnknownPtr object = args.Unknown(0);
            if (refuseDeletion_ && refuseDeletion_(object))
                return _variant_t(false);
            Delete(object);
            return _variant_t(true);
        })
        // A document without geometry has no parts; the geometry and the assembly answer for theirs.
        .Method(IVel5Document3D::PartByCode, 1, [](Args& args) {
            args.Int32(0);
            return _variant_t();
        })
        .Method(IVel5Document3D::PlacementInfo, [this](Args& args) {
            IDispatchPtr part = args.Object(0);
            ObjectRef placement = velmar_.NewObject("placement");
            placement->Supports(__uuidof(IVel5PlacementInfo))
                .Returns(IVel5PlacementInfo::PhantomReady, phantomReady_)
                .Returns(IVel5PlacementInfo::Part, _variant_t(static_cast<IDispatch*>(part)));
            // Where the user put the part: the placement of the panel run that placed it.
            placement->Method(IVel5PlacementInfo::Position, 0, [this](Args&) {
                ObjectRef position = velmar_.NewObject("position");
                position->Supports(__uuidof(IVel5Placement)).Value(kPanelRun) = _variant_t(static_cast<long>(velmar_.Panels().Runs()));
                return _variant_t(position->Primary());
            });
            velmar_.Panels().ServeRequest(*placement);
            placements_.push_back(placement);
            return _variant_t(placement->Primary());
        })
        .Method(IVel5Document3D::ShowChanges, 0, [this](Args&) {
            velmar_.Panels().ShowChanges();
            return _variant_t();
        })
        .Method(IVel5Document3D::EndProcess, 0, [this](Args&) {
            velmar_.Panels().EndProcess3D();
            return _variant_t();
        })
        .Method(IVel5Document3D::RunProcess, 1, [this](Args& args) {
            return _variant_t(velmar_.Panels().Run3D(args.Int32(0)));
        })
        // The rebuild after a repositioning: counted, the stand-in's models are always up to date.
        .Method(IVel5Document3D::Rebuild, 0, [this](Args&) {
            v5_->Value(IVel5Document3D::Rebuild) = v5_->Long(IVel5Document3D::Rebuild) + 1;
            return _variant_t(true);
        })
        .Method(IVel5Document3D::PickEntity, 5, [this](Args& args) { return velmar_.Panels().PickEntity(args); });
    for (int set = 0; set < 2; ++set) {
        selections_[set] = velmar_.NewObject(set == 0 ? "selectionA" : "selectionB");
        std::vector<IUnknownPtr>* items = &highlighted_[set];
        selections_[set]->Supports(__uuidof(IVel5Selection))
            .Method(IVel5Selection::Add, 1, [items](Args& args) {
                const IUnknownPtr object = args.Unknown(0);
                if (std::find(items->begin(), items->end(), object) == items->end())
                    items->push_back(object);
                return _variant_t();
            })
            .Method(IVel5Selection::Remove, 1, [items](Args& args) {
                const IUnknownPtr object = args.Unknown(0);
                for (auto item = items->begin(); item != items->end(); ++item)
                    if (*item == object) {
                        items->erase(item);
                        break;
                    }
                return _variant_t();
            })
            .Method(IVel5Selection::Clear, 0, [items](Args&) {
                items->clear();
                return _variant_t();
            });
        v5_->Returns(set == 0 ? IVel5Document3D::SelectionA : IVel5Document3D::SelectionB, _variant_t(selections_[set]->Primary()));
    }
    v7_->Face<IVel7Document3D>()
        .On<&IVel7Document3D::Close>(13, [](long, VARIANT_BOOL* closed) { *closed = VARIANT_TRUE; })
        .Set<&IVel7Document3D::put_EditSwitch>(52)
        .Set<&IVel7Document3D::put_UndoContainerMode>(67)
        .Get<&IVel7Document3D::get_UndoEnabled>(68)
        .On<&IVel7Document3D::put_UndoDisabledMode>(69, [this](VARIANT_BOOL on) {
            // The switch brackets one step of Velmar's undo; the bracket itself is no change to take back.
            v7_->Value(69) = _variant_t(on, VT_I2);
            UndoLog& undo = velmar_.GetSession().undo;
            if (on != VARIANT_FALSE)
                undo.Open();
            else
                undo.Close();
        })
        .Get<&IVel7Document3D::get_UndoContainerOpen>(70)
        .Set<&IVel7Document3D::put_RecalcDimensions>(73, 74)
        .Get<&IVel7Document3D::get_RecalcDimensions>(74);
    BuildItems();
    v7_->Value(67) = _variant_t(VARIANT_TRUE, VT_I2);
    v7_->Value(68) = _variant_t(VARIANT_TRUE, VT_I2);
    v7_->Value(69) = _variant_t(VARIANT_FALSE, VT_I2);
    v7_->Value(70) = _variant_t(VARIANT_FALSE, VT_I2);
    v7_->Value(74) = _variant_t(VARIANT_FALSE, VT_I2);
}

int Document::OnDeletion(Deletion deletion)
{
    deletions_.emplace_back(++nextDeletion_, std::move(deletion));
    return nextDeletion_;
}

void Document::Delete(IUnknown* object)
{
    const IUnknownPtr held(object);
    // Told in a copy: a model may forget itself while it is told.
    const auto deletions = deletions_;
    for (const auto& deletion : deletions)
        deletion.second(held);
}

void Document::ForgetDeletion(int key)
{
    std::erase_if(deletions_, [key](const auto& deletion) { return deletion.first == key; });
}

void Document::BuildSpcChain(Velmar& velmar)
{
    descriptions_ = velmar.NewObject("spcDscs");
    description_ = velmar.NewObject("spcDsc");
    sub_ = velmar.NewObject("spcSub");
    spcObjects_ = velmar.NewObject("spcObjs");
    ObjectRef columnsA = velmar.NewObject("spcColsA");
    ObjectRef columnsB = velmar.NewObject("spcColsB");

    auto active = [this](IDispatch** out) { GiveOut(hasDescription_ ? description_.get() : nullptr, out); };
    descriptions_->Face<IVel7SpcDescriptions>()
        .On<&IVel7SpcDescriptions::Add>(14, [this](BSTR, long, BSTR, IDispatch** out) {
            if (canCreateDescription_)
                hasDescription_ = true;
            GiveOut(canCreateDescription_ ? description_.get() : nullptr, out);
        })
        .On<&IVel7SpcDescriptions::get_Active>(16, active)
        .On<&IVel7SpcDescriptions::get_Current>(17, active);

    description_->Face<IVel7SpcDescription>()
        .On<&IVel7SpcDescription::Update>(19, [](VARIANT_BOOL* done) { *done = VARIANT_TRUE; })
        .On<&IVel7SpcDescription::get_Sub>(21, [this](IDispatch** out) { GiveOut(sub_.get(), out); })
        .On<&IVel7SpcDescription::get_SpcObjects>(24, [this](IDispatch** out) { GiveOut(spcObjects_.get(), out); })
        .Get<&IVel7SpcDescription::get_UpdateMode>(34)
        .Set<&IVel7SpcDescription::put_UpdateMode>(35, 34)
        .Set<&IVel7SpcDescription::put_BulkSwitch>(37);
    description_->Value(34) = _variant_t(VARIANT_TRUE, VT_I2);
    description_->Value(37) = _variant_t(VARIANT_TRUE, VT_I2);

    Object* a = columnsA.get();
    Object* b = columnsB.get();
    sub_->Face<IVel7SpcDescriptionSub>()
        .On<&IVel7SpcDescriptionSub::get_ColumnsA>(19, [a](IDispatch** out) { GiveOut(a, out); })
        .On<&IVel7SpcDescriptionSub::get_ColumnsB>(20, [b](IDispatch** out) { GiveOut(b, out); });
    spcObjects_->Face<IVel7SpcObjects>();
    spc_ = std::make_unique<SpcModel>(velmar, *spcObjects_, *columnsA, *columnsB);
}

} // namespace sim
