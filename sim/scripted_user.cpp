#include "sim/scripted_user.h"

namespace sim {

void ScriptedUser::Answer(const std::string& kind, const _variant_t& answer)
{
    answers_[kind].push_back(answer);
}

_variant_t ScriptedUser::Ask(Question question, const _variant_t& fallback)
{
    auto& queue = answers_[question.kind];
    if (queue.empty()) {
        question.answer = fallback;
        question.answered = false;
    } else {
        question.answer = queue.front();
        question.answered = true;
        queue.pop_front();
    }
    asked_.push_back(question);
    const _variant_t answer = asked_.back().answer;
    if (asked)
        asked();
    return answer;
}

std::vector<Question> ScriptedUser::Unanswered() const
{
    std::vector<Question> result;
    for (const auto& question : asked_)
        if (!question.answered)
            result.push_back(question);
    return result;
}

size_t ScriptedUser::Pending() const
{
    size_t count = 0;
    for (const auto& [kind, queue] : answers_)
        count += queue.size();
    return count;
}

size_t ScriptedUser::Pending(const std::string& kind) const
{
    auto found = answers_.find(kind);
    return found == answers_.end() ? 0 : found->second.size();
}

void ScriptedUser::Clear()
{
    answers_.clear();
    asked_.clear();
}

} // namespace sim
