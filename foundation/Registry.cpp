#include "foundation/Registry.h"

#include "foundation/String.h"
#include "foundation/Trim.h"
#include "platform/DesktopClassesRoot.h"
#include "platform/RegistryStore.h"

#include <charconv>
#include <climits>
#include <cstring>
#include <optional>

namespace {

// What a registry read can hold in one buffer: larger values read as absent.
constexpr size_t stringBufferSize = 1024;

platform::RegistryRoot storeRoot(Registry::Root root)
{
    switch (root) {
    case Registry::Root::CurrentUser:
        return platform::RegistryRoot::CurrentUser;
    case Registry::Root::LocalMachine:
        return platform::RegistryRoot::LocalMachine;
    case Registry::Root::ClassesRoot:
        return platform::RegistryRoot::ClassesRoot;
    }
    return platform::RegistryRoot::CurrentUser;
}

// A null subkey is the root key itself and a null value name the default value, as in the registry.
std::string textOf(const char* text)
{
    return text ? text : "";
}

// Below HKEY_CLASSES_ROOT the desktop answers for what classes.reg does not hold, so that files
// open with the programs the user chose there; an entry of the file always wins.
std::optional<platform::RegistryValue> query(Registry::Root root, const char* subkey, const char* valueName)
{
    try {
        std::optional<platform::RegistryValue> value
            = platform::RegistryStore(storeRoot(root)).readValue(textOf(subkey), textOf(valueName));
        if (!value && root == Registry::Root::ClassesRoot)
            value = platform::readDesktopClassesRoot(textOf(subkey), textOf(valueName));
        return value;
    } catch (...) {
        return std::nullopt;
    }
}

// The value's bytes as text in a buffer of size bytes, the terminator included; nothing when they
// do not fit.
std::optional<std::string> queryText(
    Registry::Root root, const char* subkey, const char* valueName, size_t size)
{
    std::optional<platform::RegistryValue> value = query(root, subkey, valueName);
    if (!value || value->data.size() > size)
        return std::nullopt;
    std::string text = value->asText();
    // A value stored without its terminator that fills the buffer has no room left for one.
    if (text.size() >= size)
        return std::nullopt;
    return text;
}

int32_t leadingDecimal(const char* text)
{
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    int64_t number = 0;
    // Only digits may follow the sign; from_chars would take a second sign.
    if (*text >= '0' && *text <= '9') {
        auto [end, failure] = std::from_chars(text, text + std::strlen(text), number);
        // Digits beyond the 32-bit range stop at its edge rather than wrapping round.
        if (failure == std::errc::result_out_of_range || number > int64_t(INT32_MAX) + 1)
            number = int64_t(INT32_MAX) + 1;
    }
    if (negative)
        number = -number;
    if (number > INT32_MAX)
        number = INT32_MAX;
    return static_cast<int32_t>(number);
}

}

bool Registry::getString(const char* subkey, const char* valueName, String& out) const
{
    try {
        std::optional<std::string> text = queryText(m_root, subkey, valueName, stringBufferSize);
        if (!text)
            return false;
        std::unique_ptr<char[]> trimmed = trim(text->c_str());
        if (!trimmed || trimmed[0] == '\0')
            return false;
        out.assign(trimmed.get());
        return true;
    } catch (...) {
        return false;
    }
}

// The value's bytes go straight into the caller's variable, least significant first, whatever its
// type; a value larger than four bytes does not fit and fails, as a query with a buffer of four
// bytes does. A shorter value replaces only as many low bytes as it has.
bool Registry::getInteger(const char* subkey, const char* valueName, int32_t& out) const
{
    std::optional<platform::RegistryValue> value = query(m_root, subkey, valueName);
    if (!value || value->data.size() > sizeof(out))
        return false;
    uint32_t number = static_cast<uint32_t>(out);
    for (size_t i = 0; i < value->data.size(); ++i) {
        number &= ~(uint32_t(0xff) << (8 * i));
        number |= uint32_t(value->data[i]) << (8 * i);
    }
    out = static_cast<int32_t>(number);
    return true;
}

bool Registry::getStringBuffer(const char* subkey, const char* valueName, char* buffer, size_t size) const
{
    if (!buffer || size == 0)
        return false;
    try {
        std::optional<std::string> text = queryText(m_root, subkey, valueName, size);
        if (!text)
            return false;
        std::memcpy(buffer, text->c_str(), text->size() + 1);
        return true;
    } catch (...) {
        return false;
    }
}

bool Registry::getStringAsInteger(const char* subkey, const char* valueName, int32_t& out) const
{
    String text;
    if (!getString(subkey, valueName, text))
        return false;
    out = leadingDecimal(text.getText());
    return true;
}

bool Registry::setString(const char* subkey, const char* valueName, const char* text) const
{
    if (!text)
        return false;
    try {
        return platform::RegistryStore(storeRoot(m_root))
            .writeValue(textOf(subkey), platform::RegistryValue::text(textOf(valueName), text));
    } catch (...) {
        return false;
    }
}

bool Registry::setInteger(const char* subkey, const char* valueName, uint32_t value) const
{
    try {
        return platform::RegistryStore(storeRoot(m_root))
            .writeValue(textOf(subkey), platform::RegistryValue::dword(textOf(valueName), value));
    } catch (...) {
        return false;
    }
}

bool Registry::ensureKey(const char* subkey) const
{
    try {
        platform::RegistryStore store(storeRoot(m_root));
        return store.keyExists(textOf(subkey)) || store.createKey(textOf(subkey));
    } catch (...) {
        return false;
    }
}
