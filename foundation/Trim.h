#pragma once

#include <memory>

// A copy of text without leading and trailing blanks, tabs, carriage returns and line feeds;
// null for null.
std::unique_ptr<char[]> trim(const char* text);
