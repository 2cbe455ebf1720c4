// What the terminal makes of several sessions that finish their documents in any order.
#include "cli/DocumentSet.h"
#include "cli/PublishSessions.h"
#include "cli/PublishTerminal.h"
#include "cli/ResultReport.h"
#include "cli/TerminalNotifier.h"

#include "publishing/PublishFormat.h"
#include "tests/support/ReadFile.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <sstream>

namespace {

// The paths of the report's lines, in the order they were written, which is the order of the
// rows on standard output.
std::vector<std::string> reportedPaths(const std::string& report)
{
    std::vector<std::string> paths;
    std::istringstream lines(readFile(report));
    for (std::string line; std::getline(lines, line);)
        paths.push_back(QJsonDocument::fromJson(QByteArray::fromStdString(line))
                            .object()
                            .value("path")
                            .toString()
                            .toStdString());
    return paths;
}

class PublishTerminalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(m_report.open(m_folder.file("report.jsonl"), m_documents, std::nullopt, error)) << error;
    }
    std::vector<std::string> reported() const { return reportedPaths(m_folder.file("report.jsonl")); }

    TemporaryFolder m_folder;
    DocumentSet m_documents;
    ResultReport m_report;
};

}

// Catches shares that leave a document out or give it twice, and idle sessions.
TEST(PublishSessions, HandsOutDocumentsInOrderToEachSessionInTurn)
{
    EXPECT_EQ(PublishSessions::handOut(5, 2), (std::vector<std::vector<size_t>> { { 0, 2, 4 }, { 1, 3 } }));
    EXPECT_EQ(PublishSessions::handOut(2, 8), (std::vector<std::vector<size_t>> { { 0 }, { 1 } }));
    EXPECT_EQ(PublishSessions::handOut(3, 1), (std::vector<std::vector<size_t>> { { 0, 1, 2 } }));
}

// Catches rows printed in the order the sessions finished, a row lost behind a document that
// gets none (an XPS file the job passes over) and a summary before the last session's end.
TEST_F(PublishTerminalTest, RowsComeInTheOrderOfTheDocuments)
{
    const std::vector<std::string> paths = { "/d/0.docx", "/d/1.xps", "/d/2.docx", "/d/3.docx", "/d/4.docx" };
    auto terminal = std::make_shared<PublishTerminal>(paths, 2, &m_report);
    TerminalNotifier first(terminal, { 0, 2, 4 }, ID_PUBLISH_AS_PDF);
    TerminalNotifier second(terminal, { 1, 3 }, ID_PUBLISH_AS_PDF);

    second.showProgress("Publishing (1/2): '/d/1.xps'");
    second.showProgress("Publishing (2/2): '/d/3.docx'");
    second.noteResultCode("/d/3.docx", 601);
    second.addResult("/d/3.docx", "NG", 0);
    EXPECT_TRUE(reported().empty()) << "row 3 waits for rows 0 and 2";
    first.showProgress("Publishing (1/3): '/d/0.docx'");
    first.noteResultCode("/d/0.docx", 0);
    first.addResult("/d/0.docx", "OK", 1);
    EXPECT_EQ(reported(), (std::vector<std::string> { "/d/0.docx" })) << "row 1 has not come yet";
    second.showSummary("Publishing Result: Total=2   Scucceeded=0   Failed=2");
    EXPECT_EQ(reported(), (std::vector<std::string> { "/d/0.docx" }));
    EXPECT_FALSE(terminal->finished());
    first.addResult("/d/2.docx", "OK", 1);
    EXPECT_EQ(reported(), (std::vector<std::string> { "/d/0.docx", "/d/2.docx", "/d/3.docx" }));
    first.addResult("/d/4.docx", "SKIPPED", 0);
    first.showSummary("Publishing Result: Total=3   Scucceeded=2   Failed=1");
    EXPECT_TRUE(terminal->finished());
    EXPECT_EQ(terminal->succeeded(), 2);
    EXPECT_EQ(reported(), (std::vector<std::string> { "/d/0.docx", "/d/2.docx", "/d/3.docx", "/d/4.docx" }));

    std::istringstream lines(readFile(m_folder.file("report.jsonl")));
    std::vector<QJsonObject> objects;
    for (std::string line; std::getline(lines, line);)
        objects.push_back(QJsonDocument::fromJson(QByteArray::fromStdString(line)).object());
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_EQ(objects[0].value("output").toString(), "/d/0.docx.pdf");
    EXPECT_EQ(objects[2].value("code").toInt(), 601);
    EXPECT_TRUE(objects[1].value("code").isNull()) << "a row without a noted code has none";
    EXPECT_TRUE(objects[3].value("output").isNull());
}

// Catches a run whose session stopped early (a cancel) or lost its notifier leaving the summary
// out, and numbers of one session shown as the run's.
TEST_F(PublishTerminalTest, SummaryFollowsTheEndOfTheRunWhateverTheSessionsSaid)
{
    auto terminal = std::make_shared<PublishTerminal>(
        std::vector<std::string> { "/d/0.docx", "/d/1.docx", "/d/2.docx" }, 2, &m_report);
    TerminalNotifier first(terminal, { 0, 2 }, ID_PUBLISH_AS_PDF);
    first.addResult("/d/0.docx", "OK", 1);
    first.showSummary("Publishing Result: Total=2   Scucceeded=1   Failed=1");
    EXPECT_FALSE(terminal->finished());
    terminal->runEnded();
    EXPECT_TRUE(terminal->finished());
    EXPECT_EQ(reported(), (std::vector<std::string> { "/d/0.docx" }));

    EXPECT_EQ(PublishTerminal::renumbered("Publishing (2/3): '/d/a (1/2): b.docx'", 7, 12),
        "Publishing (7/12): '/d/a (1/2): b.docx'");
    EXPECT_EQ(PublishTerminal::renumbered("Something else", 7, 12), "Something else");
}
