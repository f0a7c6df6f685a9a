#include "sim/sample_responses.h"

#include "core/com.h"
#include "hostapi/velmar.h"
#include "sim/text_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace sim {

namespace {

// This source file's folder as the compiler saw it.
std::wstring SourceFolder()
{
    std::string path = __FILE__;
    path = path.substr(0, path.find_last_of("/\\") + 1);
    return WindowsPath(std::wstring(path.begin(), path.end()));
}

} // namespace

std::wstring SampleResponsesFolder()
{
    return SourceFolder() + L"responses\\";
}

std::wstring SampleModelsFolder()
{
    return SourceFolder() + L"models\\";
}

std::wstring SamplePartsFolder()
{
    return SourceFolder() + L"parts\\";
}

FragmentEntry SampleWasher(const std::wstring& folder)
{
    FragmentEntry washer;
    washer.library = folder + L"Fragments\\Washers.lfr";
    washer.name = L"Шайба 8";
    washer.objects = {
        {3, {{IVel5CircleParam::CentreX, 0.0}, {IVel5CircleParam::CentreY, 0.0}, {3, 8.0}, {IVel5CircleParam::Style, 1L}}, {}},
        {3, {{IVel5CircleParam::CentreX, 0.0}, {IVel5CircleParam::CentreY, 0.0}, {3, 4.2}, {IVel5CircleParam::Style, 1L}}, {}},
        {1, {{IVel5SegmentParam::X1, -10.0}, {IVel5SegmentParam::Y1, 0.0}, {IVel5SegmentParam::X2, 10.0},
             {IVel5SegmentParam::Y2, 0.0}, {IVel5SegmentParam::Style, 6L}}, {}},
        {9, {}, {}},
    };
    washer.variables = {{L"d", 8.4}, {L"d2", 15.0}, {L"s", 1.6}};
    return washer;
}

namespace {

std::wstring ReadSample(const std::string& name, const wchar_t* extension)
{
    const std::wstring path = SampleResponsesFolder() + std::wstring(name.begin(), name.end()) + extension;
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    if (!file)
        throw std::runtime_error("no sample " + name);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    const std::string text = bytes.str();
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length);
    return result;
}

} // namespace

std::wstring SampleResponse(const std::string& name)
{
    return ReadSample(name, L".xml");
}

std::wstring SampleHotPoints(const std::string& name)
{
    return ReferenceBookLines(ReadSample(name, L".hotpoints"));
}

std::wstring ReferenceBookLines(const std::wstring& given)
{
    std::wstring text;
    for (wchar_t c : given) {
        if (c == L'\n' && (text.empty() || text.back() != L'\r'))
            text += L'\r';
        text += c;
    }
    return text;
}

} // namespace sim
