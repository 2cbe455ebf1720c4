#pragma once

#include <string>

// The built pressling-cli: under PRESSLING_BINARY_DIR, or else found from the test's own place
// in the build folder (tests/cli/test_cli), so that running a test by hand works too.
std::string cliPath();
