#pragma once

#include "office/WordDocument.h"

#include <memory>

class StepClock;

// One open Word document whose every call is timed: the store and the close of each document, and
// the read-only check that comes between its load and its store.
class TimedWordDocument : public office::WordDocument {
public:
    TimedWordDocument(std::shared_ptr<office::WordDocument> real, std::shared_ptr<StepClock> clock);

    bool readOnlyRecommended() override;
    office::HResult saveAs(const std::string& fileName, std::optional<int32_t> fileFormat) override;
    office::HResult close(std::optional<int32_t> saveChanges, std::optional<int32_t> originalFormat,
        std::optional<bool> routeDocument) override;

private:
    std::shared_ptr<office::WordDocument> m_real;
    std::shared_ptr<StepClock> m_clock;
};
