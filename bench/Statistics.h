#pragma once

#include <vector>

// The figures that the breakdown prints of a list of values; 0 for an empty list.
namespace statistics {

// The middle value, or the mean of the two middle ones for an even count.
double median(std::vector<double> values);
double mean(const std::vector<double>& values);
// first[i] + second[i] for every i of the shorter list.
std::vector<double> addUp(const std::vector<double>& first, const std::vector<double>& second);

}
