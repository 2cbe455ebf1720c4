#include "filelist/FileListView.h"
#include "filelist/PublishingJobs.h"
#include "filelist/XListView.h"
#include "office/libreoffice/LibreOfficeAutomation.h"
#include "office/libreoffice/LibreOfficeInstallation.h"
#include "publishing/OfficeVersion.h"

#include <QApplication>
#include <QFile>

#include <cstdio>

// The file list on its own, in a window that holds nothing else, showing the folder given as the
// only argument: for trying the list by hand and for screenshots, before a main window exists.
int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: filelist-harness FOLDER\n");
        return 2;
    }
    OfficeVersion::setInstalledOffice(std::make_shared<office::LibreOfficeInstallation>());
    PublishingJobs::Factories factories;
    factories.automation = [] { return std::make_unique<office::LibreOfficeAutomation>(); };
    PublishingJobs jobs(std::move(factories));
    FileListView list(jobs);
    list.setWindowTitle(QStringLiteral("Pressling file list"));
    list.resize(720, 400);
    QByteArray folder = argv[1];
    if (!folder.endsWith('/'))
        folder += '/';
    XListView_ShowFiles(&list, folder.constData());
    list.show();
    return application.exec();
}
