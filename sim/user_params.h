#pragma once
// User-parameter blocks of the stand-in Velmar: the structures the application makes (9 with 112: a
// header 1, 2, 3, the array at 4, set with 5, emptied by 6; 9 with 108: a value item, 8-bit text 2,
// wide text 12, emptied by 11), the dynamic arrays (39 with 23: 4 count, 7 appends a copy of an item,
// 8 copies an entry into an item) and the blocks parts keep (21 attaches a copy of a structure's block,
// refusable; 30 reads it back into a structure, false when the part has none; 4 and 6 are stored puts).
// Velmar keeps the 8-bit text in the system's code page: what it cannot carry comes back as "?".
//
//   sim::Part& part = velmar.AddPart("comp");
//   ... the library saves ...
//   EXPECT_EQ(velmar.UserParamsOf(part)->items.at(9).wide, L"PART:BOLT[M8]");
#include "sim/sim_object.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sim {

class Velmar;
class Part;

struct ValueItemData {
    std::wstring narrow;   // as read back through the 8-bit text
    std::wstring wide;
    short flag = 0;        // 9: the flag of an entry of an attribute's flag array
};

struct UserParamBlock {
    std::wstring libFileName;
    std::wstring libName;
    long flag = 0;
    std::vector<ValueItemData> items;
};

class UserParams {
public:
    explicit UserParams(Velmar& velmar) : velmar_(velmar) {}

    ObjectRef NewRecord();
    ObjectRef NewItem();
    ObjectRef NewArray(std::vector<ValueItemData> items = {});
    void ServePart(Part& part);

    // What a part keeps; tests may set a block directly (an older nine-item one, another library's).
    std::optional<UserParamBlock>& BlockOf(Part& part) { return parts_[&part].block; }
    void RefuseAttach(Part& part, bool refuse) { parts_[&part].refuse = refuse; }
    // What an array the application made holds; nothing for any other object.
    const std::vector<ValueItemData>& ItemsOf(Object* array) const;

    // What a user-parameter structure holds now.
    UserParamBlock Read(Object& record);

private:
    struct PartState {
        std::optional<UserParamBlock> block;
        bool refuse = false;
    };
    void Fill(Object& record, const UserParamBlock& block);

    Velmar& velmar_;
    std::map<Object*, std::vector<ValueItemData>> arrays_;
    std::map<Part*, PartState> parts_;
};

} // namespace sim
