#include "tools/finder.h"

#include "core/trace_log.h"
#include "library/normset.h"
#include "objects/bad_response.h"
#include "objects/nm_object.h"

#include <algorithm>

namespace {

_variant_t Count(size_t count)
{
    return _variant_t(static_cast<unsigned long>(count));
}

} // namespace

Finder::Finder(HWND hostWindow_, Normset* controller) : hostWindow(hostWindow_), Controller(controller)
{
}

Finder::~Finder()
{
    try {
        TraceScope scope(L"~Finder");
        UnselectNMObject();
    } catch (...) {
        // The highlight is Velmar's to drop; the found objects go with their owners in any case.
        TraceCurrentException(L"~Finder");
    }
}

bool Finder::IsPartExists() const
{
    return Controller && Controller->CurrentPart;
}

std::wstring Finder::GetPartName() const
{
    return IsPartExists() ? Controller->CurrentPart->NM_Name : std::wstring();
}

size_t Finder::CountOf(const std::wstring& name) const
{
    const auto found = byName_.find(name);
    return found == byName_.end() ? 0 : found->second.size();
}

void Finder::AddNMObj(std::unique_ptr<NMObject> object)
{
    byName_[object->NM_Name].push_back(object.get());
    place_[object.get()] = NMObjs.size();
    NMObjs.push_back(std::move(object));
}

void Finder::SortUniqNames()
{
    std::sort(NMObjsUniqNames.begin(), NMObjsUniqNames.end());
    NMObjsUniqNames.erase(std::unique(NMObjsUniqNames.begin(), NMObjsUniqNames.end()), NMObjsUniqNames.end());
}

void Finder::ClearNMObjs()
{
    TraceScope scope(L"Finder::ClearNMObjs");
    UnselectNMObject();
    NMObjsFlt.clear();
    byName_.clear();
    place_.clear();
    NMObjs.clear();
    NMObjsUniqNames.clear();
    Index = 0;
}

void Finder::FilterNMObjs(const std::wstring& name)
{
    TraceScope scope(L"Finder::FilterNMObjs");
    const auto found = byName_.find(name);
    if (found == byName_.end())
        NMObjsFlt.clear();
    else
        NMObjsFlt = found->second;
    scope.Value(L"NMObjs.size()", Count(NMObjs.size()));
    scope.Value(L"NMObjsFlt.size()", Count(NMObjsFlt.size()));
}

void Finder::ChangeNMFilter(const std::wstring& aNewName)
{
    TraceScope scope(L"Finder::ChangeNMFilter");
    scope.String(L"aNewName", aNewName);
    UnselectNMObject();
    FilterNMObjs(aNewName);
    Index = 0;
    FilterName = aNewName;
}

void Finder::ChangeNMObjType(uint32_t aNMObjType, bool aIncludeTCS)
{
    TraceScope scope(L"Finder::ChangeNMObjType");
    scope.Value(L"aNMObjType", _variant_t(static_cast<unsigned long>(aNMObjType)));
    scope.Value(L"aIncludeTCS", aIncludeTCS);
    ClearNMObjs();
    if (Controller)
        Controller->ClearPart();
    Type = aNMObjType;
    FindNMObjs(aNMObjType, aIncludeTCS);
    GetNMObjUniqNames(aNMObjType);
    if (!std::binary_search(NMObjsUniqNames.begin(), NMObjsUniqNames.end(), FilterName))
        FilterName = NMObjsUniqNames.empty() ? std::wstring() : NMObjsUniqNames.front();
    ChangeNMFilter(FilterName);
}

void Finder::NextNMObj()
{
    if (NMObjsFlt.empty())
        return;
    UnselectNMObject();
    if (++Index >= NMObjsFlt.size())
        Index = 0;
}

void Finder::PrevNMObj()
{
    if (NMObjsFlt.empty())
        return;
    UnselectNMObject();
    Index = Index == 0 ? NMObjsFlt.size() - 1 : Index - 1;
}

NMObject* Finder::GetNMObj() const
{
    return Index < NMObjsFlt.size() ? NMObjsFlt[Index] : nullptr;
}

void Finder::SetNMObj(NMObject* object)
{
    if (Index < NMObjsFlt.size())
        NMObjsFlt[Index] = object;
}

void Finder::DelNMObj()
{
    if (Index >= NMObjsFlt.size())
        return;
    NMObjsFlt.erase(NMObjsFlt.begin() + static_cast<std::ptrdiff_t>(Index));
    if (Index >= NMObjsFlt.size())
        Index = 0;
}

void Finder::SelectNMObject()
{
    if (NMObject* current = GetNMObj())
        current->Select();
}

void Finder::UnselectNMObject()
{
    if (NMObject* current = GetNMObj())
        current->Unselect();
}

