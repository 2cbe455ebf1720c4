#include "foundation/Profile.h"

#include "platform/ProgramName.h"

#include <climits>
#include <cstdio>

namespace {

// Key paths, like the registry's, are at most 1023 characters.
constexpr size_t keyPathSize = 1024;
constexpr size_t geometrySize = 128;
const char* const windowsSubkey = "Windows";
const char* const geometryValue = "Geometry";

std::string formatPath(const char* format, const char* first, const char* second = "")
{
    char buffer[keyPathSize];
    std::snprintf(buffer, sizeof(buffer), format, first, second);
    return buffer;
}

}

Profile::Profile(const char* name)
{
    std::string programName = name ? std::string(name) : platform::programName();
    m_keyPath = formatPath("Software\\Tarnwick\\Application\\%s", programName.c_str());
    ensureKey(m_keyPath.c_str());
}

bool Profile::readGeometry(int32_t& x, int32_t& y, int32_t& width, int32_t& height) const
{
    x = y = width = height = INT32_MIN;
    std::string path = formatPath("%s\\%s", m_keyPath.c_str(), windowsSubkey);
    char text[geometrySize];
    if (!getStringBuffer(path.c_str(), geometryValue, text, sizeof(text)))
        return false;
    // Numbers after the first one that does not parse keep the marker, as sscanf leaves them.
    int values[4] = { INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN };
    std::sscanf(text, "%d %d %d %d", &values[0], &values[1], &values[2], &values[3]);
    x = values[0];
    y = values[1];
    width = values[2];
    height = values[3];
    return true;
}

bool Profile::writeGeometry(const Rectangle& rectangle) const
{
    char text[geometrySize];
    // The difference of two edges can leave the 32-bit range; it wraps as the window system's does.
    auto span = [](int32_t from, int32_t to) { return static_cast<int32_t>(int64_t(to) - int64_t(from)); };
    std::snprintf(text, sizeof(text), "%d %d %d %d", rectangle.left, rectangle.top,
        span(rectangle.left, rectangle.right), span(rectangle.top, rectangle.bottom));
    return setValue(windowsSubkey, geometryValue, text);
}

bool Profile::setValue(const char* subkey, const char* valueName, const char* text) const
{
    std::string path = formatPath("%s\\%s", m_keyPath.c_str(), subkey ? subkey : "");
    return setString(path.c_str(), valueName, text);
}
