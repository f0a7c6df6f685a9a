#include "sim/faults.h"

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

void Faults::Clear()
{
    countdown_ = 0;
    members_.clear();
    queries_.clear();
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
