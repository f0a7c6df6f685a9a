#pragma once
// What a part's existing specification object was before it is rebuilt: its place (the five numbers of
// the preset part), its position number and the texts of its columns. The recreation sets the column
// mode and column-set text that the rebuilt object takes.
#include "core/trace_log.h"
#include "hostapi/spc_doc_context.h"
#include "hostapi/velmar7.h"
#include "objects/spc_preset.h"

#include <cstdint>
#include <string>
#include <vector>

class NMSpcObjSnapshot : public NMSpcPreset {
public:
    struct SavedColumn {
        int32_t type = 0;
        int32_t number = 0;
        std::wstring text;

        bool operator==(const SavedColumn&) const = default;
    };

    // Reads the old object's place and, with readColumns and the first five context members, its column
    // texts. Every field has a value afterwards; an old object that is null gives an empty snapshot.
    NMSpcObjSnapshot(const SpcDocContext& context, IVel7SpcObject* oldObject, bool is3DSpec, bool readColumns);
    ~NMSpcObjSnapshot();
    NMSpcObjSnapshot(const NMSpcObjSnapshot&) = delete;
    NMSpcObjSnapshot& operator=(const NMSpcObjSnapshot&) = delete;

    // The column texts of collection A, sorted by (type, number). The designation column (5, 1) is the
    // part's and is never saved; with Is3DSpec, neither is a column that is not in the 3D form (or that no
    // definition describes). The position column (3, 1) gives the position number when it holds a whole
    // signed 32-bit decimal.
    void SaveColumns(IDispatch* definitions, IDispatch* columns);
    // Writes every saved text into the column of the new object's collection A with the same key.
    void RestoreColumns(IVel7SpcObject* newObject);

    int32_t Position = 0;       // the position column's number, when it holds a whole one
    bool HasPosition = false;
    IVel7SpcObjectPtr OldObject;
    std::vector<SavedColumn> SavedColumns;   // sorted by type, then number
    bool Is3DSpec;

private:
    void TakePosition(const std::wstring& text, TraceScope& scope);
};
