#include "ToolRun.h"

#include <QProcess>
#include <QTest>

ToolRun ToolRun::of(const QString& program, const QStringList& arguments, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    process.closeWriteChannel();
    ToolRun run;
    run.finished = QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
    if (!run.finished) {
        process.kill();
        process.waitForFinished(2000);
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    if (process.error() == QProcess::FailedToStart)
        run.exitCode = -1;
    run.output = process.readAllStandardOutput();
    run.errors = process.readAllStandardError();
    return run;
}
