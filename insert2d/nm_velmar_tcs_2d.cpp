#include "insert2d/nm_velmar_tcs_2d.h"

#include "core/com_convert.h"
#include "core/data_convert_error.h"
#include "core/number_text.h"
#include "core/paths.h"
#include "core/string_utils.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/host_version.h"
#include "hostapi/restore_step.h"
#include "hostapi/scope_exit.h"
#include "hostapi/vtable_call.h"
#include "insert2d/nm_velmar_fragment_2d.h"
#include "insert2d/nm_velmar_script_2d.h"
#include "objects/bad_response.h"
#include "objects/cant_create_spc_obj.h"
#include "objects/spc_columns.h"
#include "objects/spc_comments.h"
#include "objects/spc_obj_snapshot.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <exception>
#include <optional>

namespace {

// PlaceMacro's flags: place there, or move by the offset and turn by the angle.
constexpr long kPlaceAt = 0;
constexpr long kMoveBy = 1;
constexpr double kNoMove = 1e-6;
constexpr long kOutlineStyle = 1;
// The last arguments of the cut's calls.
constexpr long kCutFlag = -1;
const wchar_t kPlacedContext[] = L"ВЕЛМАР 2D";

_variant_t Long(long value)
{
    return _variant_t(value);
}

_variant_t Count(size_t value)
{
    return _variant_t(static_cast<unsigned long>(value));
}

bool IsScriptBody(const std::wstring& body)
{
    return _wcsicmp(GetFileExt(body).c_str(), L".vbs") == 0;
}

// What a member of one make-up of a set is to the members of another: the part it is in the reference
// book whatever its size, then its designation.
SpcLineIdentity SuccessionIdentity(const NMObject& member)
{
    return {L"", member.NM_Name, member.MemberKey()};
}

// The members of a make-up as the lines the members of another are paired with.
std::vector<OldSpcLine> SuccessionLines(const std::vector<NMVelmarTCS2D::Member>& members)
{
    std::vector<OldSpcLine> lines;
    for (const NMVelmarTCS2D::Member& member : members)
        lines.push_back({SuccessionIdentity(*member.part)});
    return lines;
}

} // namespace

NMVelmarTCS2D::NMVelmarTCS2D(IVel5Application* app5, IVel7Application* app7, INMClient* client, int32_t macroReference,
                             bool isSpecActive, NMAllSettings* settings)
    : NMVelObj2D(app5, app7, client, macroReference, isSpecActive)
{
    TraceScope scope(L":NMVelmarTCS2D");
    Settings = settings;
    OwnPreset = std::make_unique<NMSpcPreset>();
    IsTCS = true;
}

NMVelmarTCS2D::~NMVelmarTCS2D()
{
    try {
        TraceScope scope(L"~NMVelmarTCS2D");
        Parts.clear();
    } catch (...) {
        // The members' destructors never throw; only the trace could.
    }
}

void NMVelmarTCS2D::loadPartData(const pugi::xml_node& node, XmlDocumentPtr document)
{
    TraceScope scope(L"NMVelmarTCS2D::loadPartData");
    NMVelObj2D::loadPartData(node, std::move(document));
    Parts.clear();
    for (const NMAssmPart& entry : pData->Members) {
        Member member;
        if (IsScriptBody(entry.m_methodBody))
            member.part = std::make_unique<NMVelmarScript2D>(iApp5, iApp7, Client(), 0, IsSpecActive, Settings);
        else
            member.part = std::make_unique<NMVelmarFragment2D>(iApp5, iApp7, Client(), 0, IsSpecActive, Settings);
        member.place.attrs = entry.m_attrs;
        Parts.push_back(std::move(member));
        // The entry's document keeps the member's node alive for as long as the member reads it.
        Parts.back().part->loadPartData(entry.m_node, entry.m_document);
    }
    scope.Value(L"Parts.size()", Count(Parts.size()));
    CutMask = GetCutMask();
}

uint32_t NMVelmarTCS2D::GetCutMask()
{
    TraceScope scope(L"NMVelmarTCS2D::GetCutMask");
    const uint32_t mask = TCSCutMask(PartValue(L"CutFlags"));
    scope.Value(L"cut_mask", _variant_t(static_cast<unsigned long>(mask)));
    return mask;
}

double NMVelmarTCS2D::CalcPacketSize()
{
    TraceScope scope(L"NMVelmarTCS2D::CalcPacketSize");
    const std::wstring* length = PartValue(L"PackLength");
    const double size = length ? StrToDouble(*length) : 0.0;
    scope.Value(L"pack_size", size);
    return size;
}

