#include "bench/StepClock.h"

namespace {

double milliseconds(StepClock::Clock::duration elapsed)
{
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

}

StepClock::Timing::Timing(StepClock& clock, const std::string& step)
    : m_clock(clock)
    , m_step(step)
    , m_start(Clock::now())
{
}

StepClock::Timing::~Timing()
{
    m_clock.add(m_step, Clock::now() - m_start);
}

void StepClock::beginDocument()
{
    ++m_documents;
    m_open = true;
    for (auto& [name, step] : m_steps)
        step.perDocument.resize(m_documents, 0.0);
}

void StepClock::endDocument()
{
    m_open = false;
}

StepClock::Step& StepClock::step(const std::string& name)
{
    auto [found, added] = m_steps.try_emplace(name);
    if (added) {
        m_order.push_back(name);
        found->second.perDocument.resize(m_documents, 0.0);
    }
    return found->second;
}

void StepClock::add(const std::string& name, Clock::duration elapsed)
{
    Step& timed = step(name);
    if (m_open)
        timed.perDocument.back() += milliseconds(elapsed);
    else
        timed.outside += milliseconds(elapsed);
}

std::vector<double> StepClock::perDocument(const std::string& name) const
{
    auto found = m_steps.find(name);
    return found == m_steps.end() ? std::vector<double>(m_documents, 0.0) : found->second.perDocument;
}

double StepClock::outsideDocuments(const std::string& name) const
{
    auto found = m_steps.find(name);
    return found == m_steps.end() ? 0.0 : found->second.outside;
}
