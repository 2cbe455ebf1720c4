#pragma once

#include "bench/TimestampNotifier.h"

#include <cstdio>
#include <optional>
#include <vector>

class StepClock;

// The table of where a job's time per document goes: each office call and each of Pressling's own
// steps with its median, its mean and its share of the mean time of a document, and then what the
// documents take in all, what passes between them and what no step accounts for.
class BreakdownReport {
public:
    BreakdownReport(
        const StepClock& officeCalls, const StepClock& ownSteps, const TimestampNotifier::Record& record);

    // batchPerDocument: what the office's own batch conversion took per document, when measured.
    void print(std::FILE* out, std::optional<double> batchPerDocument) const;

    // Milliseconds from each document's progress line to its result row.
    std::vector<double> documentTimes() const;
    // Milliseconds from each result row to the next progress line.
    std::vector<double> pausesBetween() const;
    // Per document, the sum of the given steps.
    static std::vector<double> sumOf(const StepClock& clock, const std::vector<const char*>& steps);

    static const std::vector<const char*>& officeSteps();
    static const std::vector<const char*>& ownSteps();

private:
    void printSteps(std::FILE* out, const StepClock& clock, const std::vector<const char*>& steps,
        double meanTotal) const;
    void printOnce(std::FILE* out) const;

    const StepClock& m_officeCalls;
    const StepClock& m_ownSteps;
    const TimestampNotifier::Record& m_record;
};