void NMVelmarTCS2D::InsertTCSParts()
{
    TraceScope scope(L"NMVelmarTCS2D::InsertTCSParts");
    std::vector<NMTCSData> attrs;
    for (Member& member : Parts) {
        attrs.push_back(member.place.attrs);
        // A member left out of this drawing has no macro in it, whatever an earlier set gave it.
        member.part->macro = 0;
    }
    for (size_t index : TCSDrawOrder(BaseVariant, CutMask, attrs)) {
        Member& member = Parts[index];
        NMVelObj2D& part = *member.part;
        if (!part.pData)
            throw BadResponse(L"No part created");
        // What the member's script header and fragment variables tell it: it is drawn as part of a set.
        Variables& params = part.pData->Params;
        params[L"tkrIsPartOf"] = L"1";
        params[L"tkrIsOnPacket"] = member.place.attrs.OnPacket ? L"1" : L"0";
        params[L"tkrIsRotated"] = member.place.attrs.Orientation ? L"0" : L"1";
        part.CreateNewMacro();
        // A member that drew nothing would stand in the bill of materials with nothing of it in the
        // drawing: the whole set is refused, and the user learns which member it was.
        part.RequireDrawing(part.macro);
        member.place.x = 0.0;
        member.place.y = 0.0;
        member.place.angle = 0.0;
        scope.Value(L"i", Count(index));
        scope.Hex(L"macro", part.macro);
    }
}

std::vector<TCSPlacement> NMVelmarTCS2D::Placements() const
{
    std::vector<TCSPlacement> places;
    for (const Member& member : Parts) {
        TCSPlacement place = member.place;
        place.drawn = member.part->macro != 0;
        place.parH.reset();
        // Only a stud's hole member reads its depth.
        if (place.attrs.Hole && place.attrs.Index == 2)
            if (const std::wstring* depth = member.part->PartValue(L"PAR_H"))
                place.parH = StrToDouble(*depth);
        places.push_back(place);
    }
    return places;
}

void NMVelmarTCS2D::ArrangeTCSParts()
{
    TraceScope scope(L"NMVelmarTCS2D::ArrangeTCSParts");
    scope.Value(L"IsStud", !Parts.empty() && Parts[0].place.attrs.PartType == 3);
    scope.Value(L"pv", Long(BaseVariant));
    if (!TCSVariantArranges(BaseVariant))
        return;
    std::vector<TCSPlacement> places = Placements();
    ArrangeTCSPlacements(BaseVariant, places);
    for (size_t i = 0; i < Parts.size(); ++i)
        Parts[i].place = places[i];
    ApplyPartsDisplace(CalcPartsDisplace());
    ApplyPartsPlacement();
}

double NMVelmarTCS2D::CalcPartsDisplace()
{
    TraceScope scope(L"NMVelmarTCS2D::CalcPartsDisplace");
    const double displace = TCSPartsDisplace(Placements());
    scope.Value(L"disp", displace);
    return displace;
}

void NMVelmarTCS2D::ApplyPartsDisplace(double displace)
{
    TraceScope scope(L"NMVelmarTCS2D::ApplyPartsDisplace");
    for (Member& member : Parts)
        if (member.part->macro != 0)
            member.place.x -= displace;
}

void NMVelmarTCS2D::ApplyPartsPlacement()
{
    TraceScope scope(L"NMVelmarTCS2D::ApplyPartsPlacement");
    for (const Member& member : Parts)
        if (member.part->macro != 0)
            V5Method(Doc(), IVel5Document2D::PlaceMacro, Long(member.part->macro), member.place.x, member.place.y,
                     member.place.angle, kPlaceAt);
}

void NMVelmarTCS2D::CutByMask()
{
    TraceScope scope(L"NMVelmarTCS2D::CutByMask");
    scope.Value(L"cut_mask", _variant_t(static_cast<unsigned long>(CutMask)));
    if (!TCSVariantArranges(BaseVariant) || CutMask == 0)
        return;
    // The cut works on the main part: without its macro there is nothing to cut.
    if (Parts.empty() || Parts[0].part->macro == 0) {
        scope.WriteLine(L"no member 0 to cut");
        return;
    }
    for (const CutRectangle& rectangle : TCSCutRectangles(BaseVariant, CutMask, CalcPacketSize()))
        CutByRect(rectangle);
}

