#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QProcess>
#include <QRect>
#include <QStringList>

// The drag peer running as a program of its own, with what it has printed so far. Its lines
// arrive through the event loop, so they keep coming while a drag of this process runs.
class PeerProcess {
public:
    explicit PeerProcess(const QStringList& arguments);
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;
    ~PeerProcess();

    // True once a line starting with prefix has come, waiting up to timeoutMs for it.
    bool waitForLine(const QByteArray& prefix, int timeoutMs = 15000);
    bool said(const QByteArray& prefix) const;
    // The first line starting with prefix, without the prefix; empty when none came.
    QByteArray lineAfter(const QByteArray& prefix) const;
    // Where its window is on the screen, as its "ready" line gives it (empty before that).
    QRect window() const;
    // Everything it printed on either stream, for the message of a failed check.
    QByteArray transcript() const;

private:
    void takeOutput();

    QProcess m_process;
    QByteArrayList m_lines;
    QByteArray m_partial;
    QByteArray m_errors;
};
