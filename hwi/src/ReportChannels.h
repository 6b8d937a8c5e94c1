#pragma once
// The backends behind CKelvaneX30Util.

#include <memory>
#include <string>

#include "KeyboardUtil.h"

std::unique_ptr<IReportChannel> openSocketChannel(const std::string& socketPath);
std::unique_ptr<IReportChannel> openHidapiChannel(const std::string& hidrawPath);
// True when something accepts a connection at socketPath (connects and closes at once).
bool socketIsListening(const std::string& socketPath);
// Connects to socketPath and closes again at once: 0 when something accepted, else the errno
// of the failed connect (EINVAL for a path that does not fit a socket address).
int socketConnectError(const std::string& socketPath);