int32_t NMVelmarTCS2D::CutGroup(const std::function<void(int32_t)>& draw)
{
    const int32_t opened = V5Method(Doc(), IVel5Document2D::BeginGroup, 1L);
    try {
        draw(opened);
        V5Method(Doc(), IVel5Document2D::EndGroup);
    } catch (...) {
        // An open group would take whatever comes next; an end that failed is asked once more.
        RestoreStep(L"NMVelmarTCS2D::CutGroup", [&] { V5Method(Doc(), IVel5Document2D::EndGroup); });
        throw;
    }
    return opened;
}

void NMVelmarTCS2D::CutByRect(const CutRectangle& r)
{
    TraceScope scope(L"NMVelmarTCS2D::CutByRect");
    scope.Value(L"x1", r.x1);
    scope.Value(L"x2", r.x2);
    const int32_t outline = CutGroup([&](int32_t) {
        const double corners[][4] = {{r.x1, r.y1, r.x2, r.y1}, {r.x2, r.y1, r.x2, r.y2}, {r.x2, r.y2, r.x1, r.y2},
                                     {r.x1, r.y2, r.x1, r.y1}};
        for (const auto& side : corners)
            V5Method(Doc(), IVel5Document2D::Segment, side[0], side[1], side[2], side[3], kOutlineStyle);
    });
    const int32_t cut = CutGroup([&](int32_t opened) {
        V5Method(Doc(), IVel5Document2D::AddToGroup, Long(opened), Long(Parts[0].part->macro));
    });
    V5Method(Doc(), IVel5Document2D::CutByOutline, Long(cut), Long(outline), kCutFlag);
    V5Method(Doc(), IVel5Document2D::StoreGroup, Long(outline), kCutFlag);
}

void NMVelmarTCS2D::CreateNewMacroInGroup()
{
    TraceScope scope(L"NMVelmarTCS2D::CreateNewMacroInGroup");
    DrawGroup([this] {
        macro = DrawMacro([] {});
        // An empty set macro must not be placed as if it were the set.
        if (!static_cast<long>(V5Method(Doc(), IVel5Document2D::ReopenMacro, Long(macro))))
            throw std::wstring(L"Can't create macro object");
        try {
            InsertTCSParts();
            ArrangeTCSParts();
            V5Method(Doc(), IVel5Document2D::EndMacro);
        } catch (...) {
            RestoreStep(L"NMVelmarTCS2D::CreateNewMacroInGroup", [&] { V5Method(Doc(), IVel5Document2D::EndMacro); });
            throw;
        }
        CutByMask();
    });
    scope.Hex(L"group", group);
    scope.Hex(L"macro", macro);
}

void NMVelmarTCS2D::CreateNewGroup()
{
    TraceScope scope(L"NMVelmarTCS2D::CreateNewGroup");
    DrawGroup([this] {
        InsertTCSParts();
        ArrangeTCSParts();
    });
    scope.Hex(L"group", group);
}

void NMVelmarTCS2D::SetTCSPartsParams()
{
    TraceScope scope(L"NMVelmarTCS2D::SetTCSPartsParams");
    for (Member& member : Parts)
        if (member.part->macro != 0)
            member.part->SetAllParams();
}

void NMVelmarTCS2D::SetAllTCSParams()
{
    TraceScope scope(L"NMVelmarTCS2D::SetAllTCSParams");
    NM_QuarvendID = L"TKR2D";
    SetAllParams();
    SetTCSPartsParams();
}

bool NMVelmarTCS2D::InsertOneTCS()
{
    TraceScope scope(L"NMVelmarTCS2D::InsertOneTCS");
    V5Method(Doc(), IVel5Document2D::InsertionBracket, true);
    const ScopeExitDispid245 close(Doc());
    return PlaceAndWrite(scope, [this] { SetAllTCSParams(); });
}

void NMVelmarTCS2D::Insert()
{
    TraceScope scope(L"NMVelmarTCS2D::Insert");
    scope.Value(L"IsSpecActive", IsSpecActive);
    const auto membersSpcObjects = [this](int32_t leader) {
        try {
            RecreateTCSSpcObjects(leader);
        } catch (const CantCreateSpcObj&) {
            // One set without its spc objects: the user is told, the placing goes on.
            ShowSpcObjectCreateError();
        }
    };
    if (IsSpecActive) {
        membersSpcObjects(0);
        return;
    }
    while (InsertOneTCS()) {
        // What the previous set made is its own: a failure from here on takes only this set's with it.
        iSpcObj = nullptr;
        for (Member& member : Parts)
            member.part->iSpcObj = nullptr;
        try {
            PosLeads.clear();
            const int32_t leader = DrawPosLeader();
            if (IsCanCreateSpcObj())
                membersSpcObjects(leader);
        } catch (...) {
            DiscardCopy();
            throw;
        }
    }
}

