#include "XclipOwner.h"

#include "ToolRun.h"

#include <QDeadlineTimer>
#include <QTest>

XclipOwner::XclipOwner(const QString& type, const QByteArray& bytes)
    : m_type(type)
{
    // -quiet keeps xclip in the foreground, where it can be ended; by default it forks, and
    // may still be taking the selection when the test goes on.
    m_process.start(QStringLiteral("xclip"), { "-quiet", "-selection", "clipboard", "-t", type, "-i" });
    m_process.write(bytes);
    m_process.closeWriteChannel();
}

XclipOwner::~XclipOwner()
{
    m_process.kill();
    m_process.waitForFinished(5000);
}

bool XclipOwner::waitUntilOffered(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        ToolRun targets
            = ToolRun::of(QStringLiteral("xclip"), { "-o", "-selection", "clipboard", "-t", "TARGETS" });
        if (targets.succeeded() && targets.output.split('\n').contains(m_type.toUtf8()))
            return true;
        if (m_process.state() == QProcess::NotRunning)
            return false;
        QTest::qWait(50);
    }
    return false;
}
