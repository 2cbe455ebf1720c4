#pragma once

// A port on 127.0.0.1 that listens and never answers: whatever connects to it waits in its
// queue, where the test counts it. A host that a program must not reach, and must not wait on.
class LoopbackListener {
public:
    LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;
    ~LoopbackListener();

    // 0 when no port could be had.
    int port() const { return m_port; }
    // How many connections arrived since the last call.
    int connections() const;

private:
    int m_socket = -1;
    int m_port = 0;
};
