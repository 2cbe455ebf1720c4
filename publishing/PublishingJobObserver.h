#pragma once

// What a publishing job tells whoever started it. Both calls come from the job's own thread; the
// desktop program hands them on to its GUI thread, a terminal may ignore them and join the job.
class PublishingJobObserver {
public:
    virtual ~PublishingJobObserver() = default;

    // The job's office sessions have ended and their applications have quit: the desktop program
    // brings its main window to the front, so that the user is back where the job was started.
    virtual void sessionEnded() = 0;
    // The job is over: every row and the summary shown, the notifier closed. The job touches
    // nothing of the observer afterwards; its owner still joins it.
    virtual void jobEnded() = 0;
};
