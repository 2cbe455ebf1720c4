#include "shell/OfficeCheckWindow.h"

#include "shell/OfficeApplicationList.h"
#include "shell/StartupCancel.h"
#include "ui/MessageBox.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

const QRect initialGeometry(10, 10, 520, 240);

}

OfficeCheckWindow::OfficeCheckWindow(Qt::WindowState showState, OfficeApplicationMonitor::Listing listing)
    : QMainWindow(nullptr, Qt::Window | Qt::WindowStaysOnTopHint)
    , m_monitor(std::move(listing))
{
    setupWindow();
    setupStatusBar();
    setupList();
    setupLayout();
    m_monitor.setList(m_list, [this] { goAway(); });
    setWindowState(showState);
    show();
}

void OfficeCheckWindow::setupWindow()
{
    setWindowTitle(QStringLiteral("Office Applications - Vaultrix"));
    move(initialGeometry.topLeft());
    resize(initialGeometry.size());
}

void OfficeCheckWindow::setupStatusBar()
{
    m_statusBar = new QStatusBar(this);
    m_statusBar->setSizeGripEnabled(false);
    m_statusBar->setAccessibleName(QStringLiteral("Start-up request"));
    // A label rather than a status message, which the status tips of other widgets would clear.
    auto* request = new QLabel(
        QStringLiteral("Please terminate Office Applications to start 'Vaultrix'."), m_statusBar);
    m_statusBar->addWidget(request, 1);
}

void OfficeCheckWindow::setupList()
{
    m_list = new OfficeApplicationList(this);
}

// The list fills the window above the status bar, one pixel of the window's background apart.
void OfficeCheckWindow::setupLayout()
{
    auto* area = new QWidget(this);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 1);
    layout->addWidget(m_list);
    setCentralWidget(area);
    setStatusBar(m_statusBar);
}

int OfficeCheckWindow::runCheck()
{
    QEventLoop loop;
    connect(this, &OfficeCheckWindow::gone, &loop, [&loop] { loop.exit(0); });
    m_monitor.start();
    return loop.exec();
}

void OfficeCheckWindow::closeEvent(QCloseEvent* event)
{
    // The window only goes away through goAway, which also ends the check.
    event->ignore();
    if (m_gone)
        return;
    MessageBox::Answer answer = MessageBox::current().show(this, QStringLiteral("Startup Vaultrix"),
        QStringLiteral("Are you sure you want to cancel to start 'Vaultrix'"), MessageBox::Buttons::OkCancel,
        MessageBox::Icon::Question);
    if (answer != MessageBox::Answer::Ok)
        return;
    StartupCancel::set();
    goAway();
}

// Hides the window and destroys its list, which tells the watcher that there is nothing left to
// watch for, and ends the check's event loop.
void OfficeCheckWindow::goAway()
{
    if (m_gone)
        return;
    m_gone = true;
    hide();
    delete m_list;
    emit gone();
}
