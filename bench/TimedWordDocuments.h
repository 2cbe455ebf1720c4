#pragma once

#include "office/WordDocuments.h"

#include <memory>

class StepClock;

// Word's Documents collection with its calls timed; the documents it opens are timed in turn.
class TimedWordDocuments : public office::WordDocuments {
public:
    TimedWordDocuments(std::shared_ptr<office::WordDocuments> real, std::shared_ptr<StepClock> clock);

    std::shared_ptr<office::WordDocument> open(const std::string& fileName,
        std::optional<bool> confirmConversions, std::optional<bool> readOnly,
        std::optional<bool> addToRecentFiles) override;
    int32_t count() override;

private:
    std::shared_ptr<office::WordDocuments> m_real;
    std::shared_ptr<StepClock> m_clock;
};
