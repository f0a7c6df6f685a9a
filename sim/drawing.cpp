#include "sim/drawing.h"

#include "core/obj_array.h"
#include "hostapi/velmar.h"
#include "sim/library_export.h"
#include "sim/shown_text.h"
#include "sim/velmar.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cwctype>
#include <locale>
#include <sstream>

namespace sim {

namespace {

constexpr long kLeaderType = 21;
constexpr long kMacroType = 27;
// How far from the point asked the object pointed at may lie.
constexpr double kPickRadius = 1.0;
constexpr double kDegree = 3.14159265358979323846 / 180.0;

bool SameText(const std::wstring& a, const std::wstring& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

// The answer of the scripted user as text.
std::wstring AnswerText(const _variant_t& answer)
{
    const _bstr_t text(answer);
    return text.length() ? std::wstring(static_cast<const wchar_t*>(text), text.length()) : std::wstring();
}

_variant_t ByteArray(const std::vector<std::uint8_t>& bytes)
{
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    void* data = nullptr;
    SafeArrayAccessData(array, &data);
    if (!bytes.empty())
        std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(data));
    SafeArrayUnaccessData(array);
    _variant_t value;
    V_VT(&value) = VT_ARRAY | VT_UI1;
    V_ARRAY(&value) = array;
    return value;
}

std::vector<std::uint8_t> BytesOf(const VARIANT& value)
{
    if (V_VT(&value) != (VT_ARRAY | VT_UI1) || SafeArrayGetDim(V_ARRAY(&value)) != 1)
        throw Fail{DISP_E_TYPEMISMATCH};
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(V_ARRAY(&value), 1, &lower);
    SafeArrayGetUBound(V_ARRAY(&value), 1, &upper);
    std::vector<std::uint8_t> bytes(upper >= lower ? static_cast<size_t>(upper - lower + 1) : 0);
    void* data = nullptr;
    SafeArrayAccessData(V_ARRAY(&value), &data);
    if (!bytes.empty())
        std::copy_n(static_cast<const std::uint8_t*>(data), bytes.size(), bytes.begin());
    SafeArrayUnaccessData(V_ARRAY(&value));
    return bytes;
}

double DoubleOf(const std::map<int, _variant_t>& values, int key)
{
    auto found = values.find(key);
    if (found == values.end())
        return 0;
    _variant_t converted;
    return SUCCEEDED(VariantChangeType(&converted, const_cast<_variant_t*>(&found->second), 0, VT_R8)) ? V_R8(&converted) : 0;
}

std::string KindName(long type)
{
    switch (type) {
    case 1: return "segment";
    case 2: return "arc";
    case 3: return "circle";
    case kLeaderType: return "leader";
    case kMacroType: return "macro";
    default: return "type " + std::to_string(type);
    }
}

// The texts of a user-data block: counted UTF-16 strings one after the other, as far as they go.
std::vector<std::wstring> BlockTexts(const std::vector<std::uint8_t>& block)
{
    std::vector<std::wstring> texts;
    size_t at = 0;
    while (at + 4 <= block.size()) {
        const auto count = static_cast<size_t>(block[at] | block[at + 1] << 8 | block[at + 2] << 16 | block[at + 3] << 24);
        at += 4;
        if (count > (block.size() - at) / 2)
            break;
        std::wstring text;
        for (size_t i = 0; i < count; ++i, at += 2)
            text += static_cast<wchar_t>(block[at] | block[at + 1] << 8);
        texts.push_back(text);
    }
    return texts;
}

} // namespace

std::optional<double> ParseNumber(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(L' ');
    const size_t last = text.find_last_not_of(L' ');
    if (first == std::wstring::npos)
        return std::nullopt;
    const std::wstring number = text.substr(first, last + 1 - first);
    size_t at = number[0] == L'-' || number[0] == L'+' ? 1 : 0;
    const auto digits = [&] {
        const size_t start = at;
        while (at < number.size() && number[at] >= L'0' && number[at] <= L'9')
            ++at;
        return at - start;
    };
    size_t mantissa = digits();
    if (at < number.size() && number[at] == L'.') {
        ++at;
        mantissa += digits();
    }
    if (mantissa == 0)
        return std::nullopt;
    if (at < number.size() && (number[at] == L'e' || number[at] == L'E')) {
        ++at;
        at += at < number.size() && (number[at] == L'-' || number[at] == L'+');
        if (digits() == 0)
            return std::nullopt;
    }
    if (at != number.size())
        return std::nullopt;
    // Read in the classic locale, whatever locale the library set; a number out of range fails the read.
    std::wistringstream stream(number);
    stream.imbue(std::locale::classic());
    double value = 0;
    stream >> value;
    return stream.fail() || !std::isfinite(value) ? std::nullopt : std::optional<double>(value);
}

std::optional<std::vector<double>> ParseNumbers(const std::wstring& text, size_t count)
{
    std::vector<double> numbers;
    std::wstringstream stream(text);
    std::wstring piece;
    while (std::getline(stream, piece, L',')) {
        const std::optional<double> number = ParseNumber(piece);
        if (!number)
            return std::nullopt;
        numbers.push_back(*number);
    }
    if (numbers.size() != count || (!text.empty() && text.back() == L','))
        return std::nullopt;
    return numbers;
}

// The plain data behind the lists of the drawing model.
struct Drawings::ListData {
    enum class Kind { Points, Branches, Texts, Variables } kind = Kind::Points;
    std::vector<DrawPoint> points;
    std::vector<std::vector<DrawPoint>> branches;
    std::vector<std::wstring> texts;
    std::vector<std::pair<std::wstring, double>> variables;

