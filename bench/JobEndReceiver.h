#pragma once

#include <QObject>

class QEvent;

// Stands in for the file list window that started a job: on WM_PUBLISHING_DONE it ends the event
// loop that waits for the job.
class JobEndReceiver : public QObject {
public:
    bool event(QEvent* event) override;
};
