#include "RefusingPort.h"

#include "LoopbackServer.h"

#include <unistd.h>

RefusingPort::RefusingPort()
{
    m_fd = LoopbackServer::bindLoopbackSocket(m_port);
}

RefusingPort::~RefusingPort()
{
    close(m_fd);
}
