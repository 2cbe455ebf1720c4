#include "cli/ResultReport.h"

#include "cli/DocumentSet.h"
#include "cli/ShellQuote.h"
#include "platform/ReadOnlyFile.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

bool isUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUtf8()
        == QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

QString utf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A file that is there already is replaced only when it is empty or an earlier report, whose
// lines start with '{': a mistyped name must not cost the user a file of theirs.
bool holdsSomethingElse(const std::string& path)
{
    platform::ReadOnlyFile existing(path);
    char first = 0;
    return existing.isOpen() && existing.size() > 0 && (existing.readAt(0, &first, 1) != 1 || first != '{');
}

}

bool ResultReport::open(const std::string& path, const DocumentSet& documents,
    const std::optional<platform::FileIdentity>& list, std::string& error)
{
    // The name is looked at before the open creates anything, and what the open got afterwards,
    // since the name may change in between; only then is the old report emptied.
    auto before = platform::FileIdentity::of(path);
    auto forbidden = [&](const std::optional<platform::FileIdentity>& identity) {
        return identity && (documents.holds(*identity) || (list && *identity == *list));
    };
    int failure = 0;
    if (forbidden(before) || (m_file.open(path, failure) && forbidden(m_file.identity()))) {
        error = "the report " + ShellQuote::printable(path) + " is one of the documents or the list";
        return false;
    }
    if (m_file.isOpen() && holdsSomethingElse(path)) {
        error = "the report " + ShellQuote::printable(path)
            + " is there already and is no report: only an empty file or an earlier report is replaced";
        return false;
    }
    if (!m_file.isOpen() || !m_file.truncate(failure)) {
        error = "cannot write the report " + ShellQuote::printable(path) + ": " + std::strerror(failure);
        return false;
    }
    m_path = path;
    return true;
}

std::string ResultReport::line(const ResultRow& row)
{
    QJsonObject object;
    const bool quoted = !isUtf8(row.path);
    object.insert("path", utf8(quoted ? ShellQuote::printable(row.path) : row.path));
    if (quoted)
        object.insert("quoted", true);
    object.insert("result", utf8(row.result));
    object.insert("code", row.code ? QJsonValue(*row.code) : QJsonValue());
    object.insert("output", row.output.empty() ? QJsonValue() : QJsonValue(utf8(row.output)));
    // Milliseconds are all a batch system needs, and keep the lines short.
    object.insert("seconds", std::round(row.seconds * 1000) / 1000);
    QByteArray json = QJsonDocument(object).toJson(QJsonDocument::Compact);
    return std::string(json.constData(), static_cast<size_t>(json.size()));
}

void ResultReport::add(const ResultRow& row)
{
    if (!m_file.isOpen() || m_failed)
        return;
    int failure = 0;
    if (!m_file.write(line(row) + "\n", failure)) {
        m_failed = true;
        std::fprintf(stderr, "pressling-cli: cannot write the report %s: %s\n",
            ShellQuote::printable(m_path).c_str(), std::strerror(failure));
    }
}
