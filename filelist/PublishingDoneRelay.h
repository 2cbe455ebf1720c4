#pragma once

#include <QPointer>
#include <QWidget>

class FileListView;

// The window a publishing job reports to: the owner of the job's notifier window and the
// receiver of its message at the end. A job may outlive the list that started it (the program
// closing while a job still runs), and a message posted to a destroyed window would reach freed
// memory; so the relay, an invisible child of the list, is let go rather than destroyed with
// the list, lives until the job's message arrives and hands it on only to a list that is still
// there.
class PublishingDoneRelay final : public QWidget {
    Q_OBJECT

public:
    explicit PublishingDoneRelay(FileListView* list);

    // Keeps every relay of list alive beyond it.
    static void releaseAll(FileListView* list);

protected:
    bool event(QEvent* event) override;

private:
    QPointer<FileListView> m_list;
};
