#pragma once
// A port on 127.0.0.1 that refuses connections: bound, never listening,
// held for the object's life so nobody else takes it meanwhile.

class RefusingPort
{
public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};
