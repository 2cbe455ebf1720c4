#pragma once

#include <string>

// One open office application as the check window lists it; UTF-8 text.
struct OfficeApplicationRow {
    std::string title;
    std::string account;
    std::string domain;
    // What OfficeApplicationIcon::lookUp found for the application's window class.
    std::string icon;
};
