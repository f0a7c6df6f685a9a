#pragma once
// The library objects that earlier insertions left in the active document, grouped by name: the find
// panel walks them one name at a time and replaces one or all of a name by the part the user chose; the
// bulk passes (spc objects of a whole document, relink) take them name by name. The finder owns every
// object it found; the replacement part stays the controller's.
//
// Beside the sorted name list the finder keeps, for every name, its objects in found-list order and
// every object's place in the found list: filtering costs the objects of the name, and a replacement
// finds its entry without a walk of the whole list.
#include "core/com.h"
#include "objects/batch_loop.h"
#include "hostapi/velmar7.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class NMObject;
class Normset;

// What the find panel asks the controller for, and what the controller answers.
enum FinderAction : uint32_t {
    FindLeave = 0,        // the user closed the panel
    FindChoose = 1,       // choose a replacement in the reference book
    FindChosen = 2,
    FindNotChosen = 3,
    FindReplaceOne = 4,
    FindReplaceAll = 5,
    FindReplaced = 6,     // the next panel refills its names
};

// The kind of library object searched for (a drawing knows only standard parts).
enum NMObjType : uint32_t {
    NMObjPart = 0,
    NMObjElement = 1,
    NMObjTCS = 2,
};

class Finder {
public:
    Finder(HWND hostWindow, Normset* controller);
    // Unselects the current object and deletes every object found.
    virtual ~Finder();
    Finder(const Finder&) = delete;
    Finder& operator=(const Finder&) = delete;

    // Replaces every object of the filtered list, under a progress window, and tells the user how many.
    virtual void ReplaceAllNMObj() = 0;
    virtual void FindNMObjs(uint32_t aNMObjType, bool aIncludeTCS) = 0;
    // The sorted distinct names of the found objects of the type.
    virtual void GetNMObjUniqNames(uint32_t aNMObjType) = 0;

    // The controller holds a replacement part, and its name (empty without one).
    bool IsPartExists() const;
    std::wstring GetPartName() const;

    void ClearNMObjs();
    void FilterNMObjs(const std::wstring& name);
    void ChangeNMFilter(const std::wstring& aNewName);
    // A new search of another kind: the replacement chosen for the last kind is forgotten; the filter
    // name stays while objects of that name are found, else it is the first name (empty for none).
    void ChangeNMObjType(uint32_t aNMObjType, bool aIncludeTCS);
    // Each move unselects the current object first; on an empty filtered list nothing happens.
    void NextNMObj();
    void PrevNMObj();
    // The current object of the filtered list; null when the list is empty.
    NMObject* GetNMObj() const;
    void SetNMObj(NMObject* object);
    void DelNMObj();
    void SelectNMObject();
    void UnselectNMObject();
    // Replaces the current object by the controller's part: the part is bound to it, applied, and the
    // object over the result takes the old one's place in the lists. A replacement that leaves no object
    // behind drops the entry; it still counts as done.
    void ReplaceOneNMObj();

    // A bulk pass over every found object, name by name (one group of the pass a name), each object the
    // current one while work runs; a BadResponse writes the object's NM_ID as "mdl->NM_ID".
    BatchCounts RunByName(BatchPass pass, const std::function<BatchItem(NMObject& object, TraceScope& scope)>& work);

    size_t FilteredCount() const { return NMObjsFlt.size(); }
    // How many found objects carry the name.
    size_t CountOf(const std::wstring& name) const;

    HWND hostWindow;
    uint32_t Action = FindLeave;
    uint64_t Index = 0;
    uint32_t Type = NMObjPart;
    std::wstring FilterName;
    std::vector<std::unique_ptr<NMObject>> NMObjs;
    std::vector<std::wstring> NMObjsUniqNames;
    std::vector<NMObject*> NMObjsFlt;
    Normset* Controller;

protected:
    // Every object joins the found list through here, so that the index knows it.
    void AddNMObj(std::unique_ptr<NMObject> object);
    // Sorts and folds the names in NMObjsUniqNames.
    void SortUniqNames();
    // The replace-all both kinds share: n replacements of the current entry, one nested log each, then the
    // closing message through app7.
    void ReplaceAll(const std::wstring& scopeName, IVel7Application* app7);

private:
    // Drops the found object from the index and the found list (it is deleted).
    std::unique_ptr<NMObject> TakeOut(NMObject* object);
    void PutIn(std::unique_ptr<NMObject> object, size_t place);
    void InsertName(const std::wstring& name);
    void EraseName(const std::wstring& name);

    std::unordered_map<std::wstring, std::vector<NMObject*>> byName_;
    std::unordered_map<const NMObject*, size_t> place_;
};
