#pragma once
// The scripted user: the answers a test queues for the questions Velmar puts to the user on the
// library's behalf, by kind of question ("message": Velmar's message box; later kinds: panel runs,
// picks, point requests). Every question asked is recorded with its texts; a question with no queued
// answer is recorded as unanswered and gets the asker's fallback.
//
//   velmar.User().Answer("message", IDYES);
//   ... the library asks ...
//   EXPECT_EQ(velmar.User().Questions().at(0).text, L"Продолжить?");
#include "core/com.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace sim {

struct Question {
    std::string kind;
    std::wstring text;
    std::wstring caption;
    long flags = 0;
    _variant_t answer;
    bool answered = false;
};

class ScriptedUser {
public:
    void Answer(const std::string& kind, const _variant_t& answer);
    _variant_t Ask(Question question, const _variant_t& fallback);

    const std::vector<Question>& Questions() const { return asked_; }
    std::vector<Question> Unanswered() const;
    size_t Pending() const;   // answers queued and not yet taken
    size_t Pending(const std::string& kind) const;
    void Clear();

    // Called after each question is recorded, so that an onlooker tells it where it came.
    std::function<void()> asked;

private:
    std::map<std::string, std::deque<_variant_t>> answers_;
    std::vector<Question> asked_;
};

} // namespace sim
