#include "LoopbackConnections.h"

#include <fstream>
#include <sstream>
#include <string>

namespace {

// "0100007F:1F90" -> 8080
int PortOf(const std::string& strAddress)
{
    const std::size_t nColon = strAddress.rfind(':');
    if (nColon == std::string::npos)
        return -1;
    return static_cast<int>(std::stoul(strAddress.substr(nColon + 1), nullptr, 16));
}

void Scan(const char* pszTable, int nServerPort, std::set<int>& ports)
{
    std::ifstream table(pszTable);
    std::string line;
    std::getline(table, line); // the heading
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote;
        if (!(fields >> slot >> local >> remote))
            continue;
        const int nLocal = PortOf(local);
        const int nRemote = PortOf(remote);
        if (nRemote == nServerPort)
            ports.insert(nLocal);
        else if (nLocal == nServerPort && nRemote != 0)
            ports.insert(nRemote); // the server's side; 0 is its listening socket
    }
}

} // namespace

std::set<int> LoopbackConnections::ClientPorts(int nServerPort)
{
    std::set<int> ports;
    Scan("/proc/net/tcp", nServerPort, ports);
    Scan("/proc/net/tcp6", nServerPort, ports);
    return ports;
}
