// What the terminal makes of the rows of a job whose sessions finish their documents in any order.
#include "cli/PublishTerminal.h"
#include "cli/DocumentSet.h"
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

class PublishTerminalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(m_report.open(m_folder.file("report.jsonl"), m_documents, std::nullopt, error)) << error;
    }

    TemporaryFolder m_folder;
    DocumentSet m_documents;
    ResultReport m_report;
};

}

// Catches a code or a time given to the wrong row when several sessions have documents in hand
// (the job tells a code as soon as it is known, the row only after the rows before it), and a
// summary printed twice or not at all.
TEST_F(PublishTerminalTest, RowsCarryTheirOwnCodesAndTheSummaryComesOnce)
{
    const std::vector<std::string> paths = { "/d/0.docx", "/d/1.xps", "/d/2.docx" };
    auto terminal = std::make_shared<PublishTerminal>(paths, &m_report);
    TerminalNotifier notifier(terminal, ID_PUBLISH_AS_PDF);

    notifier.showProgress("Publishing (1/3): '/d/0.docx'");
    notifier.showProgress("Publishing (2/3): '/d/1.xps'");
    notifier.showProgress("Publishing (3/3): '/d/2.docx'");
    notifier.noteResultCode("/d/2.docx", 601);
    notifier.noteResultCode("/d/0.docx", 0);
    notifier.addResult("/d/0.docx", "OK", 1);
    notifier.addResult("/d/2.docx", "NG", 0);
    notifier.showSummary("Publishing Result: Total=3   Scucceeded=1   Failed=2");
    terminal->runEnded();
    EXPECT_TRUE(terminal->finished());
    EXPECT_EQ(terminal->succeeded(), 1);

    std::istringstream lines(readFile(m_folder.file("report.jsonl")));
    std::vector<QJsonObject> objects;
    for (std::string line; std::getline(lines, line);)
        objects.push_back(QJsonDocument::fromJson(QByteArray::fromStdString(line)).object());
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0].value("path").toString(), "/d/0.docx");
    EXPECT_EQ(objects[0].value("code").toInt(), 0);
    EXPECT_EQ(objects[0].value("output").toString(), "/d/0.docx.pdf");
    EXPECT_EQ(objects[1].value("code").toInt(), 601);
    EXPECT_TRUE(objects[1].value("output").isNull());
    EXPECT_GE(objects[1].value("seconds").toDouble(), 0.0);
}