void Finder::InsertName(const std::wstring& name)
{
    const auto at = std::lower_bound(NMObjsUniqNames.begin(), NMObjsUniqNames.end(), name);
    if (at == NMObjsUniqNames.end() || *at != name)
        NMObjsUniqNames.insert(at, name);
}

void Finder::EraseName(const std::wstring& name)
{
    const auto at = std::lower_bound(NMObjsUniqNames.begin(), NMObjsUniqNames.end(), name);
    if (at != NMObjsUniqNames.end() && *at == name)
        NMObjsUniqNames.erase(at);
}

std::unique_ptr<NMObject> Finder::TakeOut(NMObject* object)
{
    auto& named = byName_[object->NM_Name];
    named.erase(std::find(named.begin(), named.end(), object));
    if (named.empty())
        byName_.erase(object->NM_Name);
    const size_t place = place_.at(object);
    place_.erase(object);
    return std::move(NMObjs[place]);
}

void Finder::PutIn(std::unique_ptr<NMObject> object, size_t place)
{
    // The name's objects stay in found-list order.
    auto& named = byName_[object->NM_Name];
    const auto at = std::lower_bound(named.begin(), named.end(), place,
                                     [this](const NMObject* listed, size_t wanted) { return place_.at(listed) < wanted; });
    named.insert(at, object.get());
    place_[object.get()] = place;
    NMObjs[place] = std::move(object);
}

void Finder::ReplaceOneNMObj()
{
    TraceScope scope(L"Finder::ReplaceOneNMObj");
    NMObject* old = GetNMObj();
    if (!old)
        return;
    UnselectNMObject();
    NMObject* part = IsPartExists() ? Controller->CurrentPart.get() : nullptr;
    if (!part)
        throw BadResponse(L"No part created");
    scope.String(L"old->NM_Name", old->NM_Name);
    part->BindTo(old);
    part->Apply();
    std::unique_ptr<NMObject> fresh = part->CreateOnBase();
    const std::wstring oldName = old->NM_Name;
    const size_t place = place_.at(old);
    // The lists own the new object before the highlight of the next one can fail; the old one goes.
    const std::unique_ptr<NMObject> gone = TakeOut(old);
    NMObject* made = fresh.get();
    if (made) {
        scope.String(L"new->NM_Name", made->NM_Name);
        PutIn(std::move(fresh), place);
    } else {
        scope.WriteLine(L"No object over the result");
        NMObjs.erase(NMObjs.begin() + static_cast<std::ptrdiff_t>(place));
        for (auto& [object, at] : place_)
            if (at > place)
                --at;
    }
    if (made && made->NM_Name == oldName) {
        SetNMObj(made);
        Action = FindReplaced;
        NextNMObj();
        return;
    }
    DelNMObj();
    if (NMObjsFlt.empty()) {
        EraseName(oldName);
        // Without an object over the result there is no new name: the list's first takes the filter.
        FilterName = made ? made->NM_Name : NMObjsUniqNames.empty() ? std::wstring() : NMObjsUniqNames.front();
    }
    if (made)
        InsertName(made->NM_Name);
    Action = FindReplaced;
}

BatchCounts Finder::RunByName(BatchPass pass, const std::function<BatchItem(NMObject& object, TraceScope& scope)>& work)
{
    const std::vector<std::wstring> names = NMObjsUniqNames;
    std::vector<size_t> sizes;
    for (const std::wstring& name : names)
        sizes.push_back(CountOf(name));
    pass.badResponseRecord = L"mdl->NM_ID";
    pass.badResponseValue = [this](size_t, size_t) { return GetNMObj() ? GetNMObj()->NM_ID : std::wstring(); };
    return RunBatch(pass, sizes, [&](size_t group, size_t item, TraceScope& scope) {
        // The move comes first: an object that failed still gives way to the next one.
        if (item == 0)
            ChangeNMFilter(names[group]);
        else
            NextNMObj();
        NMObject* current = GetNMObj();
        return current ? work(*current, scope) : BatchItem::Skipped;
    });
}

void Finder::ReplaceAll(const std::wstring& scopeName, IVel7Application* app7)
{
    TraceScope scope(scopeName);
    const size_t count = NMObjsFlt.size();
    scope.Value(L"cnt", Count(count));
    BatchPass pass;
    pass.owner = hostWindow;
    pass.groupName = L"Replace_NMObj_i";
    const BatchCounts counts = RunBatch(pass, std::vector<size_t>(count, 1), [this](size_t, size_t, TraceScope&) {
        ReplaceOneNMObj();
        return BatchItem::Done;
    });
    Action = FindReplaced;
    ShowBatchSummary(app7, L"Просмотр документа завершен. Выполнено замен: %d из %d.", counts, false);
}
