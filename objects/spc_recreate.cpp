// NMVelObj: rebuilding the part's specification object in its old place or at the active preset's, and
// carrying its comment objects over.
#include "core/display_name.h"
#include "core/modal_seam.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/host_version.h"
#include "hostapi/vtable_call.h"
#include "objects/cant_create_spc_obj.h"
#include "objects/nm_vel_obj.h"
#include "objects/spc_comments.h"
#include "objects/spc_obj_snapshot.h"

#include <algorithm>

namespace {

// "By old object" puts the rebuilt object exactly where the old one was: all five numbers of the place
// come from the old object. Only the columns follow the modes, as the active preset or the recreation
// set them on the snapshot. The preset is the rebuild's own copy: the part's next object starts from
// the part's answer again, not from this object's place.
void TakePlaceOf(NMSpcPreset& preset, const NMSpcObjSnapshot& snapshot)
{
    preset.SectionNum = snapshot.SectionNum;
    preset.SubSectionNum = snapshot.SubSectionNum;
    preset.NestedBlockNum = snapshot.NestedBlockNum;
    preset.NestedSectionNum = snapshot.NestedSectionNum;
    preset.AdditionalBlockNum = snapshot.AdditionalBlockNum;
    preset.ColumnsMode = snapshot.ColumnsMode;
    if (snapshot.ColumnsMode)
        preset.Columns = snapshot.Columns;
}

bool InSamePlace(const NMSpcPreset& wanted, const NMSpcObjSnapshot& old)
{
    if (wanted.SectionNum != old.SectionNum)
        return false;
    switch (wanted.ExtSectionMode) {
    case 0:
        return true;
    case 1:
        return wanted.NestedSectionNum == old.NestedSectionNum && wanted.NestedBlockNum == old.NestedBlockNum;
    default:
        return wanted.AdditionalBlockNum == old.AdditionalBlockNum;
    }
}

} // namespace

void NMVelObj::ChangeSpcObject(const SpcDocContext& context, const ObjArray& geometry)
{
    TraceScope scope(L"NMVelObj::ChangeSpcObject");
    RequireOwnPreset(scope);
    GetExistsSpcObjects(context);
    ChangeListedSpcObject(context, geometry);
}

void NMVelObj::ChangeListedSpcObject(const SpcDocContext& context, const ObjArray& geometry)
{
    NMSpcObjSnapshot snapshot(context, GetFirstSpcObject(), Is3DSpec, true);
    RecreateSpcObject(context, &snapshot, geometry);
    FillSpcObjectColumns(context);
}

void NMVelObj::RecreateSpcObject(const SpcDocContext& context, NMSpcObjSnapshot* snapshot, const ObjArray& geometry)
{
    TraceScope scope(L"NMVelObj::RecreateSpcObject");
    RequireOwnPreset(scope);
    if (!snapshot || !snapshot->OldObject) {
        RecreateSpcObjByActivePreset(context, nullptr, geometry);
        return;
    }
    const NMSpcPreset& active = RequireActivePreset(scope);
    NMSpcPreset wanted(*OwnPreset);
    wanted.Correct(active);
    scope.Value(L"MoveAnswer", _variant_t(static_cast<long>(MoveAnswer)));

    if (MoveAnswer != KeepPlaceSilently && InSamePlace(wanted, *snapshot)) {
        snapshot->ColumnsMode = active.ColumnsMode;
        snapshot->Columns = active.Columns;
        RecreateSpcObjByOldSpcObj(context, *snapshot, geometry);
        return;
    }

    if (MoveAnswer == MoveNotAsked) {
        const bool move = AskYesNo(OwnerWindow(),
                                   Translate(L"Местоположение объекта спецификации не совпадает с тем, которое задано "
                                             L"в текущем шаблоне. Переместить объект спецификации?"),
                                   LibraryDisplayName(), MB_YESNO | MB_ICONQUESTION);
        MoveAnswer = move ? MoveToPreset : KeepPlace;
        scope.Value(L"MoveAnswer", _variant_t(static_cast<long>(MoveAnswer)));
    }
    if (MoveAnswer == MoveToPreset) {
        RecreateSpcObjByActivePreset(context, snapshot, geometry);
        return;
    }
    if (!snapshot->SavedColumns.empty()) {
        // Only the designation is built from the part; the user's other column texts come back as saved.
        snapshot->ColumnsMode = true;
        snapshot->Columns = kDefaultSpcColumns;
    } else {
        snapshot->ColumnsMode = active.ColumnsMode;
        snapshot->Columns = active.Columns;
    }
    RecreateSpcObjByOldSpcObj(context, *snapshot, geometry);
}

