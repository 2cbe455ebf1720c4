#include "RealWriter.h"

#include "office/libreoffice/LibreOfficeInstallation.h"
#include "office/libreoffice/RunningLibreOffices.h"

#include <QElapsedTimer>
#include <QTest>

#include <unistd.h>

RealWriter::RealWriter()
{
    platform::ChildProcess::Options options;
    options.newSession = true;
    options.standardOutput.mode = platform::ChildProcess::Output::Discard;
    options.standardError.mode = platform::ChildProcess::Output::Discard;
    m_started = m_process.start({ office::LibreOfficeInstallation::launcherPath(), "--norestore", "--nologo",
                                    "--writer", "-env:UserInstallation=file://" + m_profile.path() },
        options);
}

RealWriter::~RealWriter()
{
    close();
}

void RealWriter::close()
{
    m_process.kill();
}

std::optional<office::OfficeInstance> RealWriter::waitForWindow()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 120000) {
        if (auto offices = office::RunningLibreOffices::list()) {
            for (const office::OfficeInstance& office : *offices) {
                if (getpgid(office.pid) == m_process.pid())
                    return office;
            }
        }
        QTest::qWait(250);
    }
    return std::nullopt;
}
