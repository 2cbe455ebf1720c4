#include "bench/TimedWordDocuments.h"

#include "bench/StepClock.h"
#include "bench/StepNames.h"
#include "bench/TimedWordDocument.h"

TimedWordDocuments::TimedWordDocuments(
    std::shared_ptr<office::WordDocuments> real, std::shared_ptr<StepClock> clock)
    : m_real(std::move(real))
    , m_clock(std::move(clock))
{
}

std::shared_ptr<office::WordDocument> TimedWordDocuments::open(const std::string& fileName,
    std::optional<bool> confirmConversions, std::optional<bool> readOnly,
    std::optional<bool> addToRecentFiles)
{
    std::shared_ptr<office::WordDocument> document = m_clock->time(stepName::load,
        [&] { return m_real->open(fileName, confirmConversions, readOnly, addToRecentFiles); });
    // No document is what Word gives back for a failed open, and the publisher tests for it.
    if (!document)
        return nullptr;
    return std::make_shared<TimedWordDocument>(std::move(document), m_clock);
}

int32_t TimedWordDocuments::count()
{
    return m_clock->time(stepName::documents, [&] { return m_real->count(); });
}
