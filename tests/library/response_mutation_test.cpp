// Damaged reference-book responses: truncated, with characters flipped, elements removed, repeated,
// renamed or moved, and values out of range. Each one must end as a loaded part or in the failure its
// damage calls for (a parser message, BadResponse, one naming a value that does not convert), never in
// anything else.
#include "library/normset.h"

#include "objects/bad_response.h"
#include "sim/sample_responses.h"
#include "support/response_xml.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <set>

using namespace response_xml;

namespace {

class LoadedPart : public NMObject {
public:
    LoadedPart() : NMObject(nullptr, nullptr) {}
};

// A controller that makes a plain library object for every method body.
class LoadingController : public Normset {
public:
    LoadingController() : Normset(nullptr, nullptr) {}
    void CreatePart(const std::wstring&) override { CurrentPart = std::make_unique<LoadedPart>(); }
    void CreateSpcPart() override { CurrentPart = std::make_unique<LoadedPart>(); }
    bool Positioning() override { return false; }
    std::wstring Measure() override { return L""; }
    std::wstring SelectParams() override { return L""; }
};

std::vector<std::wstring> Seeds()
{
    const std::wstring layouts =
        Object(L"PartAttrs", {{L"Index", L"1"}, {L"Distance", L"12.5"}, {L"Width", L"3,2"}, {L"PartType", L"2"},
                              {L"Orientation", L"true"}, {L"Hole", L"false"}, {L"OnPacket", L"TRUE"}}) +
        Object(L"PartAttrs", {{L"Index", L"2"}, {L"Distance", L"0"}, {L"Orientation", L"false"}});
    const std::wstring member =
        Object(L"PartMethod", {}, Object(L"Method", {{L"NM_IID", L"PART:NUT[M8]"}, {L"MethodBody", L"nut.vbs"}}) +
                                      Object(L"MethodParameters", {{L"D", L"8"}}));
    return {
        PartResponse(),
        Response(Object(L"MethodParameters", {{L"D", L"8"}, {L"L", L"2,5"}}) +
                 Object(L"Method", {{L"NM_IID", L"SET:1"}, {L"Designation", L"Комплект"}}, layouts) +
                 Object(L"AssyPartsMethods", {}, member + member) +
                 Object(L"SpecialTechnoParameters", {{L"NameKE", L"Отверстие"}, {L"ParamsKE", L"d|8||l|20"}})),
        Response(Object(L"Method", {{L"NM_IID", L"PART:HOLE[1]"}, {L"URL", L"holes/"}, {L"MethodBody", L"hole.vbs"}}) +
                 Object(L"ExternalParameters", {{L"Quarvend_IID", L"5:6"}}) +
                 Object(L"SpecialSpecificationParameters", {{L"Designation", L"Отв. 8"}, {L"spcSection", L"Детали"}})),
    };
}

std::wstring SingleObjectSeed()
{
    return Object(L"12", {}, Object(L"Specification", {}, Object(L"Designation", {{L"Value", L"Шайба 8"}})) +
                                 Object(L"MACC", {{L"Value", L"3"}}),
                  L"345");
}

// Deterministic on every platform: the engine is fixed by the standard, the reduction is ours.
class Dice {
public:
    explicit Dice(uint32_t seed) : engine_(seed) {}
    size_t Below(size_t n) { return n ? static_cast<size_t>(engine_() % n) : 0; }
    template <class T>
    const T& Pick(const std::vector<T>& items) { return items[Below(items.size())]; }

private:
    std::mt19937 engine_;
};

struct WideWriter : pugi::xml_writer {
    std::wstring text;
    void write(const void* data, size_t size) override
    {
        text.append(static_cast<const wchar_t*>(data), size / sizeof(wchar_t));
    }
};

void CollectElements(const pugi::xml_node& node, std::vector<pugi::xml_node>& elements)
{
    for (pugi::xml_node child : node.children()) {
        if (child.type() == pugi::node_element) {
            elements.push_back(child);
            CollectElements(child, elements);
        }
    }
}

std::vector<pugi::xml_node> Elements(const pugi::xml_node& root)
{
    std::vector<pugi::xml_node> elements;
    CollectElements(root, elements);
    return elements;
}

const std::vector<std::wstring> Values = {
    L"", L"NULL_VALUE", L"   ", L"99999999999", L"-99999999999", L"2147483648", L"1e400", L"-1e400", L"1e-400",
    L"abc", L"1,5", L"1.5", L"true", L"FALSE", L"1", L"0x10", L"nan", L"inf", L"PART:X[", L"a|b||c", L"<&>",
    std::wstring(5000, L'9'),
};
const std::vector<std::wstring> Names = {L"object", L"objectcollection", L"classid", L"objectid", L"attribute",
                                         L"attributecollection", L"name", L"value", L"response", L"Object",
                                         L"x"};
const std::vector<wchar_t> Characters = {L'<', L'>', L'/', L'&', L';', L'"', L'\'', L'x', L'0', L'\0', L'Ж',
                                         L' ', L'|', L'!', L'?', L'=', L'[', L'\xD800'};

// One damaged variant of a response.
std::wstring Damage(const std::wstring& seed, Dice& dice)
{
    const size_t kind = dice.Below(9);
    if (kind < 4) {
        std::wstring text = seed;
        const size_t at = dice.Below(text.size());
        switch (kind) {
        case 0: return text.substr(0, at);
        case 1: text[at] = dice.Pick(Characters); return text;
        case 2: return text.erase(at, 1 + dice.Below(20));
        default: return text.insert(at, text.substr(at, 1 + dice.Below(40)));
        }
    }
    pugi::xml_document document;
    document.load_string(seed.c_str());
    const std::vector<pugi::xml_node> elements = Elements(document);
    pugi::xml_node element = dice.Pick(elements);
    switch (kind) {
    case 4:
        element.parent().remove_child(element);
        break;
    case 5:
        if (element.parent().type() == pugi::node_element)
            element.parent().insert_copy_after(element, element);
        break;
    case 6:
        if (!element.first_child() || element.first_child().type() == pugi::node_pcdata)
            element.text().set(dice.Pick(Values).c_str());
        break;
    case 7:
        element.set_name(dice.Pick(Names).c_str());
        break;
    default: {
        pugi::xml_node target = dice.Pick(elements);
        bool inside = false;
        for (pugi::xml_node n = target; n; n = n.parent())
            inside = inside || n == element;
        if (!inside && element.parent().type() == pugi::node_element)
            target.append_move(element);
        break;
    }
    }
    WideWriter writer;
    document.save(writer, L"", pugi::format_raw, pugi::encoding_wchar);
    return writer.text;
}

enum class Outcome { Loaded, ParseFailure, BadResponseFailure, ConvertFailure };

const std::set<std::wstring> ResponseReasons = {L"No response", L"No objects in response", L"No method object",
                                                L"No location", L"No designation"};

// Parses the text and loads it as a selection's response (or, for a single object, as an object
// description). Any failure but the expected kinds fails the test.
Outcome Feed(const std::wstring& text, bool singleObject)
{
    LoadingController controller;
    auto document = std::make_shared<pugi::xml_document>();
    try {
        LoadXmlFromBstr(_bstr_t(text.c_str()), *document);
    } catch (const std::wstring& description) {
        EXPECT_FALSE(description.empty());
        return Outcome::ParseFailure;
    }
    try {
        if (singleObject)
            controller.loadObjectData(*document, document);
        else
            controller.loadPartData(document);
    } catch (const BadResponse& failure) {
        // A value that does not convert makes the answer a bad response that names the value.
        if (failure.Reason().rfind(L"StrTo", 0) == 0)
            return Outcome::ConvertFailure;
        EXPECT_TRUE(ResponseReasons.count(failure.Reason())) << failure.Reason();
        return Outcome::BadResponseFailure;
    }
    // Loaded: the part has its data, its identity and its name.
    EXPECT_TRUE(controller.CurrentPart && controller.CurrentPart->pData);
    if (!controller.CurrentPart || !controller.CurrentPart->pData)
        return Outcome::Loaded;
    const NMObject& part = *controller.CurrentPart;
    EXPECT_FALSE(Variables::IsNullValue(part.NM_ID));
    EXPECT_FALSE(Variables::IsNullValue(part.NM_Name));
    for (const NMAssmPart& member : part.pData->Members)
        EXPECT_TRUE(!member.m_node || std::wstring(member.m_node.name()) == L"objectcollection");
    return Outcome::Loaded;
}

} // namespace

