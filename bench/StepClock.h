#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

// Wall time spent in named steps, kept per document so that medians can be taken: every step has
// one entry per document, also when the document never reached it (0 then), and what is timed
// while no document is open (starting the office, quitting it) is kept apart. Used on one thread
// at a time: the job's thread while it runs, the main thread once it has ended.
class StepClock {
public:
    using Clock = std::chrono::steady_clock;

    // Time from now on counts for a new document, until endDocument.
    void beginDocument();
    void endDocument();

    // Adds elapsed to step, for the open document or, when none is open, to the time outside
    // documents.
    void add(const std::string& step, Clock::duration elapsed);

    // Runs call and adds its wall time to step, also when it throws.
    template <typename Call> decltype(auto) time(const std::string& step, Call&& call)
    {
        Timing timing(*this, step);
        return call();
    }

    // The steps in the order in which they were first timed.
    const std::vector<std::string>& steps() const { return m_order; }
    // Milliseconds per document, one entry for each document begun.
    std::vector<double> perDocument(const std::string& step) const;
    // Milliseconds spent in step while no document was open.
    double outsideDocuments(const std::string& step) const;
    size_t documentCount() const { return m_documents; }

private:
    // Adds the time of its own life to a step: the measure of one call, whichever way it leaves.
    class Timing {
    public:
        Timing(StepClock& clock, const std::string& step);
        Timing(const Timing&) = delete;
        Timing& operator=(const Timing&) = delete;
        ~Timing();

    private:
        StepClock& m_clock;
        std::string m_step;
        Clock::time_point m_start;
    };

    struct Step {
        std::vector<double> perDocument;
        double outside = 0;
    };

    Step& step(const std::string& name);

    std::map<std::string, Step> m_steps;
    std::vector<std::string> m_order;
    size_t m_documents = 0;
    bool m_open = false;
};
