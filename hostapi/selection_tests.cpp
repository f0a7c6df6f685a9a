#include "hostapi/selection_tests.h"

#include "core/module.h"
#include "hostapi/entity_access.h"
#include "hostapi/host_version.h"
#include "hostapi/vtable_call.h"

namespace {

constexpr short kFace = 6;
constexpr short kEdge = 7;

void SetFlag(short* flag, short value)
{
    if (flag)
        *flag = value;
}

bool FaceVariant(IVel5Entity* entity, short* flag, DISPID test)
{
    if (!IsFaceWithSurfaceFlag(entity, flag))
        return false;
    auto face = EntityDefinition<IVel5FaceDefinition>(entity);
    return face && static_cast<bool>(V5Method(face, test));
}

bool EdgeAnswers(IVel5Entity* entity, DISPID test)
{
    auto edge = EntityDefinition<IVel5EdgeDefinition>(entity);
    return edge && static_cast<bool>(V5Method(edge, test));
}

} // namespace

bool IsFaceWithSurfaceFlag(IVel5Entity* entity, short* flag)
{
    if (!entity || GetEntityType(entity) != kFace)
        return false;
    auto first = ObjectAs<IVel5SurfaceFlagLink1>(V5Method(entity, IVel5Entity::SurfaceLink));
    if (!first)
        return false;
    auto second = ObjectAs<IVel5SurfaceFlagLink2>(V5Method(first, IVel5SurfaceFlagLink1::Link));
    if (!second || !static_cast<bool>(V5Method(second, IVel5SurfaceFlagLink2::Flag)))
        return false;
    SetFlag(flag, -1);
    return true;
}

bool IsFaceVariant1(IVel5Entity* entity, short* flag)
{
    return FaceVariant(entity, flag, IVel5FaceDefinition::Test1);
}

bool IsFaceVariant2(IVel5Entity* entity, short* flag)
{
    return FaceVariant(entity, flag, IVel5FaceDefinition::Test2);
}

bool IsFaceVariant3(IVel5Entity* entity, short* flag)
{
    return FaceVariant(entity, flag, IVel5FaceDefinition::Test3);
}

bool IsEntityType18or553(IVel5Entity* entity, short*)
{
    if (!entity)
        return false;
    const short type = GetEntityType(entity);
    return type == 18 || type == 553;
}

bool IsAxisEntity(IVel5Entity* entity, short*)
{
    if (!entity)
        return false;
    const short type = GetEntityType(entity);
    return (type >= 9 && type <= 13) || (type >= 71 && type <= 73);
}

bool IsType7WithFlag9(IVel5Entity* entity, short*)
{
    return entity && GetEntityType(entity) == kEdge && EdgeAnswers(entity, IVel5EdgeDefinition::Test9);
}

bool IsType570OrType7WithFlag1(IVel5Entity* entity, short*)
{
    if (!entity)
        return false;
    const short type = GetEntityType(entity);
    return type == 570 || (type == kEdge && EdgeAnswers(entity, IVel5EdgeDefinition::Test1));
}

bool IsAPI7SelectionAvailable(IVel5Entity* entity, short*)
{
    auto application = QueryHostOrNull<IVel5Application>(HeldApplication5());
    if (GetHostVersion(application) < kHostVersion1500 || !entity)
        return false;
    auto part = ObjectAs<IVel5Part>(V5Method(entity, IVel5Entity::Part));
    if (!part)
        return false;
    auto part7 = ObjectAs<IVel7Part>(V5Method(application, IVel5Application::ToLayer, part, VelLayer7, VelTypeNone));
    return part7 && V7Get(part7, &IVel7Part::get_Excluded) != VARIANT_FALSE;
}

bool IsPlaneEntity(IVel5Entity* entity, short* flag)
{
    const short type = GetEntityType(entity);
    const bool plane = (type >= 1 && type <= 3) || (type >= 14 && type <= 23) || type == 66 || type == 553;
    if (plane)
        SetFlag(flag, 0);
    return plane;
}

bool IsType519OrType7Flag(IVel5Entity* entity, short* flag)
{
    const short type = GetEntityType(entity);
    bool accepted = type == 519;
    if (type == kEdge) {
        auto edge = RequireHost(EntityDefinition<IVel5EdgeDefinition>(entity));
        accepted = static_cast<bool>(V5Method(edge, IVel5EdgeDefinition::Test8)) ||
                   static_cast<bool>(V5Method(edge, IVel5EdgeDefinition::Test9)) ||
                   static_cast<bool>(V5Method(edge, IVel5EdgeDefinition::Test10));
    }
    if (accepted)
        SetFlag(flag, 0);
    return accepted;
}