    size_t Size() const
    {
        switch (kind) {
        case Kind::Points: return points.size();
        case Kind::Branches: return branches.size();
        case Kind::Texts: return texts.size();
        case Kind::Variables: return variables.size();
        }
        return 0;
    }
};

Drawing::Drawing(Drawings& model, Object& v5, std::string name, long reference)
    : model_(model), v5_(v5), name_(std::move(name)), reference_(reference)
{
}

std::vector<long> Drawing::Objects() const
{
    return Contents(0);
}

std::vector<long> Drawing::Contents(long owner) const
{
    std::vector<long> found;
    for (const DrawnObject& object : objects_)
        if (!object.deleted && !object.isGroup && object.fragmentEntry < 0 && object.owner == owner)
            found.push_back(object.reference);
    return found;
}

DrawnObject* Drawing::Find(long reference)
{
    for (DrawnObject& object : objects_)
        if (object.reference == reference && !object.deleted)
            return &object;
    return nullptr;
}

DrawnObject& Drawing::Require(long reference, bool groupWanted)
{
    DrawnObject* object = Find(reference);
    if (!object || object->isGroup != groupWanted)
        throw Fail{E_INVALIDARG, 0};
    return *object;
}

std::vector<std::string> Drawing::OpenBrackets() const
{
    std::vector<std::string> open;
    if (!localSystems_.empty())
        open.push_back(name_ + ": " + std::to_string(localSystems_.size()) + " local system(s)");
    for (long reference : openBrackets_)
        for (const DrawnObject& object : objects_)
            if (object.reference == reference)
                open.push_back(name_ + ": " + (object.isGroup ? "group " : "macro ") + std::to_string(reference));
    if (insertions_ > 0)
        open.push_back(name_ + ": " + std::to_string(insertions_) + " insertion bracket(s) (245)");
    return open;
}

long Drawing::Innermost() const
{
    return openBrackets_.empty() ? 0 : openBrackets_.back();
}

long Drawing::New(long type, long owner)
{
    DrawnObject& object = objects_.emplace_back();
    object.reference = model_.NewReference();
    object.type = type;
    object.owner = owner;
    return object.reference;
}

long Drawing::Add(long type, std::map<int, _variant_t> params, long owner)
{
    const long reference = New(type, owner);
    objects_.back().params = std::move(params);
    return reference;
}

long Drawing::AddMacro(double x, double y, long owner)
{
    const long reference = New(kMacroType, owner);
    objects_.back().x = x;
    objects_.back().y = y;
    return reference;
}

long Drawing::AddLeader(const LeaderData& leader)
{
    const long reference = New(kLeaderType, 0);
    objects_.back().leader = leader;
    return reference;
}

void Drawing::Delete(long reference)
{
    DrawnObject* object = Find(reference);
    if (!object)
        throw Fail{E_INVALIDARG, 0};
    object->deleted = true;
    for (DrawnObject& inner : objects_)
        if (!inner.deleted && inner.owner == reference)
            Delete(inner.reference);
}

std::vector<std::wstring> Drawing::IdentityOf(long macro)
{
    const DrawnObject* part = Find(macro);
    return part && part->block ? BlockTexts(*part->block) : std::vector<std::wstring>();
}

void Drawing::DescribeMacro(long macro, const std::string& indent, const std::string& label, std::vector<std::string>& lines)
{
    const DrawnObject& part = *Find(macro);
    const std::vector<std::wstring> texts = IdentityOf(macro);
    const std::string identity = texts.size() >= 4 ? QuoteShown(texts[2]) + " " + QuoteShown(texts[3])
                                                    : std::string("no identity");
    lines.push_back(indent + label + "macro " + std::to_string(macro) + " at " + ShownNumber(part.x) + ", " + ShownNumber(part.y) +
                    ", angle " + ShownNumber(part.angle) + ": " + identity);
    const std::string inner = label.empty() ? indent : indent + "  ";
    std::map<std::string, int> kinds;
    for (long object : Contents(macro))
        ++kinds[KindName(Find(object)->type)];
    std::string drawing;
    for (const auto& [kind, count] : kinds)
        drawing += (drawing.empty() ? "" : ", ") + kind + (count > 1 ? " x" + std::to_string(count) : "");
    lines.push_back(inner + "drawing: " + (drawing.empty() ? std::string("nothing") : drawing));
    // The members of a fastener set, each as a part of its own, with what was cut of them.
    for (long object : Contents(macro)) {
        if (Find(object)->type != kMacroType)
            continue;
        DescribeMacro(object, inner, "member: ", lines);
        for (const CutRecord& cut : cuts_)
            if (std::find(cut.cut.begin(), cut.cut.end(), object) != cut.cut.end())
                lines.push_back(inner + "  cut: x from " + ShownNumber(cut.x1) + " to " + ShownNumber(cut.x2));
    }
}

std::string Drawing::SpcLine(const SpcObject& object) const
{
    return object.Describe() + object.DescribeComments();
}

std::string Drawing::LeaderLine(long reference)
{
    const DrawnObject& leader = *Find(reference);
    return std::to_string(reference) + ", shelf at " + ShownNumber(DoubleOf(leader.leader.settings, IVel5LeaderParam::ShelfX)) +
           ", " + ShownNumber(DoubleOf(leader.leader.settings, IVel5LeaderParam::ShelfY));
}

bool Drawing::Holds(const SpcObject& object, long reference)
{
    Object* drawn = model_.DrawingObject(reference);
    return std::any_of(object.linked.begin(), object.linked.end(),
                       [&](const IDispatchPtr& linked) { return SameHostObject(linked, drawn->Primary()); });
}

std::vector<long> Drawing::TopLevel(long type) const
{
    std::vector<long> found;
    for (const DrawnObject& object : objects_)
        if (!object.deleted && !object.isGroup && object.fragmentEntry < 0 && object.owner == 0 && object.type == type)
            found.push_back(object.reference);
    return found;
}

std::vector<std::string> Drawing::Describe(long macro, SpcModel& spc)
{
    std::vector<std::string> lines;
    DescribeMacro(macro, "", "", lines);
    for (SpcObject* object : spc.Objects()) {
        if (!Holds(*object, macro))
            continue;
        lines.push_back("spc object: " + SpcLine(*object));
        for (long leader : TopLevel(kLeaderType))
            if (Holds(*object, leader))
                lines.push_back("leader " + LeaderLine(leader));
    }
    return lines;
}

std::vector<std::string> Drawing::DescribeLeftovers(SpcModel& spc)
{
    std::vector<std::string> lines;
    const std::vector<long> leaders = TopLevel(kLeaderType);
    const std::vector<long> parts = TopLevel(kMacroType);
    const std::vector<SpcObject*> objects = spc.Objects();
    for (long leader : leaders)
        if (std::none_of(objects.begin(), objects.end(), [&](SpcObject* object) { return Holds(*object, leader); }))
            lines.push_back("leader held by no spc object: " + LeaderLine(leader));
    for (SpcObject* object : objects) {
        if (std::any_of(parts.begin(), parts.end(), [&](long part) { return Holds(*object, part); }))
            continue;
        lines.push_back("spc object holding no part: " + SpcLine(*object));
        for (long leader : leaders)
            if (Holds(*object, leader))
                lines.push_back("  leader " + LeaderLine(leader));
    }
    return lines;
}

void Drawing::Extent(long reference, double x, double y, double angle, std::vector<DrawPoint>& points)
{
    const double radians = angle * kDegree;
    const auto place = [&](double px, double py) {
        points.push_back({x + px * std::cos(radians) - py * std::sin(radians), y + px * std::sin(radians) + py * std::cos(radians)});
    };
    for (long inner : Contents(reference)) {
        const DrawnObject& object = *Find(inner);
        if (object.type == kMacroType) {
            // A macro inside: its contents where its own placement puts them.
            std::vector<DrawPoint> own;
            Extent(inner, object.x, object.y, object.angle, own);
            for (const DrawPoint& point : own)
                place(point.x, point.y);
        } else if (object.type == 1) {
            place(DoubleOf(object.params, 1), DoubleOf(object.params, 2));
            place(DoubleOf(object.params, 3), DoubleOf(object.params, 4));
        } else if (object.type == 3) {
            const double cx = DoubleOf(object.params, 1), cy = DoubleOf(object.params, 2), r = DoubleOf(object.params, 3);
            for (const DrawPoint& corner : {DrawPoint{cx - r, cy - r}, DrawPoint{cx + r, cy + r}, DrawPoint{cx - r, cy + r},
                                            DrawPoint{cx + r, cy - r}})
                place(corner.x, corner.y);
        }
    }
}

_variant_t Drawing::Cut(Args& args)
{
    const long cut = Require(args.Int32(0), true).reference;
    const long outline = Require(args.Int32(1), true).reference;
    args.Int32(2);
    CutRecord record;
    std::vector<DrawPoint> corners;
    for (long side : Contents(outline)) {
        const DrawnObject& segment = *Find(side);
        corners.push_back({DoubleOf(segment.params, 1), DoubleOf(segment.params, 2)});
    }
    if (!corners.empty()) {
        const auto [left, right] = std::minmax_element(corners.begin(), corners.end(), [](auto& a, auto& b) { return a.x < b.x; });
        const auto [low, high] = std::minmax_element(corners.begin(), corners.end(), [](auto& a, auto& b) { return a.y < b.y; });
        record = {{}, left->x, low->y, right->x, high->y};
    }
    for (long object : Contents(cut)) {
        record.cut.push_back(object);
        Find(object)->owner = Find(object)->ownerBefore;
    }
    for (long side : Contents(outline))
        Delete(side);
    cuts_.push_back(record);
    return _variant_t(1L);
}

std::optional<DrawPoint> Drawing::PointOf(const DrawnObject& object) const
{
    if (object.type == kMacroType)
        return DrawPoint{object.x, object.y};
    if (object.type == kLeaderType)
        return DrawPoint{DoubleOf(object.leader.settings, IVel5LeaderParam::ShelfX),
                         DoubleOf(object.leader.settings, IVel5LeaderParam::ShelfY)};
    // A segment's start, an arc's or circle's centre; lines of types 28 and 48 as segments.
    if (object.type == 1 || object.type == 2 || object.type == 3 || object.type == 28 || object.type == 48)
        return DrawPoint{DoubleOf(object.params, 1), DoubleOf(object.params, 2)};
    return std::nullopt;
}

void Drawing::ReadParams(DrawnObject& object, Object& structure)
{
    if (LeaderData* leader = model_.LeaderOf(structure.Primary())) {
        if (object.type != kLeaderType)
            throw Fail{E_INVALIDARG, 1};
        *leader = object.leader;
        return;
    }
    for (const auto& [key, value] : object.params)
        structure.Value(key) = value;
}

_variant_t Drawing::PlacementRequest(Args& args)
{
    Object* request = Object::From(args.Unknown(0));
    Question question;
    question.kind = "placement";
    question.text = request ? request->Text(IVel5RequestInfo2D::Prompt) : std::wstring();
    prompts_.push_back(question.text);
    args.Object(4);
    const std::wstring answer = AnswerText(model_.velmar_.User().Ask(question, _variant_t(L"cancel")));
    const auto numbers = ParseNumbers(answer, 3);
    if (!numbers)
        return _variant_t(0L);
    for (unsigned i = 0; i < 3; ++i)
        args.SetDouble(i + 1, (*numbers)[i]);
    return _variant_t(1L);
}

_variant_t Drawing::PointRequest(Args& args)
{
    Object* request = Object::From(args.Unknown(0));
    Question question;
    question.kind = "point";
    question.text = request ? request->Text(IVel5RequestInfo2D::Prompt) : std::wstring();
    prompts_.push_back(question.text);
    const std::wstring answer = AnswerText(model_.velmar_.User().Ask(question, _variant_t(L"end")));
    if (request && request->Long(IVel5RequestInfo2D::Setting5) == 1)
        return PickRequest(args, *request, answer);
    const auto numbers = ParseNumbers(answer, 2);
    if (!numbers)
        return _variant_t(0L);
    args.SetDouble(1, (*numbers)[0]);
    args.SetDouble(2, (*numbers)[1]);
    return _variant_t(-1L);
}

_variant_t Drawing::PickRequest(Args& args, Object& request, const std::wstring& answer)
{
    args.Double(1);
    args.Double(2);
    std::vector<std::vector<double>> positions;
    bool click = true;
    std::wstringstream stream(answer);
    std::wstring item;
    while (std::getline(stream, item, L';')) {
        item.erase(0, item.find_first_not_of(L' '));
        item.erase(item.find_last_not_of(L' ') + 1);
        const auto numbers = ParseNumbers(item, 2);
        if (!numbers || !click) {
            // "end" closes the list; anything else ends the pick where it stands.
            click = false;
            continue;
        }
        positions.push_back(*numbers);
    }
    click = click && !positions.empty();
    MeasureFilterProc2D filter = nullptr;
    auto registered = model_.filters_.find(&request);
    if (registered == model_.filters_.end()) {
        model_.problems_.push_back("a pick without a filter");
    } else if (registered->second.second != 0) {
        filter = reinterpret_cast<MeasureFilterProc2D>(FindLibraryExport(registered->second.second, registered->second.first));
    } else if (registered->second.first == L"MEASUREFILTERPROC2D") {
        filter = model_.linkedFilter_;
    }
    if (registered != model_.filters_.end() && !filter)
        model_.problems_.push_back("the filter " + Utf8(registered->second.first) + " of module " +
                                   std::to_string(registered->second.second) + " cannot be resolved");
    for (size_t i = 0; i < positions.size() && filter; ++i) {
        const bool clicking = click && i + 1 == positions.size();
        double x = positions[i][0];
        double y = positions[i][1];
        const int taken = filter(0, &x, &y, 0, 0, clicking ? 0 : 1);
        picks_.push_back(std::string(clicking ? "click " : "move ") + ShownNumber(positions[i][0]) + ", " + ShownNumber(positions[i][1]) +
                         ": " + std::to_string(taken));
    }
    if (!click)
        return _variant_t(0L);
    args.SetDouble(1, positions.back()[0]);
    args.SetDouble(2, positions.back()[1]);
    return _variant_t(-1L);
}

void Drawing::ServeMeasures()
{
    v5_.Method(IVel5Document2D::OpenLocalSystem, 5, [this](Args& args) {
            localSystems_.push_back({args.Double(0), args.Double(1), args.Double(2)});
            args.Double(3);
            args.Double(4);
            return _variant_t(1L);
        })
        .Method(IVel5Document2D::CloseLocalSystem, 0, [this](Args&) {
            if (localSystems_.empty())
                return _variant_t(0L);
            localSystems_.pop_back();
            return _variant_t(1L);
        })
        .Method(IVel5Document2D::ToLocal, 4, [this](Args& args) {
            double x = args.Double(0);
            double y = args.Double(1);
            for (const LocalSystem& system : localSystems_) {
                const double angle = -system.angle * std::acos(-1.0) / 180;
                const double dx = x - system.x;
                const double dy = y - system.y;
                x = dx * std::cos(angle) - dy * std::sin(angle);
                y = dx * std::sin(angle) + dy * std::cos(angle);
            }
            args.SetDouble(2, x);
            args.SetDouble(3, y);
            return _variant_t(1L);
        });
}

_variant_t Drawing::DrawLeader(Args& args)
{
    if (args.Int32(0) != kLeaderType)
        throw Fail{E_INVALIDARG, 0};
    Question question;
    question.kind = "leader";
    const std::wstring answer = AnswerText(model_.velmar_.User().Ask(question, _variant_t(L"none")));
    const auto shelf = ParseNumbers(answer, 2);
    if (!shelf)
        return _variant_t(0L);
    // The user draws from the part Velmar shows highlighted to where the shelf goes.
    DrawPoint anchor{(*shelf)[0], (*shelf)[1]};
    for (const DrawnObject& object : objects_)
        if (!object.deleted && object.highlighted && object.type == kMacroType)
            anchor = {object.x, object.y};
    LeaderData leader;
    leader.settings[IVel5LeaderParam::ShelfX] = (*shelf)[0];
    leader.settings[IVel5LeaderParam::ShelfY] = (*shelf)[1];
    leader.branches.push_back({anchor});
    return _variant_t(AddLeader(leader));
}

void Drawing::Serve()
{
    Object& doc = v5_;
    doc.Returns(IVel5Document2D::Reference, _variant_t(reference_))
        .Property(IVel5Document2D::SelectedMacro, 0L)
        .Property(IVel5Document2D::SpcMode, 0L)
        .ScriptName(L"Segment", IVel5Document2D::Segment)
        .ScriptName(L"Circle", IVel5Document2D::NewCircle)
        .Method(IVel5Document2D::Segment, 5, [this](Args& args) {
            const long reference = Add(1, {{1, args.Double(0)}, {2, args.Double(1)}, {3, args.Double(2)}, {4, args.Double(3)},
                                           {IVel5SegmentParam::Style, args.Int32(4)}}, Innermost());
            return _variant_t(reference);
        })
        .Method(IVel5Document2D::NewCircle, 4, [this](Args& args) {
            const long reference = Add(3, {{1, args.Double(0)}, {2, args.Double(1)}, {3, args.Double(2)},
                                           {IVel5CircleParam::Style, args.Int32(3)}}, Innermost());
            return _variant_t(reference);
        })
        .Method(IVel5Document2D::ReadParams, 3, [this](Args& args) {
            DrawnObject* object = Find(args.Int32(0));
            args.Int32(2);
            if (!object || object->isGroup)
                return _variant_t(0L);
            if (Object* structure = Object::From(args.Unknown(1))) {
                if (object->unreadable)
                    return _variant_t(0L);
                ReadParams(*object, *structure);
            }
            return _variant_t(object->type);
        })
        .Method(IVel5Document2D::BeginMacro, 1, [this](Args& args) {
            args.Int32(0);
            const long reference = New(kMacroType, Innermost());
            objects_.back().open = true;
            openBrackets_.push_back(reference);
            return _variant_t(1L);
        })
        .Method(IVel5Document2D::EndMacro, 0, [this](Args&) {
            if (openBrackets_.empty() || Find(openBrackets_.back())->isGroup)
                return _variant_t(0L);
            const long reference = openBrackets_.back();
            openBrackets_.pop_back();
            Find(reference)->open = false;
            Find(reference)->reopened = false;
            return _variant_t(reference);
        })
        .Method(IVel5Document2D::BeginGroup, 1, [this](Args& args) {
            args.Int32(0);
            const long reference = New(0, Innermost());
            objects_.back().isGroup = true;
            objects_.back().open = true;
            openBrackets_.push_back(reference);
            return _variant_t(reference);
        })
        .Method(IVel5Document2D::EndGroup, 0, [this](Args&) {
            if (openBrackets_.empty() || !Find(openBrackets_.back())->isGroup)
                return _variant_t(0L);
            Find(openBrackets_.back())->open = false;
            openBrackets_.pop_back();
            return _variant_t(1L);
        })
        .Method(IVel5Document2D::GroupIntoMacro, 2, [this](Args& args) {
            DrawnObject& macro = Require(args.Int32(0));
            const long group = Require(args.Int32(1), true).reference;
            if (macro.type != kMacroType)
                throw Fail{E_INVALIDARG, 0};
            if (fillsBeforeRefusal_ > 0)
                --fillsBeforeRefusal_;
            else if (refuseFill_ > 0) {
                --refuseFill_;
                return _variant_t(0L);
            }
            for (long inner : Contents(macro.reference))
                Delete(inner);
            for (DrawnObject& object : objects_)
                if (!object.deleted && object.owner == group)
                    object.owner = macro.reference;
            return _variant_t(1L);
        })
        .Method(IVel5Document2D::RemoveObject, 1, [this](Args& args) {
            Delete(args.Int32(0));
            return _variant_t(1L);
        })
        .Method(IVel5Document2D::Highlight, 2, [this](Args& args) {
            // Velmar highlights what it knows and passes over any other reference.
            const bool on = args.Int32(1) != 0;
            if (DrawnObject* object = Find(args.Int32(0)))
                object->highlighted = on;
            return _variant_t();
        })
        .Method(IVel5Document2D::ObjectAt, 3, [this](Args& args) {
            const DrawPoint at{args.Double(0), args.Double(1)};
            args.Double(2);
            long nearest = 0;
            double best = kPickRadius;
            // Inside a macro reopened for the search, its own objects; else the drawing's.
            const long owner = !openBrackets_.empty() && Find(openBrackets_.back())->reopened ? openBrackets_.back() : 0;
            for (long reference : Contents(owner)) {
                const auto point = PointOf(*Find(reference));
                const double distance = point ? std::hypot(point->x - at.x, point->y - at.y) : kPickRadius * 2;
                if (distance <= best) {
                    best = distance;
                    nearest = reference;
                }
            }
            return _variant_t(nearest);
        })
        .Method(IVel5Document2D::DrawInteractively, 1, [this](Args& args) { return DrawLeader(args); })
        .Method(IVel5Document2D::PrepareGroup, 1, [this](Args& args) {
            Require(args.Int32(0), true);
            return _variant_t(1L);
        })
        .Method(IVel5Document2D::StoreGroup, 2, [this](Args& args) {
            const DrawnObject& group = Require(args.Int32(0), true);
            args.Bool(1);
            for (DrawnObject& object : objects_)
                if (!object.deleted && object.owner == group.reference)
                    object.owner = group.owner;
            return _variant_t(1L);
        })
        .Method(IVel5Document2D::AddToGroup, 2, [this](Args& args) {
            const long group = Require(args.Int32(0), true).reference;
            DrawnObject& object = Require(args.Int32(1));
            object.ownerBefore = object.owner;
            object.owner = group;
            return _variant_t(1L);
        })
        .Method(IVel5Document2D::CutByOutline, 3, [this](Args& args) { return Cut(args); })
        .Method(IVel5Document2D::ReopenMacro, 1, [this](Args& args) {
            DrawnObject& macro = Require(args.Int32(0));
            if (macro.type != kMacroType || macro.open)
                throw Fail{E_INVALIDARG, 0};
            if (refuseReopen_ > 0) {
                --refuseReopen_;
                return _variant_t(0L);
            }
            macro.open = true;
            macro.reopened = true;
            openBrackets_.push_back(macro.reference);
            return _variant_t(1L);
        })
        .Method(IVel5Document2D::BoundingRect, 2, [this](Args& args) {
            const DrawnObject& macro = Require(args.Int32(0));
            Object* rectangle = Object::From(args.Unknown(1));
            if (macro.type != kMacroType || !rectangle)
                throw Fail{E_INVALIDARG, 1};
            // In the drawing's coordinates: through the placements of the macros holding it too.
            std::vector<DrawPoint> points;
            Extent(macro.reference, macro.x, macro.y, macro.angle, points);
            for (long owner = macro.owner; owner != 0 && Find(owner) && Find(owner)->type == kMacroType; owner = Find(owner)->owner) {
                const DrawnObject& holder = *Find(owner);
                const double radians = holder.angle * kDegree;
                for (DrawPoint& point : points)
                    point = {holder.x + point.x * std::cos(radians) - point.y * std::sin(radians),
                             holder.y + point.x * std::sin(radians) + point.y * std::cos(radians)};
            }
            if (points.empty())
                points.push_back({macro.x, macro.y});
            const auto [left, right] = std::minmax_element(points.begin(), points.end(), [](auto& a, auto& b) { return a.x < b.x; });
            const auto [low, high] = std::minmax_element(points.begin(), points.end(), [](auto& a, auto& b) { return a.y < b.y; });
            rectangle->Value(IVel5Rect2D::X1) = left->x;
            rectangle->Value(IVel5Rect2D::Y1) = low->y;
            rectangle->Value(IVel5Rect2D::X2) = right->x;
            rectangle->Value(IVel5Rect2D::Y2) = high->y;
            return _variant_t(true);
        })
        .Method(IVel5Document2D::InsertionBracket, 1, [this](Args& args) {
            if (args.Bool(0))
                ++insertions_;
            else if (insertions_ > 0)
                --insertions_;
            return _variant_t();
        })
        .Method(IVel5Document2D::GroupToClipboard, 2, [this](Args& args) {
            const long group = Require(args.Int32(0), true).reference;
            args.Bool(1);
            std::function<std::vector<CatalogueObject>(long)> copy = [&](long owner) {
                std::vector<CatalogueObject> copies;
                for (long reference : Contents(owner))
                    copies.push_back({Find(reference)->type, Find(reference)->params, copy(reference)});
                return copies;
            };
            model_.clipboard_ = copy(group);
            return _variant_t(1L);
        })
        .Method(IVel5Document2D::GroupFromClipboard, 0, [this](Args&) {
            if (model_.clipboard_.empty())
                return _variant_t(0L);
            const long group = New(0, 0);
            objects_.back().isGroup = true;
            std::function<void(const std::vector<CatalogueObject>&, long)> paste = [&](const std::vector<CatalogueObject>& items, long owner) {
                for (const CatalogueObject& item : items)
                    paste(item.contents, Add(item.type, item.params, owner));
            };
            paste(model_.clipboard_, group);
            return _variant_t(group);
        })
        .Method(IVel5Document2D::CreateLeader, 1, [this](Args& args) {
            const LeaderData* leader = model_.LeaderOf(args.Unknown(0));
            if (!leader)
                throw Fail{E_INVALIDARG, 0};
            const long reference = AddLeader(*leader);
            Find(reference)->owner = Innermost();
            return _variant_t(reference);
        })
        .Method(IVel5Document2D::PointRequest, 4, [this](Args& args) { return PointRequest(args); })
        .Method(IVel5Document2D::PlacementRequest, 5, [this](Args& args) { return PlacementRequest(args); })
        .Method(IVel5Document2D::Fragments, 0, [this](Args&) { return Handed(fragments_.get()); })
        .Method(IVel5Document2D::SetUserData, 5, [this](Args& args) {
            DrawnObject& macro = Require(args.Int32(0));
            Object* record = Object::From(args.Unknown(1));
            if (macro.type != kMacroType || !record)
                throw Fail{E_INVALIDARG, 0};
            macro.block = BytesOf(record->Value(IVel5UserParam::Block));
            macro.blockLibName = record->Text(IVel5UserParam::LibName);
            macro.blockLibFileName = record->Text(IVel5UserParam::LibFileName);
            return _variant_t(1L);
        })
        .Method(IVel5Document2D::GetUserData, 2, [this](Args& args) {
            DrawnObject& macro = Require(args.Int32(0));
            Object* record = Object::From(args.Unknown(1));
            if (!record)
                throw Fail{E_INVALIDARG, 1};
            if (!macro.block)
                return _variant_t(0L);
            record->Value(IVel5UserParam::Block) = ByteArray(*macro.block);
            record->Value(IVel5UserParam::LibName) = macro.blockLibName.c_str();
            record->Value(IVel5UserParam::LibFileName) = macro.blockLibFileName.c_str();
            return _variant_t(1L);
        })
        .Method(IVel5Document2D::MacroPlacement, 4, [this](Args& args) {
            const DrawnObject& macro = Require(args.Int32(0));
            args.SetDouble(1, macro.x);
            args.SetDouble(2, macro.y);
            args.SetDouble(3, macro.angle);
            return _variant_t(1L);
        })
        .Method(IVel5Document2D::PlaceMacro, 5, [this](Args& args) {
            DrawnObject& macro = Require(args.Int32(0));
            const bool moveBy = args.Int32(4) == 1;
            macro.x = args.Double(1) + (moveBy ? macro.x : 0);
            macro.y = args.Double(2) + (moveBy ? macro.y : 0);
            macro.angle = args.Double(3) + (moveBy ? macro.angle : 0);
            return _variant_t(1L);
        })
        .Method(IVel5Document2D::DocVariables, 1, [this](Args& args) {
            DrawnObject& fragment = Require(args.Int32(0));
            auto data = std::make_shared<Drawings::ListData>();
            data->kind = Drawings::ListData::Kind::Variables;
            data->variables = fragment.variables;
            return Handed(model_.NewList("docVars", data).get());
        })
        .Method(IVel5Document2D::SetDocVariables, 3, [this](Args& args) {
            DrawnObject& fragment = Require(args.Int32(0));
            const Drawings::ListData* list = model_.ListOf(args.Unknown(1));
            args.Bool(2);
            if (!list || fragment.fragmentEntry < 0)
                throw Fail{E_INVALIDARG, 1};
            fragment.variables = list->variables;
            return _variant_t(1L);
        })
        .Method(IVel5Document2D::SettleFragment, 1, [this](Args& args) {
            DrawnObject& fragment = Require(args.Int32(0));
            if (fragment.fragmentEntry < 0)
                throw Fail{E_INVALIDARG, 0};
            const FragmentEntry& entry = model_.catalogue_.at(static_cast<size_t>(fragment.fragmentEntry));
            model_.settled_.push_back(fragment.variables);
            fragment.deleted = true;
            std::function<void(const std::vector<CatalogueObject>&, long)> settle = [&](const std::vector<CatalogueObject>& items, long owner) {
                for (const CatalogueObject& item : items)
                    settle(item.contents, Add(item.type, item.params, owner));
            };
            settle(entry.objects, 0);
            return _variant_t(1L);
        });

    ServeMeasures();
    fragments_ = model_.velmar_.NewObject(name_ + "Fragments");
    fragments_->Supports(__uuidof(IVel5Fragment))
        .Method(IVel5Fragment::Definition, 3, [this](Args& args) {
            const std::wstring reference = args.Text(0);
            const std::wstring name = args.Text(1);
            args.Int32(2);
            model_.librariesAsked_.push_back(reference);
            const size_t bar = reference.rfind(L'|');
            if (bar == std::wstring::npos || reference.substr(bar + 1) != name)
                throw Fail{E_INVALIDARG, 0};
            const std::wstring library = reference.substr(0, bar);
            for (size_t i = 0; i < model_.catalogue_.size(); ++i)
                if (SameText(model_.catalogue_[i].library, library) && model_.catalogue_[i].name == name)
                    return _variant_t(static_cast<long>(i + 1));
            throw Fail{E_INVALIDARG, 0};
        })
        .Method(IVel5Fragment::Insert, 4, [this](Args& args) {
            const long definition = args.Int32(0);
            args.Bool(1);
            args.Object(2);
            args.Bool(3);
            if (definition < 1 || static_cast<size_t>(definition) > model_.catalogue_.size())
                throw Fail{E_INVALIDARG, 0};
            const long reference = New(0, 0);
            objects_.back().fragmentEntry = definition - 1;
            objects_.back().variables = model_.catalogue_[static_cast<size_t>(definition - 1)].variables;
            return _variant_t(reference);
        });
}

Drawings::Drawings(Velmar& velmar) : velmar_(velmar)
{
    velmar.App5().Method(IVel5Application::NewIterator, 0, [this](Args&) { return Handed(NewIterator().get()); });
    math_ = velmar.NewObject("math2d");
    math_->Supports(__uuidof(IVel5Math2D))
        .Method(IVel5Math2D::DirectionAngle, 4, [](Args& args) {
            return _variant_t(std::atan2(args.Double(3) - args.Double(1), args.Double(2) - args.Double(0)) / kDegree);
        })
        .Method(IVel5Math2D::Length, 2, [this](Args& args) {
            const long reference = args.Int32(0);
            args.Int32(1);
            Drawing* drawing = Owning(reference);
            const DrawnObject* object = drawing ? drawing->Find(reference) : nullptr;
            if (!object)
                throw Fail{E_INVALIDARG, 0};
            const auto& p = object->params;
            if (object->type == 1)
                return _variant_t(std::hypot(DoubleOf(p, 3) - DoubleOf(p, 1), DoubleOf(p, 4) - DoubleOf(p, 2)));
            if (object->type == 3)
                return _variant_t(2 * std::acos(-1.0) * DoubleOf(p, 3));
            return _variant_t(0.0);
        });
    velmar.App5().Method(IVel5Application::Math2D, 0, [this](Args&) { return Handed(math_.get()); });
    velmar.Attributes()
        .Manager()
        .Method(IVel5AttributeManager::CreateObjectAttribute, 4, [this](Args& args) {
            const long reference = args.Int32(0);
            Drawing* drawing = Owning(reference);
            if (!drawing || drawing->Find(reference)->type != kMacroType)
                throw Fail{E_INVALIDARG, 0};
            MacroAttribute attribute;
            const ObjArray arrays(args.At(1));
            if (arrays.size() != 2)
                throw Fail{E_INVALIDARG, 1};
            for (const ValueItemData& item : velmar_.UserParams().ItemsOf(Object::From(arrays[0])))
                attribute.texts.push_back(item.wide);
            for (const ValueItemData& item : velmar_.UserParams().ItemsOf(Object::From(arrays[1])))
                attribute.flags.push_back(item.flag);
            attribute.type = args.Double(2);
            attribute.library = args.Text(3);
            attribute.reference = NewReference();
            drawing->Find(reference)->attributes.push_back(attribute);
            return _variant_t(attribute.reference);
        })
        .Method(IVel5AttributeManager::DeleteObjectAttribute, 2, [this](Args& args) {
            Drawing* drawing = Owning(args.Int32(0));
            const long attribute = args.Int32(1);
            if (!drawing)
                throw Fail{E_INVALIDARG, 0};
            auto& attributes = drawing->Find(args.Int32(0))->attributes;
            for (auto it = attributes.begin(); it != attributes.end(); ++it)
                if (it->reference == attribute) {
                    attributes.erase(it);
                    return _variant_t(1L);
                }
            throw Fail{E_INVALIDARG, 1};
        });
}

Drawings::~Drawings() = default;

Drawing& Drawings::Serve(Object& v5, const std::string& name)
{
    if (Drawing* known = Of(v5))
        return *known;
    drawings_.push_back(std::make_unique<Drawing>(*this, v5, name, nextDocument_++));
    Drawing& drawing = *drawings_.back();
    byObject_[&v5] = &drawing;
    drawing.Serve();
    return drawing;
}

ObjectRef Drawings::NewTemporaryDocument()
{
    ObjectRef document = velmar_.NewObject("tempDoc");
    document->Supports(__uuidof(IVel5Document2D));
    Drawing* drawing = &Serve(*document, "tempDoc");
    document
        ->Method(IVel5Document2D::OpenTemporary, 1, [this, drawing](Args& args) {
            args.Object(0);
            openTemporary_ = drawing;
            return _variant_t(true);
        })
        .Method(IVel5Document2D::CloseTemporary, 0, [this, drawing](Args&) {
            if (openTemporary_ == drawing)
                openTemporary_ = nullptr;
            return _variant_t(true);
        });
    return document;
}

Drawing* Drawings::Of(Object& v5)
{
    auto found = byObject_.find(&v5);
    return found == byObject_.end() ? nullptr : found->second;
}

Drawing* Drawings::Owning(long reference)
{
    for (auto& drawing : drawings_)
        if (drawing->Find(reference))
            return drawing.get();
    return nullptr;
}

Drawing* Drawings::Walked()
{
    if (openTemporary_)
        return openTemporary_;
    Document* active = velmar_.ActiveDocument();
    return active ? Of(active->V5()) : nullptr;
}

std::vector<std::string> Drawings::OpenBrackets() const
{
    std::vector<std::string> open;
    for (const auto& drawing : drawings_) {
        const auto brackets = drawing->OpenBrackets();
        open.insert(open.end(), brackets.begin(), brackets.end());
    }
    if (openIterators_ > 0)
        open.push_back(std::to_string(openIterators_) + " iterator(s) not closed");
    return open;
}

void Drawings::ForgetLeftOpen()
{
    for (const auto& drawing : drawings_)
        drawing->ForgetInsertionBrackets();
    openIterators_ = 0;
    openTemporary_ = nullptr;
}

Drawings::ListData* Drawings::ListOf(IUnknown* object)
{
    auto found = lists_.find(Object::From(object));
    return found == lists_.end() ? nullptr : found->second.get();
}

LeaderData* Drawings::LeaderOf(IUnknown* object)
{
    auto found = leaders_.find(Object::From(object));
    return found == leaders_.end() ? nullptr : found->second.get();
}

ObjectRef Drawings::NewList(const std::string& name, std::shared_ptr<ListData> data)
{
    ObjectRef list = velmar_.NewObject(name);
    lists_[list.get()] = data;
    ListData* self = data.get();
    auto at = [self](Args& args) {
        const long index = args.Int32(0);
        if (index < 0 || static_cast<size_t>(index) >= self->Size())
            throw Fail{E_INVALIDARG, 0};
        return static_cast<size_t>(index);
    };
    list->Supports(__uuidof(IVel5DynamicArray))
        .Method(IVel5DynamicArray::Count, 0, [self](Args&) { return _variant_t(static_cast<long>(self->Size())); })
        .Method(IVel5DynamicArray::Clear, 0, [self](Args&) {
            self->points.clear();
            self->branches.clear();
            self->texts.clear();
            self->variables.clear();
            return _variant_t(1L);
        })
        .Method(IVel5DynamicArray::Append, 2, [this, self](Args& args) {
            if (args.Int32(1) != -1)
                throw Fail{E_INVALIDARG, 1};
            Object* item = Object::From(args.Unknown(0));
            if (!item)
                throw Fail{E_INVALIDARG, 0};
            if (self->kind == ListData::Kind::Points) {
                self->points.push_back({item->Double(IVel5Point2D::X), item->Double(IVel5Point2D::Y)});
            } else if (self->kind == ListData::Kind::Branches) {
                const ListData* points = ListOf(item->Primary());
                if (!points || points->kind != ListData::Kind::Points)
                    throw Fail{E_INVALIDARG, 0};
                self->branches.push_back(points->points);
            } else {
                throw Fail{E_INVALIDARG, 0};
            }
            return _variant_t(1L);
        })
        .Method(IVel5DynamicArray::Item, 2, [self, at](Args& args) {
            const size_t index = at(args);
            Object* item = Object::From(args.Unknown(1));
            if (!item || self->kind != ListData::Kind::Variables)
                throw Fail{E_INVALIDARG, 1};
            item->Value(IVel5Variable::Name) = self->variables[index].first.c_str();
            item->Value(IVel5Variable::Value) = self->variables[index].second;
            return _variant_t(true);
        })
        .Method(IVel5DynamicArray::SetItem, 2, [self, at](Args& args) {
            const size_t index = at(args);
            Object* item = Object::From(args.Unknown(1));
            if (!item || self->kind != ListData::Kind::Variables)
                throw Fail{E_INVALIDARG, 1};
            self->variables[index] = {item->Text(IVel5Variable::Name), item->Double(IVel5Variable::Value)};
            return _variant_t(true);
        });
    return list;
}

ObjectRef Drawings::NewPointList()
{
    auto data = std::make_shared<ListData>();
    data->kind = ListData::Kind::Points;
    return NewList("pointList", data);
}

ObjectRef Drawings::NewLeaderStructure()
{
    ObjectRef structure = velmar_.NewObject("leaderParam");
    auto data = std::make_shared<LeaderData>();
    leaders_[structure.get()] = data;
    LeaderData* self = data.get();
    structure->Supports(__uuidof(IVel5LeaderParam))
        .Method(IVel5LeaderParam::Init, 0, [self](Args&) {
            *self = LeaderData();
            return _variant_t(1L);
        })
        .Method(IVel5LeaderParam::Branches, 0, [this, self](Args&) {
            auto list = std::make_shared<ListData>();
            list->kind = ListData::Kind::Branches;
            list->branches = self->branches;
            return Handed(NewList("branchList", list).get());
        })
        .Method(IVel5LeaderParam::SetBranches, 1, [this, self](Args& args) {
            const ListData* list = ListOf(args.Unknown(0));
            if (!list || list->kind != ListData::Kind::Branches)
                throw Fail{E_INVALIDARG, 0};
            self->branches = list->branches;
            return _variant_t(1L);
        })
        .Method(IVel5LeaderParam::Texts, 0, [this, self](Args&) {
            auto list = std::make_shared<ListData>();
            list->kind = ListData::Kind::Texts;
            list->texts = self->texts;
            return Handed(NewList("textList", list).get());
        })
        .Method(IVel5LeaderParam::SetTexts, 1, [this, self](Args& args) {
            const ListData* list = ListOf(args.Unknown(0));
            if (!list || list->kind != ListData::Kind::Texts)
                throw Fail{E_INVALIDARG, 0};
            self->texts = list->texts;
            return _variant_t(1L);
        });
    for (int key : {IVel5LeaderParam::Setting1, IVel5LeaderParam::ShelfX, IVel5LeaderParam::ShelfY, IVel5LeaderParam::Setting4,
                    IVel5LeaderParam::Setting5}) {
        structure->Method(key, 0, [self, key](Args&) { return self->settings[key]; })
            .Put(key, [self, key](Args&, const VARIANT& value) { self->settings[key] = value; });
    }
    return structure;
}

ObjectRef Drawings::NewPhantom()
{
    ObjectRef phantom = velmar_.NewObject("struct6");
    ObjectRef parameters = velmar_.NewObject("phantomParams");
    parameters->Supports(__uuidof(IVel5Phantom2DParam)).AnyProperty();
    ObjectRef start = velmar_.NewObject("phantomPoint");
    start->Supports(__uuidof(IVel5Phantom2DPoint)).AnyProperty();
    Object* self = phantom.get();
    phantom->Supports(__uuidof(IVel5Phantom2D))
        .AnyProperty()
        .Method(IVel5Phantom2D::Params, 0, [self, parameters, start](Args&) {
            return Handed(self->Long(IVel5Phantom2D::Kind) == 2 ? start.get() : parameters.get());
        });
    return phantom;
}

ObjectRef Drawings::NewRequestInfo()
{
    ObjectRef request = velmar_.NewObject("struct10");
    Object* self = request.get();
    request->Supports(__uuidof(IVel5RequestInfo2D))
        .AnyProperty()
        .Method(IVel5RequestInfo2D::FilterCallback, 3, [this, self](Args& args) {
            // The module handle travels as a 32-bit integer, exactly.
            if (V_VT(&args.At(1)) != VT_I4)
                throw Fail{DISP_E_TYPEMISMATCH, 1};
            filters_[self] = {args.Text(0), args.Int32(1)};
            args.Object(2);
            return _variant_t();
        });
    return request;
}

Object* Drawings::DrawingObject(long reference)
{
    auto known = drawingObjects_.find(reference);
    if (known != drawingObjects_.end())
        return known->second.get();
    Drawing* drawing = Owning(reference);
    if (!drawing)
        return nullptr;
    const long type = drawing->Find(reference)->type;
    const std::string kind = type == kMacroType ? "macro" : type == kLeaderType ? "leader" : "obj";
    ObjectRef object = velmar_.NewObject(kind + std::to_string(reference));
    object->Face<IVel7DrawingObject>()
        .On<&IVel7DrawingObject::get_Type>(7, [this, reference](long* value) {
            Drawing* owner = Owning(reference);
            *value = owner ? owner->Find(reference)->type : 0;
        })
        .On<&IVel7DrawingObject::get_Reference>(8, [reference](long* value) { *value = reference; });
    velmar_.Properties().MakeKeeper(*object);
    drawingObjects_[reference] = object;
    return object.get();
}

ObjectRef Drawings::NewIterator()
{
    ObjectRef iterator = velmar_.NewObject("iterator");
    struct State {
        std::vector<long> found;
        size_t next = 0;
        bool open = true;
    };
    auto state = std::make_shared<State>();
    ++openIterators_;
    iterator->Supports(__uuidof(IVel5Iterator))
        .Method(IVel5Iterator::Init, 2, [this, state](Args& args) {
            const long type = args.Int32(0);
            const long owner = args.Int32(1);
            Drawing* drawing = Walked();
            state->found.clear();
            state->next = 0;
            if (!drawing || (owner != 0 && !drawing->Find(owner)))
                return _variant_t(false);
            for (long reference : drawing->Contents(owner))
                if (type == 0 || drawing->Find(reference)->type == type)
                    state->found.push_back(reference);
            return _variant_t(true);
        })
        .Method(IVel5Iterator::OverAttributes, 6, [this, state](Args& args) {
            const long object = args.Int32(0);
            const double type = args.Double(5);
            Drawing* drawing = Owning(object);
            state->found.clear();
            state->next = 0;
            if (!drawing)
                return _variant_t(false);
            for (const MacroAttribute& attribute : drawing->Find(object)->attributes)
                if (attribute.type == type)
                    state->found.push_back(attribute.reference);
            return _variant_t(true);
        })
        .Method(IVel5Iterator::Step, 1, [state](Args& args) {
            const std::wstring step = args.Text(0);
            if (step == L"F")
                state->next = 0;
            else if (step != L"N")
                throw Fail{E_INVALIDARG, 0};
            return _variant_t(state->next < state->found.size() ? state->found[state->next++] : 0L);
        })
        .Method(IVel5Iterator::Close, [this, state](Args&) {
            if (state->open) {
                state->open = false;
                --openIterators_;
            }
            return _variant_t(0L);
        });
    return iterator;
}

} // namespace sim