void NMVelmarTCS2D::PlaceAt(double x, double y, double angle)
{
    TraceScope scope(L"NMVelmarTCS2D::PlaceAt");
    scope.Value(L"x", x);
    scope.Value(L"y", y);
    scope.Value(L"angle", angle);
    // Only what this call makes is placed, written on and, after a failure, taken back.
    macro = 0;
    group = 0;
    iSpcObj = nullptr;
    for (Member& member : Parts)
        member.part->iSpcObj = nullptr;
    const auto membersSpcObjects = [&] {
        try {
            RecreateTCSSpcObjects(0);
        } catch (const CantCreateSpcObj&) {
            // The set stands in the drawing: missing spc objects never undo an insertion.
            scope.WriteLine(L"CantCreateSpcObj: the set stays without its spc objects");
        }
    };
    try {
        if (IsSpecActive) {
            membersSpcObjects();
            return;
        }
        V5Method(Doc(), IVel5Document2D::InsertionBracket, true);
        const ScopeExitDispid245 close(Doc());
        CreateNewMacroInGroup();
        InsertGroup();
        V5Method(Doc(), IVel5Document2D::PlaceMacro, Long(macro), x, y, angle, kMoveBy);
        SetAllTCSParams();
        if (IsCanCreateSpcObj())
            membersSpcObjects();
    } catch (...) {
        DiscardCopy();
        throw;
    }
}

void NMVelmarTCS2D::DiscardCopy() noexcept
{
    DiscardMembersSpcObjects();
    NMVelObj2D::DiscardCopy();
}

void NMVelmarTCS2D::DiscardMembersSpcObjects() noexcept
{
    for (Member& member : Parts) {
        if (member.part->iSpcObj)
            RestoreStep(L"NMVelmarTCS2D::DiscardMembersSpcObjects", [&] { V7Call(member.part->iSpcObj, &IVel7SpcObjectBase::Delete); });
        member.part->iSpcObj = nullptr;
    }
}

void NMVelmarTCS2D::Replace()
{
    TraceScope scope(L"NMVelmarTCS2D::Replace");
    ReplaceTCS();
}

void NMVelmarTCS2D::ReplaceTCS()
{
    struct ClearLeaders {
        ObjArray& leaders;
        ~ClearLeaders() { leaders.clear(); }
    } clear{PosLeads};
    TraceScope scope(L"NMVelmarTCS2D::ReplaceTCS");
    {
        const SpcDocContext context = Context(false);
        GetExistsSpcObjects(context);
    }
    GetPosLeadsFromSpcObjects();
    // The set as it stands tells which member each old line was made for (none: it is this one); its
    // member macros go next.
    const std::unique_ptr<NMVelmarTCS2D> asItWas = ReplacedSet();
    V5Method(Doc(), IVel5Document2D::InsertionBracket, true);
    const ScopeExitDispid245 close(Doc());
    CreateNewGroup();
    const long replaced = V5Method(Doc(), IVel5Document2D::GroupIntoMacro, Long(macro), Long(group));
    scope.Value(L"res", replaced);
    if (replaced == 0)
        return;
    CutByMask();
    InsertGroup();
    SetAllTCSParams();
    if (IsCanCreateSpcObj()) {
        try {
            // A set none of whose members has a place in the bill of materials gets no line to number.
            const bool leader = !PosLeads.empty() && AnyMemberHasSpcData();
            RecreateTCSSpcObjects(leader ? MakePosLead() : 0, leader, asItWas.get());
        } catch (const CantCreateSpcObj&) {
            ShowSpcObjectCreateError();
        }
    }
}

void NMVelmarTCS2D::replacePartSilent(double x, double y, double angle)
{
    TraceScope scope(L"NMVelmarTCS2D::replacePartSilent");
    ReplaceTCS();
    if (std::fabs(x) >= kNoMove || std::fabs(y) >= kNoMove || std::fabs(angle) >= kNoMove)
        V5Method(Doc(), IVel5Document2D::PlaceMacro, Long(macro), x, y, angle, kMoveBy);
}

