#include "insert2d/nm_velmar_tcs_2d.h"

#include "core/com_convert.h"
#include "core/number_text.h"
#include "core/paths.h"
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
#include "objects/placed_answer.h"
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
        // A set that draws nothing (an answer naming no members) is never placed.
        RequireDrawing(macro);
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

void NMVelmarTCS2D::ReplaceTCS(const SpcLineMakeUp* madeUp)
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
    // What the macro holds as drawn tells which old line was made for which part; its member macros go next.
    const SpcLineMakeUp asDrawn = madeUp ? *madeUp : MakeUpAsDrawn(*this, this);
    V5Method(Doc(), IVel5Document2D::InsertionBracket, true);
    const ScopeExitDispid245 close(Doc());
    CreateNewGroup();
    // A set that draws nothing (an answer naming no members) replaces nothing: the new group, never
    // committed, is Velmar's to drop.
    RequireDrawing(group);
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
            RecreateTCSSpcObjects(leader ? MakePosLead() : 0, leader, &asDrawn);
        } catch (const CantCreateSpcObj&) {
            ShowSpcObjectCreateError();
        }
    }
}

void NMVelmarTCS2D::replacePartSilent(double x, double y, double angle, const SpcLineMakeUp* asDrawn)
{
    TraceScope scope(L"NMVelmarTCS2D::replacePartSilent");
    ReplaceTCS(asDrawn);
    if (std::fabs(x) >= kNoMove || std::fabs(y) >= kNoMove || std::fabs(angle) >= kNoMove)
        V5Method(Doc(), IVel5Document2D::PlaceMacro, Long(macro), x, y, angle, kMoveBy);
}

void NMVelmarTCS2D::RecreateTCSSpcObjects(int32_t leaderReference, bool leaderMadeForIt, const SpcLineMakeUp* asDrawn)
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
        std::vector<SpcLineIdentity> now;
        std::vector<bool> getsLine;
        for (const Member& member : Parts) {
            now.push_back(member.part->SuccessionIdentity());
            getsLine.push_back(GetsLine(*member.part));
        }
        const SpcLineHandOver handOver = HandOverOldLines(asDrawn ? *asDrawn : MakeUp(), context, now, getsLine);
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

bool NMVelmarTCS2D::RecreatePlacedSpcObjects(const SpcDocContext& context)
{
    TraceScope scope(L"NMVelmarTCS2D::RecreatePlacedSpcObjects");
    FillFromMacro();
    if (!AnyMemberHasSpcData())
        return false;
    const SpcLineMakeUp asDrawn = MakeUpAsDrawn(*this, this);
    GetExistsSpcObjects(context);
    GetPosLeadsFromSpcObjects();
    RecreateTCSSpcObjects(MakePosLead(), true, &asDrawn);
    return true;
}

bool NMVelmarTCS2D::AnyMemberHasSpcData() const
{
    return std::any_of(Parts.begin(), Parts.end(), [](const Member& member) { return member.part->HasSpcData(); });
}

bool NMVelmarTCS2D::GetsLine(const NMVelObj2D& part) const
{
    return Settings && Settings->CreateSpcObject && part.HasSpcData();
}

SpcLineMakeUp NMVelmarTCS2D::MakeUp() const
{
    SpcLineMakeUp makeUp;
    for (const Member& member : Parts) {
        SpcLineIdentity identity = member.part->LineIdentityByPreset();
        identity.member = member.part->NM_QuarvendID;
        makeUp.parts.push_back(SpcLinePart{identity, member.part->HasSpcData()});
        makeUp.kinds.push_back(member.part->SuccessionIdentity());
    }
    return makeUp;
}

