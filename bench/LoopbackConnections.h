#pragma once
// Counts the TCP connections made to a local port, from the kernel's own
// table (/proc/net/tcp and tcp6). Every connection leaves a socket behind
// for a while after it closes (TIME_WAIT on the side that closed first,
// about 60 s), so right after a short series the table still holds every
// connection of it. A connection is known by its client's port, which
// stands in both the client's and the server's row.

#include <set>

class LoopbackConnections {
public:
    // The client ports of every socket in the table, in any state, whose
    // local or remote end is nServerPort.
    static std::set<int> ClientPorts(int nServerPort);
};
