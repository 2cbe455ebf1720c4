// Tables exported under a workbook's name, published by pressling-cli for a German user: the
// office reads numbers through a locale whose decimal separator is a comma.
#include "EndToEndSupport.h"
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>

using platform::ChildProcess;
using namespace std::chrono_literals;

// Catches numbers read through the wrong locale (1234.5 shown as 1234,5, 1234,5 as 12345), an
// ISO date turned German, and noise published instead of refused.
TEST(PublishTablesUnderACommaLocale, NumbersArePublishedAsWritten)
{
    TestRegistry registry;
    TemporaryFolder folder;
    const std::string comma
        = folder.write("export.xls", "Name,Amount,Date\r\n\"Smith, J\",1234.5,2024-01-31\r\n");
    const std::string semicolon = folder.write("bericht.xls", "Name;Betrag\r\nM\xFCller;1234,5\r\n");
    const std::string page
        = folder.write("report.xls", "<table><tr><td>Jones</td><td>7.25</td></tr></table>");
    const std::string noise = folder.write("noise.xls", std::string("PK\x03\x04\0\0\x01\x02", 8));
    ChildProcess::Options options = cliOptions(registry.folder().path());
    options.environment.insert(
        options.environment.end(), { { "LC_ALL", "de_DE.UTF-8" }, { "LANG", "de_DE.UTF-8" } });
    auto result = ChildProcess::run(
        { PRESSLING_CLI_PATH, "publish", "--format", "text", comma, semicolon, page, noise }, 5min, options);
    EXPECT_EQ(textLines(result.standardOutput),
        (std::vector<std::string> { "OK\t" + comma, "OK\t" + semicolon, "OK\t" + page, "NG\t" + noise,
            "Publishing Result: Total=4   Scucceeded=3   Failed=1" }))
        << result.standardError;
    EXPECT_EQ(readFile(comma + ".txt"), "Name\tAmount\tDate\r\nSmith, J\t1234.5\t2024-01-31\r\n");
    EXPECT_EQ(readFile(semicolon + ".txt"), "Name\tBetrag\r\nM\xC3\xBCller\t1234,5\r\n");
    EXPECT_EQ(readFile(page + ".txt"), "Jones\t7.25\r\n");
}
