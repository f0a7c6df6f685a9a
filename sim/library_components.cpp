#include "sim/library_components.h"

#include "hostapi/velmar.h"
#include "sim/user_params.h"
#include "sim/velmar.h"

namespace sim {

namespace {

constexpr size_t kWideId = 9;

} // namespace

Part& AddLibraryComponent(Velmar& velmar, Geometry& geometry, const std::string& name, const LibraryIdentity& identity,
                          GeoEntity* set, Part* owner)
{
    Part& part = velmar.AddPart(name);
    // Edited or replaced, it is read like any component: its geometry by type (none named) and its
    // variables (none).
    geometry.Shape(part);
    ObjectRef variables = geometry.NewIterator(name + "Vars", &__uuidof(IVel5VariableCollection), [] { return std::vector<Object*>(); });
    part.V5().Method(IVel5Part::Variables, 0, [variables](Args&) { return _variant_t(variables->Primary()); });
    UserParamBlock block;
    block.libName = L"Нормсет";
    block.flag = 1;
    const std::wstring items[14] = {L"", L"", L"", L"", identity.id, identity.name, L"", L"", L"",
                                    identity.id, identity.name, L"Bolt.vlm", L"", L"Q-" + identity.id};
    for (const std::wstring& item : items)
        block.items.push_back({item, item, 0});
    velmar.UserParams().BlockOf(part) = block;
    part.V5().Value(IVel5Part::UserParamSet) = true;
    part.V5().Value(IVel5Part::FileName) = identity.file.c_str();
    part.V7().Value(53) = _variant_t(identity.inSpc ? VARIANT_TRUE : VARIANT_FALSE, VT_I2);
    if (set) {
        set->inner.push_back(&part.Feature());
        part.PlaceIn(set->Feature());
    } else if (owner) {
        geometry.Shape(*owner).features.push_back(&part.Feature());
        part.ownerPart = owner;
    } else {
        geometry.Shape(*geometry.topPart).features.push_back(&part.Feature());
    }
    return part;
}

std::wstring LibraryIdOf(Velmar& velmar, Part& part)
{
    const std::optional<UserParamBlock>& block = velmar.UserParams().BlockOf(part);
    return block && block->items.size() > kWideId ? block->items[kWideId].wide : std::wstring();
}

} // namespace sim
