#include "library/application_sink.h"

#include <utility>

namespace {

ApplicationSinkConnect& Connect()
{
    static ApplicationSinkConnect connect;
    return connect;
}

} // namespace

ApplicationSinkConnect SetApplicationSinkConnect(ApplicationSinkConnect connect)
{
    return std::exchange(Connect(), std::move(connect));
}

void ConnectApplicationSink(IVel5Application* application)
{
    if (const ApplicationSinkConnect connect = Connect())
        connect(application);
}
