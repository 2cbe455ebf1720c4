#include "bench/Statistics.h"

#include <algorithm>
#include <numeric>

namespace statistics {

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    const size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<long>(middle), values.end());
    const double upper = values[middle];
    if (values.size() % 2 == 1)
        return upper;
    const double lower = *std::max_element(values.begin(), values.begin() + static_cast<long>(middle));
    return (lower + upper) / 2;
}

double mean(const std::vector<double>& values)
{
    if (values.empty())
        return 0;
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

std::vector<double> addUp(const std::vector<double>& first, const std::vector<double>& second)
{
    std::vector<double> sums(std::min(first.size(), second.size()));
    for (size_t i = 0; i < sums.size(); ++i)
        sums[i] = first[i] + second[i];
    return sums;
}

}
