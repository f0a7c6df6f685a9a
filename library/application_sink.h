#pragma once
// The connection of the library's application event sink to Velmar's application, which
// LibInterfaceNotifyEntry makes once, at host version 1402 or later. The sink puts its connection
// function here when it is built; until one is there, nothing is connected.
#include "hostapi/velmar5.h"

#include <functional>

using ApplicationSinkConnect = std::function<void(IVel5Application* application)>;

// Installs the connection function; returns the one it replaces (tests restore it).
ApplicationSinkConnect SetApplicationSinkConnect(ApplicationSinkConnect connect);

// Connects the sink, when there is one; failures raise _com_error.
void ConnectApplicationSink(IVel5Application* application);
