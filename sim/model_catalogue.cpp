#include "sim/model_catalogue.h"

#include "sim/journal.h"
#include "sim/shown_text.h"

#include <algorithm>
#include <array>
#include <cwchar>
#include <cwctype>
#include <sstream>

namespace sim {

namespace {

std::wstring Trim(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(L" \t\r");
    if (first == std::wstring::npos)
        return std::wstring();
    return text.substr(first, text.find_last_not_of(L" \t\r") - first + 1);
}

std::vector<std::wstring> Words(const std::wstring& text)
{
    std::wistringstream in(text);
    std::vector<std::wstring> words;
    for (std::wstring word; in >> word;)
        words.push_back(word);
    return words;
}

bool ReadNumber(const std::wstring& text, double& value)
{
    wchar_t* end = nullptr;
    value = std::wcstod(text.c_str(), &end);
    return !text.empty() && end && *end == L'\0';
}

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring LastPart(const std::wstring& path)
{
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

[[noreturn]] void Damaged(size_t line, const std::string& why)
{
    throw std::invalid_argument("line " + std::to_string(line) + ": " + why);
}

} // namespace

std::wstring ModelDescription::FileName() const
{
    return LastPart(file);
}

ModelDescription ParseModel(const std::wstring& text)
{
    ModelDescription model;
    model.text = text;
    std::wistringstream lines(text);
    size_t number = 0;
    for (std::wstring raw; std::getline(lines, raw);) {
        ++number;
        const std::wstring line = Trim(raw);
        if (line.empty() || line[0] == L'#')
            continue;
        const size_t space = line.find_first_of(L" \t");
        const std::wstring keyword = line.substr(0, space);
        const std::wstring rest = space == std::wstring::npos ? std::wstring() : Trim(line.substr(space));
        const std::vector<std::wstring> words = Words(rest);
        auto name = [&](const char* what) {
            if (words.size() != 1)
                Damaged(number, std::string(what) + " needs one name");
            return words[0];
        };
        if (keyword == L"file") {
            // The file lies below the folder of the models: nothing may name a place outside it.
            const bool outside = rest.find(L':') != std::wstring::npos || rest[0] == L'\\' || rest[0] == L'/' ||
                                 (L"\\" + rest + L"\\").find(L"\\..\\") != std::wstring::npos ||
                                 (L"/" + rest + L"/").find(L"/../") != std::wstring::npos;
            if (rest.empty() || outside)
                Damaged(number, "file needs a path below the models' folder");
            model.file = rest;
        } else if (keyword == L"variable") {
            double value = 0;
            if (words.size() != 2 || !ReadNumber(words[1], value))
                Damaged(number, "a variable needs a name and a number");
            const bool known = std::any_of(model.variables.begin(), model.variables.end(),
                                           [&](const auto& variable) { return variable.first == words[0]; });
            if (known)
                Damaged(number, "the variable " + Utf8(words[0]) + " is given twice");
            model.variables.emplace_back(words[0], value);
        } else if (keyword == L"plane") {
            model.planes.push_back(name("a plane"));
        } else if (keyword == L"axis") {
            model.axes.push_back(name("an axis"));
        } else if (keyword == L"lcs") {
            model.coordinateSystems.push_back(name("a coordinate system"));
        } else if (keyword == L"cylinder") {
            CylinderDescription cylinder;
            if (words.size() != 3 || !ReadNumber(words[1], cylinder.radius) || !ReadNumber(words[2], cylinder.length))
                Damaged(number, "a cylinder needs a name, a radius and a length");
            cylinder.name = words[0];
            model.cylinders.push_back(cylinder);
        } else if (keyword == L"attach") {
            if (!words.empty())
                Damaged(number, "attach stands alone");
            model.attachPoint = true;
        } else if (keyword == L"cone") {
            double value = 0;
            if (words.size() != 1 || !ReadNumber(words[0], value))
                Damaged(number, "a cone needs the parameter of its conical face");
            model.cone = value;
        } else if (keyword == L"box") {
            std::array<double, 6> corners{};
            for (size_t i = 0; i < corners.size(); ++i)
                if (words.size() != corners.size() || !ReadNumber(words[i], corners[i]))
                    Damaged(number, "a box needs six numbers: two opposite corners");
            model.box = corners;
        } else if (keyword == L"mass") {
            if (words.size() != 1 || !ReadNumber(words[0], model.mass))
                Damaged(number, "mass needs a number");
        } else if (keyword == L"material") {
            if (rest.empty())
                Damaged(number, "material needs a name");
            model.material = rest;
        } else {
            Damaged(number, QuoteShown(keyword) + " is no item of a model");
        }
    }
    if (model.file.empty())
        throw std::invalid_argument("the model names no file");
    return model;
}

void ModelCatalogue::Add(ModelDescription model)
{
    const std::wstring key = Lower(model.FileName());
    auto known = std::find_if(models_.begin(), models_.end(), [&](const ModelDescription& m) { return Lower(m.FileName()) == key; });
    if (known != models_.end())
        *known = std::move(model);
    else
        models_.push_back(std::move(model));
}

const ModelDescription* ModelCatalogue::Find(const std::wstring& path) const
{
    const std::wstring key = Lower(LastPart(path));
    for (const ModelDescription& model : models_)
        if (Lower(model.FileName()) == key)
            return &model;
    return nullptr;
}

} // namespace sim
