#include "shell/StartUp.h"

#include "filelist/PublishingJobs.h"
#include "foundation/Log.h"
#include "shell/InitialFolder.h"
#include "shell/MainWindow.h"
#include "shell/OfficeCheck.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>

int WinMain(const std::string& commandLine, OfficeApplicationMonitor::Listing runningOffices,
    const std::function<int()>& run)
{
    // The first call configures logging.
    logDebug("%s", "");
    logDebug("Vaultrix#WinMain,1,Start %s", commandLine.c_str());
    // The windows come and go in steps (the check, the main window, the notifiers of jobs that
    // outlive it); the program ends when this routine says so, not with its last window.
    QApplication::setQuitOnLastWindowClosed(false);
    if (startupCheckCancelled(std::move(runningOffices)))
        return 1;
    try {
        run();
    } catch (...) {
        logError("Vaultrix#WinMain,2,Exception");
    }
    logDebug("Vaultrix#WinMain,3,End");
    return 0;
}

int Sheetcast_Run(
    PublishingJobs::Factories factories, TraceSink trace, const std::optional<std::string>& requestedFolder)
{
    logDebug("Sheetcast_Run,1,Start");
    std::optional<QByteArray> initial = firstFolder(requestedFolder);
    const QByteArray userProfile
        = QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    logDebug("UserProfile=%s", userProfile.constData());
    logDebug("Sheetcast_Run,3,UserProfile=[%s]", userProfile.constData());
    PublishingJobs jobs(std::move(factories));
    {
        MainWindow window(jobs, std::move(trace));
        QEventLoop loop;
        QObject::connect(&window, &MainWindow::closed, &loop, &QEventLoop::quit);
        window.show();
        window.openAt(initial);
        loop.exec();
    }
    // Jobs started from the window finish their documents and wait for their notifiers to be
    // closed; ending under them would leave their backups and offices behind.
    jobs.waitUntilAllEnded();
    logDebug("Sheetcast_Run,4,End");
    return 0;
}

std::optional<QByteArray> firstFolder(const std::optional<std::string>& requestedFolder)
{
    if (!requestedFolder)
        return InitialFolder().choose();
    logDebug("Sheetcast_Run,2,InitialFolder %s", requestedFolder->c_str());
    return QByteArray::fromStdString(*requestedFolder);
}
