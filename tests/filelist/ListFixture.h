#pragma once

#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"
#include "filelist/PublishingJobs.h"
#include "tests/support/ListFilling.h"
#include "tests/support/TemporaryFolder.h"

#include <QStringList>

#include <memory>
#include <string>
#include <vector>

// A file list showing a temporary folder of real files, for the tests of what the user does
// with the rows.
class ListFixture {
public:
    // factories: the office suite (and notifier) of the jobs the list starts; none for tests that
    // start none.
    explicit ListFixture(PublishingJobs::Factories factories = {});

    PublishingJobs& jobs() { return *m_jobs; }
    // Destroys the list, as closing the main window does, while its jobs go on.
    void closeList() { m_list.reset(); }

    FileListView& list() { return *m_list; }
    FileListModel& model() { return *m_list->fileModel(); }
    const TemporaryFolder& folder() const { return m_folder; }
    // The folder as the list takes it: with a trailing slash.
    std::string folderText() const { return m_folder.path() + "/"; }

    std::string write(const std::string& name, const std::string& bytes = "text") const;
    // Lists the folder again.
    void show();
    // The rows' names, in the list's order.
    QStringList names() const;
    int rowOf(const std::string& name) const;
    // Makes exactly these rows selected, the last one current.
    void select(const std::vector<std::string>& names);
    std::string readFile(const std::string& name) const;
    // A real Word document protected by a password, copied in as name (a fatal failure when
    // this checkout has no corpus beside it).
    void copyPasswordDocument(const std::string& name) const;

private:
    TemporaryFolder m_folder;
    // Made before the list and gone after it, as in the program.
    std::unique_ptr<PublishingJobs> m_jobs;
    std::unique_ptr<FileListView> m_list;
};
