#include "sim/app/event_output.h"

#include "sim/journal.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace velmar_sim {

std::string Quote(const std::wstring& text)
{
    std::wstring escaped;
    for (wchar_t c : text) {
        switch (c) {
        case L'\r': escaped += L"\\r"; break;
        case L'\n': escaped += L"\\n"; break;
        case L'\t': escaped += L"\\t"; break;
        case L'"': escaped += L"\\\""; break;
        default: escaped += c;
        }
    }
    return "\"" + sim::Utf8(escaped) + "\"";
}

void PrintLine(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void PrintEvent(const std::string& kind, const std::string& detail)
{
    PrintLine(detail.empty() ? kind : kind + ": " + detail);
}

void PrepareOutput()
{
    _setmode(_fileno(stdout), _O_BINARY);
}

} // namespace velmar_sim
