#pragma once

#include "shell/MainWindow.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TemporaryRegistry.h"

#include <QByteArray>
#include <QStringList>

#include <memory>
#include <string>

class FolderTreeModel;

// A main window over a home of its own: a temporary folder with a few documents and folders,
// its settings in a temporary registry, so that a test sees what a user's first run sees.
class ShellFixture {
public:
    ShellFixture();
    ~ShellFixture();

    MainWindow& window() { return *m_window; }
    PublishingJobs& jobs() { return m_jobs; }
    const TemporaryRegistry& registry() const { return m_registry; }
    const TemporaryFolder& home() const { return m_home; }
    // A folder's path below the home as the list keeps it: with a trailing slash.
    QByteArray folder(const std::string& below) const;
    // Selects the folder below the home in the tree, as the user does by clicking it.
    void go(const std::string& below);
    // The combo box's entries, newest first.
    QStringList history() const;
    // The names of the list's rows in their order.
    QStringList rows() const;
    // A window built anew on the same settings, as at the next start.
    void restart();
    // The trace lines of every window built so far, in order.
    const std::string& trace() const { return m_trace; }

private:
    void build();

    TemporaryRegistry m_registry;
    TemporaryFolder m_home;
    std::string m_trace;
    // Made before the window and gone after it, as in the program.
    PublishingJobs m_jobs { {} };
    std::unique_ptr<MainWindow> m_window;
};