void NMVelmarTCS2D::RecreateTCSSpcObjects(int32_t leaderReference, bool leaderMadeForIt, const NMVelmarTCS2D* asItWas)
{
    TraceScope scope(L"NMVelmarTCS2D::RecreateTCSSpcObjects");
    scope.Hex(L"pos_lead", leaderReference);
    // The new lines come before the old ones go: until an old line is deleted, a failure takes back what
    // this rebuild made and the set keeps what it had, the user's comments included.
    for (Member& member : Parts)
        member.part->iSpcObj = nullptr;
    std::vector<CommentsMove> moves;
    ObjArray kept;
    try {
        const SpcDocContext context = Context(true);
        const SpcLineHandOver handOver = HandOverFrom(asItWas ? *asItWas : *this, OldLines(context));
        ObjArray geometry = DrawingObjectOf(macro);
        if (leaderReference != 0)
            geometry.Append(DrawingObjectOf(leaderReference));
        RecreateMembersSpcObjects(context, handOver.own, geometry, leaderReference != 0);
        MoveCommentsToMembersLines(handOver, moves, kept);
        RemoveFirstOldLine();
    } catch (...) {
        GiveCommentsBack(moves);
        ExSpcObjs.Append(kept);
        DiscardMembersSpcObjects();
        if (leaderMadeForIt)
            DeleteQuietly(leaderReference);
        throw;
    }
    RemoveOldLinesAndLeaders();
}

bool NMVelmarTCS2D::AnyMemberHasSpcData() const
{
    return std::any_of(Parts.begin(), Parts.end(), [](const Member& member) { return member.part->HasSpcData(); });
}

ObjArray NMVelmarTCS2D::MembersLines(const ObjArray& listed, const SpcDocContext& context)
{
    TraceScope scope(L"NMVelmarTCS2D::MembersLines");
    const SpcLinePairing made = LinesOfMembers(OldLinesOf(listed, context));
    ObjArray lines;
    for (size_t j = 0; j < listed.size(); ++j)
        if (made.owner[j])
            lines.push_back(listed[j]);
    scope.Value(L"member lines", Count(lines.size()));
    return lines;
}

ObjArray NMVelmarTCS2D::HandOverLines(NMVelObj2D& replacement, const SpcDocContext& context)
{
    TraceScope scope(L"NMVelmarTCS2D::HandOverLines");
    const ObjArray listed = std::move(replacement.ExSpcObjs);
    replacement.ExSpcObjs.clear();
    const SpcLinePairing made = LinesOfMembers(OldLinesOf(listed, context));
    // The part succeeds one of the members, the one it is (by member, name), else the first.
    const SpcLineHandOver handOver =
        HandOverSpcLines(made, PairSpcLines({SuccessionIdentity(replacement)}, SuccessionLines(Parts)), std::vector<bool>{true});
    ObjArray lines;
    for (size_t j = 0; j < listed.size(); ++j)
        if (handOver.own[0] == j)
            replacement.ExSpcObjs.push_back(listed[j]);
        else if (handOver.goes[j])
            lines.push_back(listed[j]);
    scope.Value(L"member lines", Count(lines.size()));
    return lines;
}

bool NMVelmarTCS2D::GetsLine(const NMVelObj2D& part) const
{
    return Settings && Settings->CreateSpcObject && part.HasSpcData();
}

std::vector<bool> NMVelmarTCS2D::HeldBySetsLeader()
{
    std::vector<ObjArray> held;
    for (const IDispatchPtr& listed : ExSpcObjs)
        held.emplace_back(V7Get(RequireHost(QueryHostOrNull<IVel7SpcObject>(listed)), &IVel7SpcObject::get_Geometry));
    // The set's leader is the one that holds most of its lines: a line Velmar would not delete keeps the
    // leader of its own generation beside it.
    IDispatchPtr leader;
    size_t most = 0;
    for (const IDispatchPtr& candidate : PosLeads) {
        const size_t count = static_cast<size_t>(
            std::count_if(held.begin(), held.end(), [&](const ObjArray& geometry) { return HoldsHostObject(geometry, candidate); }));
        if (count > most) {
            most = count;
            leader = candidate;
        }
    }
    std::vector<bool> flags;
    for (const ObjArray& geometry : held)
        flags.push_back(leader && HoldsHostObject(geometry, leader));
    return flags;
}

