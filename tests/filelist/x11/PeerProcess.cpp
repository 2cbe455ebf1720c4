#include "PeerProcess.h"

#include <QTest>

PeerProcess::PeerProcess(const QStringList& arguments)
{
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &m_process, [this] { takeOutput(); });
    QObject::connect(&m_process, &QProcess::readyReadStandardError, &m_process,
        [this] { m_errors += m_process.readAllStandardError(); });
    m_process.start(QStringLiteral(DRAG_PEER_PATH), arguments);
}

PeerProcess::~PeerProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void PeerProcess::takeOutput()
{
    m_partial += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_partial.indexOf('\n')) >= 0) {
        m_lines << m_partial.left(end);
        m_partial.remove(0, end + 1);
    }
}

bool PeerProcess::waitForLine(const QByteArray& prefix, int timeoutMs)
{
    return QTest::qWaitFor([&] { return said(prefix); }, timeoutMs);
}

bool PeerProcess::said(const QByteArray& prefix) const
{
    for (const QByteArray& line : m_lines) {
        if (line.startsWith(prefix))
            return true;
    }
    return false;
}

QByteArray PeerProcess::lineAfter(const QByteArray& prefix) const
{
    for (const QByteArray& line : m_lines) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size());
    }
    return {};
}

QRect PeerProcess::window() const
{
    QList<QByteArray> numbers = lineAfter("ready ").split(',');
    if (numbers.size() != 4)
        return {};
    return QRect(numbers[0].toInt(), numbers[1].toInt(), numbers[2].toInt(), numbers[3].toInt());
}

QByteArray PeerProcess::transcript() const
{
    return "peer printed:\n" + m_lines.join('\n') + "\n" + m_partial + "\npeer errors:\n" + m_errors;
}
