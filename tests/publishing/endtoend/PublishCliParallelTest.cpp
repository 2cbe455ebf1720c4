// pressling-cli publish with several office sessions, lists and shards, as batch systems run
// it: real processes, real LibreOffice.
#include "EndToEndSupport.h"
#include "EngineTestSupport.h"

#include "cli/DocumentShard.h"
#include "platform/ChildProcess.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <thread>

namespace fs = std::filesystem;
using platform::ChildProcess;
using namespace std::chrono_literals;

namespace {

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

class PublishCliParallelTest : public ::testing::Test {
protected:
    ChildProcess::RunResult publish(
        const std::vector<std::string>& arguments, std::map<std::string, std::string> environment = {})
    {
        std::vector<std::string> argv = { PRESSLING_CLI_PATH, "publish" };
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        ChildProcess::Options options = cliOptions(m_registry.folder().path());
        for (auto& [name, value] : environment)
            options.environment.emplace_back(name, value);
        return ChildProcess::run(argv, 5min, options);
    }
    // The same documents under the same names in folder: five corpus documents, a text file that
    // fails and an XPS document that the job passes over without a row.
    static std::vector<std::string> documents(const std::string& folder)
    {
        static const char* names[] = { "word/default.docx", "word/tbl-2x2-table.docx",
            "word/having-images.docx", "word/fnt-color.docx", "word/par-hyperlinks.docx" };
        std::vector<std::string> paths;
        for (int i = 0; i < 5; ++i)
            paths.push_back(copyCorpusDocument(names[i], folder, "doc" + std::to_string(i) + ".docx"));
        paths.insert(paths.begin() + 2, folder + "/notes.txt");
        writeFile(paths[2], "text, no document");
        paths.insert(paths.begin() + 4, folder + "/paper.xps");
        writeFile(paths[4], "PK");
        paths.push_back(folder + "/missing.docx");
        return paths;
    }
    static std::set<std::string> namesIn(const std::string& folder)
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    }

    TestRegistry m_registry;
};

std::vector<QJsonObject> reportLines(const std::string& path)
{
    std::vector<QJsonObject> objects;
    for (const std::string& line : textLines(readFile(path))) {
        QJsonParseError error {};
        QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
        objects.push_back(document.object());
    }
    return objects;
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}

// Catches sessions that change what a run gives: rows out of order or lost, outputs missing, a
// different exit code, a report that disagrees with the rows; the second run is under a locale
// with a decimal comma, which must not reach the report's numbers, and asks every session for
// PDF/A-2.
TEST_F(PublishCliParallelTest, TwoSessionsGiveWhatOneGives)
{
    TemporaryFolder one;
    TemporaryFolder two;
    std::vector<std::string> arguments = { "--format", "pdf" };
    ChildProcess::RunResult single = publish(
        [&] {
            std::vector<std::string> a = arguments;
            a.insert(a.end(), { "--jobs", "1", "--report", one.file("report.jsonl") });
            for (const std::string& path : documents(one.path()))
                a.push_back(path);
            return a;
        }(),
        {});
    ChildProcess::RunResult parallel = publish(
        [&] {
            std::vector<std::string> a = arguments;
            a.insert(a.end(), { "--jobs", "2", "--pdf-a", "2", "--report", two.file("report.jsonl") });
            for (const std::string& path : documents(two.path()))
                a.push_back(path);
            return a;
        }(),
        { { "LC_ALL", "de_DE.UTF-8" }, { "LANG", "de_DE.UTF-8" } });
    ASSERT_TRUE(single.started && parallel.started);
    EXPECT_EQ(single.status.exitCode, 1) << single.standardError;
    EXPECT_EQ(parallel.status.exitCode, single.status.exitCode) << parallel.standardError;
    EXPECT_EQ(replaced(parallel.standardOutput, two.path(), one.path()), single.standardOutput);
    const std::vector<std::string> rows = textLines(single.standardOutput);
    ASSERT_EQ(rows.size(), 8u) << single.standardOutput;
    EXPECT_EQ(rows.back(), "Publishing Result: Total=8   Scucceeded=5   Failed=3");
    EXPECT_NE(parallel.standardError.find("Publishing (8/8)"), std::string::npos) << parallel.standardError;
    EXPECT_EQ(namesIn(one.path()), namesIn(two.path()));

    std::vector<QJsonObject> report = reportLines(two.file("report.jsonl"));
    ASSERT_EQ(report.size(), rows.size() - 1);
    for (size_t i = 0; i < report.size(); ++i) {
        const std::string path = report[i].value("path").toString().toStdString();
        const std::string result = report[i].value("result").toString().toStdString();
        EXPECT_EQ(result + "\t" + replaced(path, two.path(), one.path()), rows[i]);
        EXPECT_GE(report[i].value("seconds").toDouble(-1), 0.0);
        if (result == "OK") {
            EXPECT_EQ(report[i].value("code").toInt(-1), 0);
            EXPECT_EQ(report[i].value("output").toString().toStdString(), path + ".pdf");
            // The metadata of an office's PDF/A is not compressed.
            const std::string pdf = readFile(path + ".pdf");
            EXPECT_NE(pdf.find("<pdfaid:part>2</pdfaid:part>"), std::string::npos) << path;
            EXPECT_EQ(readFile(replaced(path, two.path(), one.path()) + ".pdf").find("pdfaid:part"),
                std::string::npos);
        } else {
            EXPECT_NE(report[i].value("code").toInt(0), 0) << path;
            EXPECT_TRUE(report[i].value("output").isNull());
        }
    }
    EXPECT_EQ(readFile(two.file("report.jsonl")).find(",\"seconds\":0,"), std::string::npos);
}

