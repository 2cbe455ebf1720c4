#pragma once

#include <QObject>
#include <QPointer>

class FileListView;

// The window a publishing job tells when it ends. A job may outlive the list that started it
// (the program closing while a job still runs), and a message posted to a destroyed window
// would reach freed memory; this relay lives until the job's message arrives and hands it on
// only to a list that is still there.
class PublishingDoneRelay final : public QObject {
    Q_OBJECT

public:
    explicit PublishingDoneRelay(FileListView* list);

    bool event(QEvent* event) override;

private:
    QPointer<FileListView> m_list;
};
