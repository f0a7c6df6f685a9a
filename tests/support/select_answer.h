#pragma once
// One answer of the stand-in reference book to a selection, for tests.
#include "sim/reference_book.h"

#include <optional>
#include <string>
#include <utility>

namespace testsupport {

// The command, parameters and location the reference book sends back, and the response chosen (none:
// the user closed the book without a choice).
inline sim::SelectAnswer Answer(long command, std::optional<std::wstring> xml, std::wstring params = L"",
                                std::wstring location = L"")
{
    sim::SelectAnswer answer;
    answer.command = command;
    answer.params = std::move(params);
    answer.location = std::move(location);
    answer.responseXml = std::move(xml);
    return answer;
}

} // namespace testsupport
