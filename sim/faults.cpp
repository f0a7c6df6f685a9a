#include "sim/faults.h"

#include <algorithm>

namespace sim {

void Faults::FailCall(size_t n, HRESULT hr)
{
    countdown_ = n;
    countdownResult_ = hr;
}

void Faults::FailMember(std::string key, HRESULT hr, int times, int after)
{
    members_.push_back({std::move(key), hr, times, after});
}

void Faults::FailQuery(std::string object, const IID& iid, HRESULT hr)
{
    queries_.push_back({std::move(object), iid, hr});
}

void Faults::During(std::string key, std::function<void()> action)
{
    during_.emplace_back(std::move(key), std::move(action));
}

void Faults::Clear()
{
    countdown_ = 0;
    members_.clear();
    queries_.clear();
    during_.clear();
}

void Faults::OnCallDone(const std::string& key)
{
    const auto found = std::find_if(during_.begin(), during_.end(), [&](const auto& waiting) { return waiting.first == key; });
    if (found == during_.end())
        return;
    // Taken out before it runs: the calls the action makes may come back here.
    const std::function<void()> action = std::move(found->second);
    during_.erase(found);
    action();
}

HRESULT Faults::OnCall(const std::string& key)
{
    HRESULT result = S_OK;
    if (countdown_ && --countdown_ == 0)
        result = countdownResult_;
    for (auto& fault : members_) {
        if (fault.key != key || fault.times == 0)
            continue;
        if (fault.after > 0) {
            --fault.after;
            continue;
        }
        if (fault.times > 0)
            --fault.times;
        if (SUCCEEDED(result))
            result = fault.hr;
    }
    return result;
}

HRESULT Faults::OnQuery(const std::string& object, const IID& iid) const
{
    for (const auto& fault : queries_)
        if (fault.object == object && IsEqualIID(fault.iid, iid))
            return fault.hr;
    return S_OK;
}

} // namespace sim
