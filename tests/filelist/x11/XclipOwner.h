#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>

// xclip holding the clipboard with bytes of one type, as another program that copied them: it
// serves every request until it is ended with this object.
class XclipOwner {
public:
    XclipOwner(const QString& type, const QByteArray& bytes);
    XclipOwner(const XclipOwner&) = delete;
    XclipOwner& operator=(const XclipOwner&) = delete;
    ~XclipOwner();

    // True once the display names xclip's type among the clipboard's types, waiting for it.
    bool waitUntilOffered(int timeoutMs = 10000);
    QByteArray errors() { return m_process.readAllStandardError(); }

private:
    QString m_type;
    QProcess m_process;
};
