// The report of --report: lines that a batch system parses, and a file that never takes the
// place of what the run works from.
#include "cli/DocumentSet.h"
#include "cli/ResultReport.h"

#include "tests/support/ReadFile.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <clocale>
#include <sys/stat.h>

namespace {

QJsonObject parsed(const std::string& line)
{
    QJsonParseError error {};
    QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
    return document.object();
}

}

// Catches a line that is no JSON for the names users have (quotes, line ends, bytes that are no
// UTF-8), and numbers written with the locale's decimal comma.
TEST(ResultReport, EveryLineIsOneJsonObject)
{
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string restore = previous ? previous : "C";
    const bool german = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    ResultRow row { "/a/\"quoted\"\nname.docx", "OK", true, 0, "/a/\"quoted\"\nname.docx.pdf", 1.23456 };
    std::string line = ResultReport::line(row);
    EXPECT_EQ(line.find('\n'), std::string::npos) << line;
    QJsonObject object = parsed(line);
    EXPECT_EQ(object.value("path").toString().toStdString(), row.path);
    EXPECT_EQ(object.value("result").toString(), "OK");
    EXPECT_EQ(object.value("code").toInt(-1), 0);
    EXPECT_EQ(object.value("output").toString().toStdString(), row.output);
    EXPECT_DOUBLE_EQ(object.value("seconds").toDouble(), 1.235);
    EXPECT_NE(line.find("1.235"), std::string::npos) << "under " << (german ? "de_DE" : "C") << ": " << line;
    EXPECT_FALSE(object.contains("quoted"));

    ResultRow failed { "/a/caf\xe9.docx", "NG", false, std::nullopt, "", 0 };
    object = parsed(ResultReport::line(failed));
    EXPECT_EQ(object.value("path").toString(), "$'/a/caf\\xE9.docx'");
    EXPECT_TRUE(object.value("quoted").toBool());
    EXPECT_TRUE(object.value("code").isNull());
    EXPECT_TRUE(object.value("output").isNull());
    std::setlocale(LC_ALL, restore.c_str());
}

// Catches a report opened over one of the documents or over the list (emptying it would destroy
// the user's document, or the list that other shards still read) or over a file of the user's,
// and an old report kept.
TEST(ResultReport, NeverOpensOverADocumentOrTheList)
{
    TemporaryFolder folder;
    const std::string document = folder.write("a.docx", "the user's document");
    const std::string list = folder.write("list", document + "\n");
    ::symlink(document.c_str(), folder.file("link.jsonl").c_str());
    DocumentSet documents;
    std::string error;
    ASSERT_TRUE(documents.add(document, error));
    const auto listIdentity = platform::FileIdentity::of(list);
    for (const std::string& target : { document, list, folder.file("link.jsonl") }) {
        ResultReport report;
        EXPECT_FALSE(report.open(target, documents, listIdentity, error)) << target;
        EXPECT_NE(error.find("is one of the documents or the list"), std::string::npos) << error;
    }
    EXPECT_EQ(readFile(document), "the user's document");
    EXPECT_EQ(readFile(list), document + "\n");

    // A file of the user's behind a mistyped name is kept too; an empty one may be taken.
    const std::string notes = folder.write("notes.txt", "the user's notes");
    ResultReport mistyped;
    EXPECT_FALSE(mistyped.open(notes, documents, listIdentity, error));
    EXPECT_NE(error.find("is no report"), std::string::npos) << error;
    EXPECT_EQ(readFile(notes), "the user's notes");
    ResultReport empty;
    EXPECT_TRUE(empty.open(folder.write("empty.jsonl", ""), documents, listIdentity, error)) << error;

    const std::string old = folder.write("old.jsonl", "{\"from\":\"the last run\"}\n");
    ResultReport report;
    ASSERT_TRUE(report.open(old, documents, listIdentity, error)) << error;
    report.add(ResultRow { document, "OK", true, 0, document + ".pdf", 0.5 });
    EXPECT_EQ(readFile(old), ResultReport::line(ResultRow { document, "OK", true, 0, document + ".pdf", 0.5 }) + "\n");
}

// Catches a report that cannot be written found only after documents were published, and a
// named pipe without a reader that hangs the run before it starts.
TEST(ResultReport, TellsAtOnceWhenItCannotBeWritten)
{
    TemporaryFolder folder;
    DocumentSet documents;
    std::string error;
    ::mkfifo(folder.file("fifo").c_str(), 0600);
    for (const std::string& target :
        { folder.path(), folder.file("no/such/folder/r.jsonl"), folder.file("fifo") }) {
        ResultReport report;
        error.clear();
        EXPECT_FALSE(report.open(target, documents, std::nullopt, error)) << target;
        EXPECT_NE(error.find("cannot write the report"), std::string::npos) << error;
    }
}
