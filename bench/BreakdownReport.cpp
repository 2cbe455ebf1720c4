#include "bench/BreakdownReport.h"

#include "bench/Statistics.h"
#include "bench/StepClock.h"
#include "bench/StepNames.h"

namespace {

double milliseconds(TimestampNotifier::Clock::duration elapsed)
{
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

void printRow(std::FILE* out, const char* label, const std::vector<double>& values, double meanTotal)
{
    const double average = statistics::mean(values);
    std::fprintf(out, "  %-44s %9.2f %9.2f %7.1f%%\n", label, statistics::median(values), average,
        meanTotal > 0 ? 100.0 * average / meanTotal : 0.0);
}

void printFigure(std::FILE* out, const char* label, double value)
{
    std::fprintf(out, "  %-44s %9.2f\n", label, value);
}

}

BreakdownReport::BreakdownReport(
    const StepClock& officeCalls, const StepClock& ownSteps, const TimestampNotifier::Record& record)
    : m_officeCalls(officeCalls)
    , m_ownSteps(ownSteps)
    , m_record(record)
{
}

const std::vector<const char*>& BreakdownReport::officeSteps()
{
    static const std::vector<const char*> steps
        = { stepName::load, stepName::macroSecurity, stepName::alertsAndVisibility, stepName::documents,
              stepName::readOnlyCheck, stepName::store, stepName::close };
    return steps;
}

const std::vector<const char*>& BreakdownReport::ownSteps()
{
    static const std::vector<const char*> steps = { stepName::leftoverSweep, stepName::checks,
        stepName::settingsRead, stepName::backupCopy, stepName::makeWritable, stepName::backupRemoval };
    return steps;
}

std::vector<double> BreakdownReport::documentTimes() const
{
    std::vector<double> times;
    for (size_t i = 0; i < m_record.results.size() && i < m_record.progress.size(); ++i)
        times.push_back(milliseconds(m_record.results[i] - m_record.progress[i]));
    return times;
}

std::vector<double> BreakdownReport::pausesBetween() const
{
    std::vector<double> pauses;
    for (size_t i = 0; i < m_record.results.size() && i + 1 < m_record.progress.size(); ++i)
        pauses.push_back(milliseconds(m_record.progress[i + 1] - m_record.results[i]));
    return pauses;
}

std::vector<double> BreakdownReport::sumOf(const StepClock& clock, const std::vector<const char*>& steps)
{
    std::vector<double> sums(clock.documentCount(), 0.0);
    for (const char* step : steps)
        sums = statistics::addUp(sums, clock.perDocument(step));
    return sums;
}

void BreakdownReport::printSteps(
    std::FILE* out, const StepClock& clock, const std::vector<const char*>& steps, double meanTotal) const
{
    for (const char* step : steps)
        printRow(out, step, clock.perDocument(step), meanTotal);
}

void BreakdownReport::printOnce(std::FILE* out) const
{
    std::fprintf(out,
        "once per job (ms): office start %.0f, setting up Word %.1f, quit %.0f, office end %.0f\n",
        m_officeCalls.outsideDocuments(stepName::officeStart),
        m_officeCalls.outsideDocuments(stepName::alertsAndVisibility)
            + m_officeCalls.outsideDocuments(stepName::macroSecurity),
        m_officeCalls.outsideDocuments(stepName::quit), m_officeCalls.outsideDocuments(stepName::officeEnd));
}

void BreakdownReport::print(std::FILE* out, std::optional<double> batchPerDocument) const
{
    const std::vector<double> totals = documentTimes();
    const double meanTotal = statistics::mean(totals);
    const std::vector<double> office = sumOf(m_officeCalls, officeSteps());
    const std::vector<double> own = sumOf(m_ownSteps, ownSteps());
    std::fprintf(out, "  %-44s %9s %9s %8s\n", "ms per document", "median", "mean", "share");
    std::fprintf(out, "office calls (in the job):\n");
    printSteps(out, m_officeCalls, officeSteps(), meanTotal);
    std::fprintf(out, "Pressling's own steps (timed apart, on fresh copies in the same layout):\n");
    printSteps(out, m_ownSteps, ownSteps(), meanTotal);
    std::fprintf(out, "in all:\n");
    printRow(out, "per-document total (progress line to row)", totals, meanTotal);
    printRow(out, "between documents (row to next progress)", pausesBetween(), meanTotal);
    printRow(out, "sum of office calls", office, meanTotal);
    printRow(out, "sum of own steps", own, meanTotal);
    printFigure(out, "left over (median total - medians of sums)",
        statistics::median(totals) - (statistics::median(office) + statistics::median(own)));
    if (batchPerDocument)
        printFigure(out, "batch conversion per further document, to 100", *batchPerDocument);
    else
        std::fprintf(out,
            "  batch conversion per further document: not measured (100 needs a smaller size before it)\n");
    printOnce(out);
    std::fprintf(out,
        "note: the session reads the macro security level once per job and protect reads the Word\n"
        "version once per document; \"settings read\" times both for every document.\n");
}
