#include "bench/TimedWordDocument.h"

#include "bench/StepClock.h"
#include "bench/StepNames.h"

TimedWordDocument::TimedWordDocument(
    std::shared_ptr<office::WordDocument> real, std::shared_ptr<StepClock> clock)
    : m_real(std::move(real))
    , m_clock(std::move(clock))
{
}

bool TimedWordDocument::readOnlyRecommended()
{
    return m_clock->time(stepName::readOnlyCheck, [&] { return m_real->readOnlyRecommended(); });
}

office::HResult TimedWordDocument::saveAs(const std::string& fileName, std::optional<int32_t> fileFormat)
{
    return m_clock->time(stepName::store, [&] { return m_real->saveAs(fileName, fileFormat); });
}

office::HResult TimedWordDocument::close(std::optional<int32_t> saveChanges,
    std::optional<int32_t> originalFormat, std::optional<bool> routeDocument)
{
    return m_clock->time(
        stepName::close, [&] { return m_real->close(saveChanges, originalFormat, routeDocument); });
}
