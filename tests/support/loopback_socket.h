#pragma once

#include <utility>

// Binds a TCP socket to a port the system chooses on 127.0.0.1; returns the
// socket and its port. Throws when no socket can be bound.
std::pair<int, int> BindLoopback();