std::vector<OldSpcLine> NMVelmarTCS2D::OldLines(const SpcDocContext& context)
{
    // With a leader the set's own lines are those it holds; a set without one owns every line it has.
    const std::vector<bool> held = HeldBySetsLeader();
    const bool hasLeader = std::find(held.begin(), held.end(), true) != held.end();
    std::vector<OldSpcLine> lines;
    for (size_t j = 0; j < ExSpcObjs.size(); ++j) {
        const IVel7SpcObjectPtr line = RequireHost(QueryHostOrNull<IVel7SpcObject>(ExSpcObjs[j]));
        SpcLineIdentity identity = ShownLineIdentity(line, context);
        identity.member = ShownNormsetId(line, context);
        lines.push_back({identity, held[j] || !hasLeader});
    }
    return lines;
}

std::vector<OldSpcLine> NMVelmarTCS2D::OldLinesOf(const ObjArray& listed, const SpcDocContext& context)
{
    // The set holds them only while they are read.
    struct Forget {
        NMVelmarTCS2D& set;
        ~Forget()
        {
            set.PosLeads.clear();
            set.ExSpcObjs.clear();
        }
    } forget{*this};
    ExSpcObjs = listed;
    GetPosLeadsFromSpcObjects();
    return OldLines(context);
}

SpcLinePairing NMVelmarTCS2D::LinesOfMembers(const std::vector<OldSpcLine>& lines) const
{
    TraceScope scope(L"NMVelmarTCS2D::LinesOfMembers");
    std::vector<std::optional<SpcLinePart>> members;
    for (const Member& member : Parts) {
        const NMVelObj2D& part = *member.part;
        if (membersFromDrawing_)
            members.push_back(SpcLinePart{{L"", part.NM_Name, part.NM_QuarvendID}});
        else if (part.HasSpcData()) {
            SpcLineIdentity identity = part.LineIdentityByPreset();
            identity.member = part.NM_QuarvendID;
            members.push_back(SpcLinePart{identity});
        } else {
            members.push_back(SpcLinePart{{L"", L"", part.NM_QuarvendID}, true});
        }
    }
    SpcLinePairing pairing = PairSpcLines(members, lines);
    for (const std::optional<size_t>& line : pairing.own)
        scope.Value(L"own line", line ? _variant_t(static_cast<long>(*line)) : _variant_t(-1L));
    return pairing;
}

SpcLinePairing NMVelmarTCS2D::SuccessionFrom(const NMVelmarTCS2D& asItWas) const
{
    SpcLinePairing succession;
    if (&asItWas == this) {
        for (size_t i = 0; i < Parts.size(); ++i) {
            succession.own.push_back(i);
            succession.owner.push_back(i);
        }
        return succession;
    }
    std::vector<std::optional<SpcLineIdentity>> members;
    for (const Member& member : Parts)
        members.push_back(SuccessionIdentity(*member.part));
    return PairSpcLines(members, SuccessionLines(asItWas.Parts));
}

SpcLineHandOver NMVelmarTCS2D::HandOverFrom(const NMVelmarTCS2D& asItWas, const std::vector<OldSpcLine>& lines) const
{
    std::vector<bool> getsLine;
    for (const Member& member : Parts)
        getsLine.push_back(GetsLine(*member.part));
    return HandOverSpcLines(asItWas.LinesOfMembers(lines), SuccessionFrom(asItWas), getsLine);
}

