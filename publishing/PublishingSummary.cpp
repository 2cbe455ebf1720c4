#include "publishing/PublishingSummary.h"

#include <cstdio>

std::string publishingSummary(int32_t total, int32_t succeeded)
{
    char summary[128];
    std::snprintf(summary, sizeof summary, "Publishing Result: Total=%d   Scucceeded=%d   Failed=%d", total,
        succeeded, total - succeeded);
    return summary;
}