TEST(ResponseMutation, EveryDamagedResponseLoadsOrEndsInItsOwnFailure)
{
    Dice dice(20240611);
    std::vector<std::pair<std::wstring, bool>> seeds;
    // The stand-in reference book's sample answers, and a few of our own.
    for (const char* name : {"component_3d", "element_3d", "fastener_set_3d", "fragment_2d", "script_2d"})
        seeds.push_back({sim::SampleResponse(name), false});
    seeds.push_back({sim::SampleResponse("object_data"), true});
    for (const std::wstring& seed : Seeds())
        seeds.push_back({seed, false});
    seeds.push_back({SingleObjectSeed(), true});
    // Every seed loads undamaged.
    for (const auto& [seed, single] : seeds)
        ASSERT_EQ(Feed(seed, single), Outcome::Loaded) << testing::PrintToString(seed);

    constexpr int PerSeed = 1300;
    std::map<Outcome, int> outcomes;
    const ULONGLONG start = GetTickCount64();
    for (const auto& [seed, single] : seeds) {
        for (int i = 0; i < PerSeed; ++i) {
            const std::wstring variant = Damage(seed, dice);
            ++outcomes[Feed(variant, single)];
            if (testing::Test::HasFailure()) {
                ADD_FAILURE() << "variant: " << testing::PrintToString(variant);
                return;
            }
        }
    }
    const ULONGLONG elapsed = GetTickCount64() - start;
    int total = 0;
    for (const auto& [outcome, count] : outcomes)
        total += count;
    EXPECT_GE(total, 10000);
    // The damage reaches every stage: the parser, the response's structure, the identity and the numbers.
    EXPECT_GT(outcomes[Outcome::Loaded], 0);
    EXPECT_GT(outcomes[Outcome::ParseFailure], 0);
    EXPECT_GT(outcomes[Outcome::BadResponseFailure], 0);
    EXPECT_GT(outcomes[Outcome::ConvertFailure], 0);
    RecordProperty("elapsed_ms", static_cast<int>(elapsed));
    RecordProperty("loaded", outcomes[Outcome::Loaded]);
    RecordProperty("parse_failures", outcomes[Outcome::ParseFailure]);
    RecordProperty("bad_responses", outcomes[Outcome::BadResponseFailure]);
    RecordProperty("convert_failures", outcomes[Outcome::ConvertFailure]);
}
