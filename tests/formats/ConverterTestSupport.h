#pragma once

#include "tests/support/ReadFile.h"
#include <string>
#include <vector>

// Helpers for the tests of the writers that turn LibreOffice exports into other formats: they
// produce real exports, run real readers and compare what those readers render.
namespace convertertest {

std::string corpusDocument(const std::string& relativePath);
using ::readFile;
// Runs soffice --convert-to with a profile of its own under profileFolder; returns the path of
// the exported file, or an empty string (with the reason in error).
std::string exportWithLibreOffice(const std::string& document, const std::string& filter,
    const std::string& outputFolder, const std::string& profileFolder, std::string& error);
// The same for several documents in one run of soffice; empty when any export is missing.
std::vector<std::string> exportAllWithLibreOffice(const std::vector<std::string>& documents,
    const std::string& filter, const std::string& outputFolder, const std::string& profileFolder,
    std::string& error);
// Renders url in headless Chromium into a PNG screenshot; false on failure.
bool chromiumScreenshot(const std::string& url, const std::string& png, const std::string& profileFolder);
// The DOM headless Chromium builds for url.
std::string chromiumDom(const std::string& url, const std::string& profileFolder);
// Pixels of a PNG that are clearly not white.
long inkedPixels(const std::string& png);
// The mean absolute difference per channel (0..255) of two renders, the smaller one compared
// against the top-left part of the other; -1 when either cannot be read or they differ in size
// by more than tolerance pixels in a dimension.
double meanDifference(const std::string& pngA, const std::string& pngB, int tolerance = 2);
// How much of the ink of two renders lies in the same places: the page is cut into blocks of
// 8 x 8 pixels, a block holding a clearly dark pixel is inked, and the result is the share of
// inked blocks that are inked in both (1 when neither has ink). Unlike a pixel difference it
// does not punish one renderer for drawing hairlines lighter than another.
double inkOverlap(const std::string& pngA, const std::string& pngB);

}
