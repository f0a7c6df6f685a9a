#include "sim/panel_script.h"

#include "sim/drawing.h"
#include "sim/journal.h"
#include "sim/shown_text.h"

#include <cwchar>
#include <sstream>

namespace sim {

namespace {

std::wstring Trimmed(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(L" \t\r");
    if (first == std::wstring::npos)
        return {};
    return text.substr(first, text.find_last_not_of(L" \t\r") + 1 - first);
}

std::vector<std::wstring> Words(const std::wstring& step)
{
    std::wistringstream stream(step);
    std::vector<std::wstring> words;
    for (std::wstring word; stream >> word;)
        words.push_back(word);
    return words;
}

// A cursor's numbers as every other number velmar-sim takes.
bool ReadNumber(const std::wstring& text, double& number)
{
    const std::optional<double> read = ParseNumber(text);
    number = read.value_or(0);
    return read.has_value();
}

long ReadInteger(const std::wstring& text, const std::string& step)
{
    wchar_t* end = nullptr;
    const long value = std::wcstol(text.c_str(), &end, 10);
    if (text.empty() || !end || *end != L'\0')
        throw std::invalid_argument("the panel step " + QuoteShown(step) + " needs a whole number, not " + QuoteShown(text));
    return value;
}

PanelStep ParseStep(const std::wstring& written)
{
    const std::vector<std::wstring> words = Words(written);
    PanelStep step;
    step.text = Utf8(Trimmed(written));
    const std::wstring& verb = words[0];
    auto expect = [&](size_t count) {
        if (words.size() != count)
            throw std::invalid_argument("the panel step " + QuoteShown(step.text) + " takes " + std::to_string(count - 1) + " argument(s)");
    };
    if (verb == L"pick" || verb == L"offer") {
        expect(2);
        step.kind = verb == L"pick" ? PanelStep::Pick : PanelStep::Offer;
        step.name = Utf8(words[1]);
    } else if (verb == L"clear" || verb == L"help" || verb == L"ok" || verb == L"cancel" || verb == L"show") {
        expect(1);
        step.kind = verb == L"clear"  ? PanelStep::Clear
                    : verb == L"help" ? PanelStep::Help
                    : verb == L"ok"   ? PanelStep::Ok
                    : verb == L"show" ? PanelStep::Show
                                      : PanelStep::Cancel;
    } else if (verb == L"button") {
        expect(2);
        step.kind = PanelStep::Button;
        step.id = ReadInteger(words[1], step.text);
    } else if (verb == L"check") {
        expect(3);
        step.kind = PanelStep::Check;
        step.id = ReadInteger(words[1], step.text);
        if (words[2] != L"on" && words[2] != L"off")
            throw std::invalid_argument("the panel step " + QuoteShown(step.text) + " ends in on or off");
        step.on = words[2] == L"on";
    } else if (verb == L"choose") {
        expect(3);
        step.kind = PanelStep::Choose;
        step.id = ReadInteger(words[1], step.text);
        step.index = ReadInteger(words[2], step.text);
    } else if (verb == L"value") {
        if (words.size() < 3)
            throw std::invalid_argument("the panel step " + QuoteShown(step.text) + " takes a control id and a value");
        step.kind = PanelStep::Value;
        step.id = ReadInteger(words[1], step.text);
        // The value is the rest of the step as written: a text may hold blanks.
        const size_t idAt = written.find(words[1]);
        step.value = Trimmed(written.substr(idAt + words[1].size()));
    } else if (verb == L"cursor") {
        expect(4);
        step.kind = PanelStep::Cursor;
        if (!ReadNumber(words[1], step.x) || !ReadNumber(words[2], step.y) || !ReadNumber(words[3], step.angle))
            throw std::invalid_argument("the panel step " + QuoteShown(step.text) + " takes three numbers");
    } else {
        throw std::invalid_argument("unknown panel step " + QuoteShown(step.text));
    }
    return step;
}

} // namespace

std::vector<PanelStep> ParsePanelScript(const std::wstring& script)
{
    std::vector<PanelStep> steps;
    size_t start = 0;
    while (start <= script.size()) {
        size_t end = script.find_first_of(L";\n", start);
        if (end == std::wstring::npos)
            end = script.size();
        const std::wstring piece = Trimmed(script.substr(start, end - start));
        if (!piece.empty() && piece[0] != L'#')
            steps.push_back(ParseStep(piece));
        start = end + 1;
    }
    return steps;
}

} // namespace sim