void NMVelmarTCS2D::MoveCommentsToMembersLines(const SpcLineHandOver& handOver, std::vector<CommentsMove>& moves, ObjArray& kept)
{
    TraceScope scope(L"NMVelmarTCS2D::MoveCommentsToMembersLines");
    // A line made for no member is one the user attached to the set: it stays as the user made it, comments
    // and all.
    std::vector<std::optional<size_t>> heirs;
    ObjArray setsLines;
    for (size_t j = 0; j < ExSpcObjs.size(); ++j) {
        if (!handOver.goes[j]) {
            kept.push_back(ExSpcObjs[j]);
            continue;
        }
        setsLines.push_back(ExSpcObjs[j]);
        heirs.push_back(handOver.heir[j]);
    }
    ExSpcObjs = std::move(setsLines);
    if (HostVersion < kHostVersion1501 || ExSpcObjs.empty())
        return;
    std::vector<IVel7SpcObjectPtr> oldLines;
    std::vector<IVel7SpcCommentsPtr> oldComments;
    std::vector<long> counts;
    for (const IDispatchPtr& listed : ExSpcObjs) {
        const IVel7SpcObjectPtr line = RequireHost(QueryHostOrNull<IVel7SpcObject>(listed));
        oldLines.push_back(line);
        oldComments.push_back(RequireHost(CommentsOf(line)));
        counts.push_back(V7Get(oldComments.back(), &IVel7SpcComments::get_Count));
    }
    if (std::all_of(counts.begin(), counts.end(), [](long count) { return count == 0; }))
        return;
    // Each old line's comments go to the new line of the member that succeeds the one it was made for; those
    // of a member no new line succeeds go to the set's first new line.
    IVel7SpcObjectPtr firstNew;
    for (const Member& member : Parts)
        if (member.part->iSpcObj) {
            firstNew = member.part->iSpcObj;
            break;
        }
    std::vector<IVel7SpcObjectPtr> targets(oldLines.size(), firstNew);
    for (size_t j = 0; j < oldLines.size(); ++j)
        if (heirs[j] && Parts[*heirs[j]].part->iSpcObj)
            targets[j] = Parts[*heirs[j]].part->iSpcObj;
    const auto keep = [&](size_t i) {
        kept.push_back(ExSpcObjs[i]);
        ExSpcObjs[i] = nullptr;
    };
    if (!firstNew) {
        // Nothing of the set is rebuilt: what the user wrote stays on the lines it was written on.
        scope.WriteLine(L"no new line: the old lines with comments are kept");
        for (size_t i = 0; i < oldLines.size(); ++i)
            if (counts[i] > 0)
                keep(i);
        std::erase_if(ExSpcObjs, [](const IDispatchPtr& listed) { return !listed; });
        return;
    }
    for (size_t i = 0; i < oldLines.size(); ++i) {
        if (counts[i] == 0)
            continue;
        const IVel7SpcObjectPtr& target = targets[i];
        const SpcCommentsMoved moved = MoveSpcComments(oldComments[i], RequireHost(CommentsOf(target)));
        if (moved.count > 0)
            moves.push_back({oldLines[i], target, moved.count});
        if (moved.refused) {
            scope.WriteLine(L"a comment stays with its old line, which is kept");
            keep(i);
        }
    }
    std::erase_if(ExSpcObjs, [](const IDispatchPtr& listed) { return !listed; });
}

void NMVelmarTCS2D::GiveCommentsBack(const std::vector<CommentsMove>& moves) noexcept
{
    // The comments went to the end of new lines that had none: taken from their front in the order they
    // came, each goes back to its own old line.
    for (const CommentsMove& move : moves)
        RestoreStep(L"NMVelmarTCS2D::GiveCommentsBack", [&] {
            MoveSpcComments(RequireHost(CommentsOf(move.to)), RequireHost(CommentsOf(move.from)), move.count);
        });
}

void NMVelmarTCS2D::RemoveFirstOldLine()
{
    if (ExSpcObjs.empty())
        return;
    ObjArray rest;
    rest.assign(ExSpcObjs.begin() + 1, ExSpcObjs.end());
    ExSpcObjs.resize(1);
    try {
        RemoveExistsSpcObjects();
    } catch (...) {
        ExSpcObjs.Append(rest);
        throw;
    }
    ExSpcObjs = rest;
}

void NMVelmarTCS2D::RemoveOldLinesAndLeaders()
{
    // No way back from here: the set must not stay in two generations of lines. Each step starts where a
    // failed one stopped, so a step Velmar failed is asked once more before the failure is reported.
    const auto onceMore = [](const std::function<void()>& step) {
        try {
            step();
        } catch (...) {
            TraceCurrentException(L"NMVelmarTCS2D::RemoveOldLinesAndLeaders");
            step();
        }
    };
    std::exception_ptr failure;
    while (!ExSpcObjs.empty()) {
        try {
            onceMore([this] { RemoveFirstOldLine(); });
        } catch (...) {
            // It stays readable, with its geometry and its leader; the other old lines still go.
            if (!failure)
                failure = std::current_exception();
            ExSpcObjs.erase(ExSpcObjs.begin());
        }
    }
    onceMore([this] { RemoveUnusedPosLeads(Context(false)); });
    if (failure)
        std::rethrow_exception(failure);
}

