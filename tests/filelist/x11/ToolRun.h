#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// One run of another program on the display (xclip, xdotool) to its end. The test's own event
// loop keeps running meanwhile: the other program may be asking this process for the clipboard
// it owns, and a blocking wait would keep both waiting for each other.
struct ToolRun {
    bool finished = false;
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;

    bool succeeded() const { return finished && exitCode == 0; }

    static ToolRun of(const QString& program, const QStringList& arguments, int timeoutMs = 10000);
};
