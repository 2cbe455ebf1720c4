#pragma once

#include "shell/OfficeApplicationList.h"
#include "shell/OfficeApplicationMonitor.h"

#include <QMainWindow>
#include <QPointer>

class QStatusBar;

// The small always-on-top window that the program shows as it starts while office applications
// are open: it lists them, asks the user to close them, and goes away by itself once none is
// left. Closing it, once confirmed, cancels the start. A main window of its own, so that a screen
// reader reports it as a window when it opens.
class OfficeCheckWindow final : public QMainWindow {
    Q_OBJECT

public:
    // Builds the window and shows it in showState (the start-up passes Qt::WindowMinimized).
    // listing is what the watcher looks at.
    OfficeCheckWindow(Qt::WindowState showState, OfficeApplicationMonitor::Listing listing);

    // Starts the watcher and runs the window's own event loop until the window has gone away.
    // Returns 0.
    int runCheck();

    // Null once the window has gone away.
    OfficeApplicationList* list() const { return m_list; }
    QStatusBar* statusBar() const { return m_statusBar; }
    bool hasGone() const { return m_gone; }
    OfficeApplicationMonitor& monitor() { return m_monitor; }

signals:
    // The window went away: no office application is left, or the user cancelled the start.
    void gone();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setupWindow();
    void setupStatusBar();
    void setupList();
    void setupLayout();
    void goAway();

    // A member, so that the watcher is stopped and waited for before the widgets it reports to
    // are destroyed with the window.
    OfficeApplicationMonitor m_monitor;
    QPointer<OfficeApplicationList> m_list;
    QStatusBar* m_statusBar = nullptr;
    bool m_gone = false;
};