SpcLineMakeUp NMVelmarTCS2D::MakeUpAsDrawn(const NMVelObj2D& holder, const NMVelObj2D* answered)
{
    TraceScope scope(L"NMVelmarTCS2D::MakeUpAsDrawn");
    SpcLineMakeUp makeUp;
    const NMVelObj2D placed(holder.iApp5, holder.iApp7, holder.Client(), holder.macro, false);
    std::vector<std::unique_ptr<NMVelObj2D>> drawn = placed.LibraryPartsInMacro();
    if (drawn.empty()) {
        makeUp.single = true;
        makeUp.parts.push_back(SpcLinePart{placed.PlacedLineIdentity(answered)});
        makeUp.kinds.push_back(placed.SuccessionIdentity());
        return makeUp;
    }
    // The set's members are its member macros as they stand. The reference book's listing of the set's
    // identifier, where it names every one of them, gives their order in the set (lines are made in that
    // order, the macros drawn in another), their preset texts, whether each has spc data, and the members
    // the set draws nothing of, which keep their places as drawn ones do.
    const auto* same = dynamic_cast<const NMVelmarTCS2D*>(answered);
    std::unique_ptr<NMVelmarTCS2D> asked;
    if (!same || same->NM_ID != placed.NM_ID) {
        asked = std::make_unique<NMVelmarTCS2D>(holder.iApp5, holder.iApp7, holder.Client(), holder.macro, false, holder.Settings);
        try {
            asked->FillFromMacro();
        } catch (const BadResponse&) {
            TraceCurrentException(L"NMVelmarTCS2D::MakeUpAsDrawn");
        }
        same = asked.get();
    }
    std::vector<std::wstring> ids = same->listedIds_;
    if (ids.empty())
        for (const Member& member : same->Parts)
            ids.push_back(member.part->NM_ID);
    std::vector<const NMVelObj2D*> listed;
    for (const std::wstring& id : ids) {
        const NMVelObj2D* found = nullptr;
        for (const Member& member : same->Parts)
            if (member.part->NM_ID == id &&
                std::find(listed.begin(), listed.end(), member.part.get()) == listed.end()) {
                found = member.part.get();
                break;
            }
        listed.push_back(found);
    }
    std::vector<std::optional<size_t>> drawnAt(ids.size());
    std::vector<bool> matched(drawn.size());
    for (size_t k = 0; k < ids.size(); ++k)
        for (size_t d = 0; d < drawn.size(); ++d)
            if (!matched[d] && drawn[d]->NM_ID == ids[k]) {
                matched[d] = true;
                drawnAt[k] = d;
                break;
            }
    makeUp.ordered = std::all_of(matched.begin(), matched.end(), [](bool m) { return m; });
    if (!makeUp.ordered) {
        for (const std::unique_ptr<NMVelObj2D>& member : drawn) {
            const auto listing = std::find_if(listed.begin(), listed.end(),
                                              [&](const NMVelObj2D* part) { return part && part->NM_ID == member->NM_ID; });
            const NMVelObj2D* answer = listing == listed.end() ? nullptr : *listing;
            makeUp.parts.push_back(SpcLinePart{member->PlacedLineIdentity(answer), !answer || answer->HasSpcData()});
            makeUp.kinds.push_back(member->SuccessionIdentity());
        }
    } else {
        for (size_t k = 0; k < ids.size(); ++k) {
            if (drawnAt[k]) {
                const NMVelObj2D& member = *drawn[*drawnAt[k]];
                makeUp.parts.push_back(SpcLinePart{member.PlacedLineIdentity(listed[k]), !listed[k] || listed[k]->HasSpcData()});
                makeUp.kinds.push_back(member.SuccessionIdentity());
            } else if (listed[k]) {
                SpcLineIdentity identity = listed[k]->HasSpcData() ? listed[k]->LineIdentityByPreset() : SpcLineIdentity{};
                identity.member = listed[k]->NM_QuarvendID;
                makeUp.parts.push_back(SpcLinePart{identity, listed[k]->HasSpcData()});
                makeUp.kinds.push_back(listed[k]->SuccessionIdentity());
            }
        }
    }
    scope.Value(L"parts", Count(makeUp.parts.size()));
    scope.Value(L"ordered", makeUp.ordered);
    return makeUp;
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
    Parts.clear();
    listedIds_ = ListedMemberIds(Client(), NM_ID);
    for (const std::wstring& piece : listedIds_) {
        scope.String(L"NM_ID", piece);
        auto part = std::make_unique<NMVelObj2D>(iApp5, iApp7, Client(), 0, false);
        part->Settings = Settings;
        LoadPlacedAnswer(*part, Client(), piece, kPlacedContext);
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