void NMVelObj::RecreateSpcObjByOldSpcObj(const SpcDocContext& context, NMSpcObjSnapshot& snapshot, const ObjArray& geometry)
{
    TraceScope scope(L"NMVelObj::RecreateSpcObjByOldSpcObj");
    auto preset = std::make_unique<NMSpcPreset>(RequireOwnPreset(scope));
    TakePlaceOf(*preset, snapshot);
    Rebuild(context, std::move(preset), &snapshot, true, geometry);
}

void NMVelObj::RecreateSpcObjByActivePreset(const SpcDocContext& context, NMSpcObjSnapshot* snapshot, const ObjArray& geometry)
{
    TraceScope scope(L"NMVelObj::RecreateSpcObjByActivePreset");
    auto preset = std::make_unique<NMSpcPreset>(RequireOwnPreset(scope));
    preset->Correct(RequireActivePreset(scope));
    Rebuild(context, std::move(preset), snapshot, false, geometry);
}

void NMVelObj::Rebuild(const SpcDocContext& context, std::unique_ptr<NMSpcPreset> preset, NMSpcObjSnapshot* snapshot,
                       bool restoreColumns, const ObjArray& geometry)
{
    ParseColumns(*preset);
    RebuildPreset = std::move(preset);
    if (CanUseOldSpcObj(context)) {
        useOldSpcObj(geometry);
    } else {
        // A CantCreateSpcObj here leaves the old objects and their comments as they are.
        CreateNewSpcObject(context, geometry);
        if (snapshot && restoreColumns)
            snapshot->RestoreColumns(iSpcObj);
        if (snapshot && snapshot->HasPosition)
            RestorePosition(snapshot->Position);
    }
    moveCommentObjects();
    RemoveExistsSpcObjects();
}

void NMVelObj::moveCommentObjects()
{
    TraceScope scope(L"NMVelObj::moveCommentObjects");
    if (HostVersion < kHostVersion1501)
        return;
    scope.Value(L"n", _variant_t(static_cast<unsigned long>(ExSpcObjs.size())));
    if (ExSpcObjs.empty())
        return;
    IVel7SpcCommentsPtr target = CommentsOf(iSpcObj);
    if (!target)
        RaiseNullHostPointer(__uuidof(IVel7SpcComments));

    // An old object whose comments could not all be moved stays in the document with what it still holds,
    // so that nothing the user wrote goes with the deletion of the old objects.
    std::vector<IDispatchPtr> keep;
    for (const IDispatchPtr& listed : ExSpcObjs) {
        IVel7SpcObjectPtr old = QueryHostOrNull<IVel7SpcObject>(listed);
        IVel7SpcCommentsPtr comments = CommentsOf(old);
        if (!comments)
            RaiseNullHostPointer(__uuidof(IVel7SpcComments));
        if (MoveSpcComments(comments, target).refused) {
            scope.WriteLine(L"a comment object stays with its old object, which is kept");
            keep.push_back(listed);
        }
    }
    if (keep.empty())
        return;
    scope.Value(L"kept", _variant_t(static_cast<unsigned long>(keep.size())));
    std::erase_if(ExSpcObjs, [&](const IDispatchPtr& listed) { return std::find(keep.begin(), keep.end(), listed) != keep.end(); });
}