// Catches a Ctrl-C that stops one session only (the other publishes on), kills a session
// mid-document (leaving a backup) or leaves an office running.
TEST_F(PublishCliParallelTest, InterruptStopsEverySession)
{
    TemporaryFolder folder;
    std::vector<std::string> argv = { PRESSLING_CLI_PATH, "publish", "--format", "pdf", "--jobs", "2" };
    std::vector<DocumentSnapshot> before;
    for (int i = 0; i < 12; ++i) {
        argv.push_back(
            copyCorpusDocument("word/having-images.docx", folder.path(), "d" + std::to_string(i) + ".docx"));
        before.push_back(DocumentSnapshot::of(argv.back()));
    }
    ChildProcess run;
    ASSERT_TRUE(run.start(argv, cliOptions(m_registry.folder().path())));
    while (run.isRunning() && backupsIn(folder.path()).empty())
        std::this_thread::sleep_for(2ms);
    ::kill(run.pid(), SIGINT);
    ChildProcess::Status status = run.waitFor(2min);
    EXPECT_EQ(status.outcome, ChildProcess::Outcome::Exited);
    EXPECT_EQ(status.exitCode, 1) << run.standardError();
    std::vector<std::string> output = textLines(run.standardOutput());
    ASSERT_FALSE(output.empty());
    // Each session finishes the document in hand, and perhaps had just begun the next one.
    EXPECT_LE(output.size(), 5u) << run.standardOutput();
    EXPECT_EQ(output.back().rfind("Publishing Result: Total=12   Scucceeded=", 0), 0u) << output.back();
    EXPECT_TRUE(officesOf(run.pid()).empty());
    killOfficesOf(run.pid());
    for (const DocumentSnapshot& document : before)
        EXPECT_TRUE(document.unchanged()) << document.path;
    EXPECT_TRUE(backupsIn(folder.path()).empty());
}

// Catches shards of a list that publish a document twice or not at all, a NUL-separated list
// that breaks a name with a line end, and an empty shard taken for a failure.
TEST_F(PublishCliParallelTest, ShardsOfAListPublishEveryDocumentOnce)
{
    TemporaryFolder folder;
    std::vector<std::string> paths;
    std::string list;
    for (int i = 0; i < 6; ++i) {
        paths.push_back(copyCorpusDocument("word/default.docx", folder.path(),
            "doc" + std::to_string(i) + (i == 3 ? "\nsecond line" : "") + ".docx"));
        list += paths.back() + '\0';
    }
    const std::string listFile = folder.write("list", list);
    std::multiset<std::string> rows;
    constexpr uint32_t shards = 3;
    for (uint32_t shard = 0; shard < shards; ++shard) {
        const std::string report = folder.file("shard-" + std::to_string(shard) + ".jsonl");
        ChildProcess::RunResult result = publish({ "--format", "pdf", "--files-from", listFile, "-0",
            "--shard", std::to_string(shard) + "/" + std::to_string(shards), "--report", report });
        EXPECT_EQ(result.status.exitCode, 0) << result.standardOutput << result.standardError;
        for (const QJsonObject& line : reportLines(report)) {
            EXPECT_EQ(line.value("result").toString(), "OK");
            rows.insert(line.value("path").toString().toStdString());
        }
    }
    EXPECT_EQ(rows, std::multiset<std::string>(paths.begin(), paths.end()));
    for (const std::string& path : paths)
        EXPECT_TRUE(fs::exists(path + ".pdf")) << path;

    // One document in two shards: one of them holds nothing, which is done at once.
    const uint32_t empty = 1 - DocumentShard::partOf(paths[0], 2);
    ChildProcess::RunResult result
        = publish({ "--format", "pdf", "--shard", std::to_string(empty) + "/2", paths[0] });
    EXPECT_EQ(result.status.exitCode, 0) << result.standardError;
    EXPECT_EQ(result.standardOutput, "Publishing Result: Total=0   Scucceeded=0   Failed=0\n");
}
