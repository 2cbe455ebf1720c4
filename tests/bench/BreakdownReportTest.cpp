#include "bench/BreakdownReport.h"
#include "bench/StepClock.h"
#include "bench/StepNames.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>

using std::chrono::milliseconds;

namespace {

// Two documents of 100 and 140 ms with 12 ms between them.
TimestampNotifier::Record twoDocuments()
{
    TimestampNotifier::Record record;
    auto start = TimestampNotifier::Clock::now();
    record.progress = { start, start + milliseconds(112) };
    record.results = { start + milliseconds(100), start + milliseconds(252) };
    return record;
}

void addDocument(StepClock& clock, const char* step, int elapsed, const char* second, int secondElapsed)
{
    clock.beginDocument();
    clock.add(step, milliseconds(elapsed));
    clock.add(second, milliseconds(secondElapsed));
    clock.endDocument();
}

std::string printed(const BreakdownReport& report, std::optional<double> batch)
{
    char* text = nullptr;
    size_t length = 0;
    std::FILE* out = open_memstream(&text, &length);
    report.print(out, batch);
    std::fclose(out);
    std::string result(text, length);
    std::free(text);
    return result;
}

// The numbers printed after label on its line; empty when the label is not there. The test runs in
// the C locale, where the report writes a decimal point; they are read without regard to the
// locale, so that nothing else the test links can change how they are read.
std::vector<double> figuresAfter(const std::string& text, const std::string& label)
{
    std::vector<double> figures;
    size_t found = text.find(label);
    if (found == std::string::npos)
        return figures;
    const char* cursor = text.c_str() + found + label.size();
    const char* const last = text.c_str() + text.size();
    for (;;) {
        while (cursor != last && (*cursor == ' ' || *cursor == '\t'))
            ++cursor;
        double value = 0;
        auto [end, failure] = std::from_chars(cursor, last, value);
        if (failure != std::errc())
            return figures;
        figures.push_back(value);
        cursor = end != last && *end == '%' ? end + 1 : end;
        if (cursor == last || *cursor == '\n')
            return figures;
    }
}

}

TEST(BreakdownReport, TakesEachDocumentFromItsProgressLineToItsRow)
{
    TimestampNotifier::Record record = twoDocuments();
    StepClock none;
    BreakdownReport report(none, none, record);
    EXPECT_EQ(report.documentTimes(), (std::vector<double> { 100, 140 }));
    EXPECT_EQ(report.pausesBetween(), (std::vector<double> { 12 }));
}

// The sums add up only the steps asked for, document by document; what no step accounts for is
// the median total less the medians of both sums.
TEST(BreakdownReport, SumsTheStepsAndPrintsWhatIsLeftOver)
{
    TimestampNotifier::Record record = twoDocuments();
    StepClock office;
    addDocument(office, stepName::load, 50, stepName::store, 20);
    addDocument(office, stepName::load, 70, stepName::store, 30);
    office.add(stepName::officeStart, milliseconds(400));
    StepClock own;
    addDocument(own, stepName::backupCopy, 4, "not a step of protect", 1000);
    addDocument(own, stepName::backupCopy, 6, "not a step of protect", 1000);

    EXPECT_EQ(
        BreakdownReport::sumOf(office, BreakdownReport::officeSteps()), (std::vector<double> { 70, 100 }));
    EXPECT_EQ(BreakdownReport::sumOf(own, BreakdownReport::ownSteps()), (std::vector<double> { 4, 6 }));

    std::string text = printed(BreakdownReport(office, own, record), 33.5);
    // Median total 120, medians of the sums 85 and 5.
    EXPECT_EQ(figuresAfter(text, "left over (median total - medians of sums)"), (std::vector<double> { 30 }))
        << text;
    EXPECT_EQ(
        figuresAfter(text, "batch conversion per further document, to 100"), (std::vector<double> { 33.5 }));
    EXPECT_EQ(figuresAfter(text, "office start"), (std::vector<double> { 400 }));
    // load: median 60, mean 60, half of the mean document of 120 ms.
    EXPECT_EQ(figuresAfter(text, "  load"), (std::vector<double> { 60, 60, 50 }));
    EXPECT_EQ(figuresAfter(text, "sum of office calls"), (std::vector<double> { 85, 85, 70.8 }));
    EXPECT_NE(
        printed(BreakdownReport(office, own, record), std::nullopt).find("not measured"), std::string::npos);
}