void NMVelmarTCS2D::RecreateMembersSpcObjects(const SpcDocContext& context, const std::vector<std::optional<size_t>>& ownLines,
                                              const ObjArray& geometry, bool withLeader)
{
    TraceScope scope(L"NMVelmarTCS2D::RecreateMembersSpcObjects");
    // Each member's new line is made from its own old line, so that the place, position, texts and
    // comments the user gave that line stay on it. A member without one takes only the place of the set's
    // first line: nothing typed on another line is its. With a leader, members of one identity share the
    // first one's position number.
    struct SharedPosition {
        std::wstring id;
        bool has = false;
        int32_t position = 0;
    };
    std::vector<SharedPosition> posParts;
    const IVel7SpcObjectPtr firstLine = GetFirstSpcObject();
    // Asked at most once a set: each member takes the answer given so far, the set's at first.
    int32_t answer = MoveAnswer;
    for (size_t i = 0; i < Parts.size(); ++i) {
        NMVelObj2D& part = *Parts[i].part;
        part.iSpcObj = nullptr;
        part.MoveAnswer = answer;
        if (!GetsLine(part))
            continue;
        NMSpcObjSnapshot template_(context,
                                   ownLines[i] ? RequireHost(QueryHostOrNull<IVel7SpcObject>(ExSpcObjs[*ownLines[i]])) : firstLine,
                                   false, ownLines[i].has_value());
        const auto earlier = withLeader ? std::find_if(posParts.begin(), posParts.end(),
                                                       [&](const SharedPosition& made) { return made.id == part.NM_ID; })
                                        : posParts.end();
        if (earlier != posParts.end()) {
            template_.HasPosition = earlier->has;
            template_.Position = earlier->position;
        }
        part.CreateNewSpcObjectSilent(&template_, geometry);
        answer = part.MoveAnswer;
        if (withLeader && earlier == posParts.end()) {
            // The position the first one's new line shows, else the one it was given.
            const NMSpcObjSnapshot made(context, part.iSpcObj, false, true);
            posParts.push_back(made.HasPosition ? SharedPosition{part.NM_ID, true, made.Position}
                                                : SharedPosition{part.NM_ID, template_.HasPosition, template_.Position});
        }
    }
    scope.Value(L"pos_parts.size()", Count(posParts.size()));
}

void NMVelmarTCS2D::FillFromMacro()
{
    TraceScope scope(L"NMVelmarTCS2D::FillFromMacro");
    const _bstr_t id(NM_ID.c_str());
    const _bstr_t list = V7Get(Client(), &INMClient::ClientString, static_cast<BSTR>(id));
    const _bstr_t context(kPlacedContext);
    Parts.clear();
    membersFromDrawing_ = false;
    for (const std::wstring& piece : Split(BstrToWString(list), L"\r\n")) {
        if (piece.empty())
            continue;
        scope.String(L"NM_ID", piece);
        auto part = std::make_unique<NMVelObj2D>(iApp5, iApp7, Client(), 0, false);
        part->Settings = Settings;
        const _bstr_t memberId(piece.c_str());
        const INMResponsePtr response =
            V7Get(Client(), &INMClient::PlacedResponse, static_cast<BSTR>(memberId), static_cast<BSTR>(context));
        if (!response)
            throw BadResponse(L"No response");
        const _bstr_t xml = V7Get(response, &INMResponse::get_Xml);
        const XmlDocumentPtr document = ParseAnswer(xml);
        const pugi::xml_node collection = document->child(L"response").child(L"objectcollection");
        if (!collection)
            throw BadResponse(L"No objects in response");
        try {
            part->loadPartData(collection, document);
        } catch (const DataConvertError& failure) {
            throw BadResponseOfValue(failure);
        }
        part->MoveAnswer = KeepPlaceSilently;
        Member member;
        member.part = std::move(part);
        Parts.push_back(std::move(member));
    }
    scope.Value(L"Parts.size()", Count(Parts.size()));
    // A set the reference book knows no member of has nothing to rebuild its lines from: its old ones stay.
    if (Parts.empty())
        throw BadResponse(L"No response");
}

void NMVelmarTCS2D::FillFromDrawing()
{
    TraceScope scope(L"NMVelmarTCS2D::FillFromDrawing");
    Parts.clear();
    membersFromDrawing_ = true;
    for (std::unique_ptr<NMVelObj2D>& part : LibraryPartsInMacro()) {
        scope.String(L"NM_ID", part->NM_ID);
        part->Settings = Settings;
        Member member;
        member.part = std::move(part);
        Parts.push_back(std::move(member));
    }
    scope.Value(L"Parts.size()", Count(Parts.size()));
}
