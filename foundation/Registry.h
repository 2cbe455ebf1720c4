#pragma once

#include "foundation/Object.h"

#include <cstddef>
#include <cstdint>

class String;

// One-call access to a value below one of the three registry roots: each operation opens the
// subkey, reads or writes one value and closes it again. Failures are only ever a false result;
// the caller keeps its default. A value name that is empty addresses the key's default value.
class Registry : public Object {
public:
    enum class Root { CurrentUser, LocalMachine, ClassesRoot };

    explicit Registry(Root root) : m_root(root) { }

    Root getRoot() const { return m_root; }

    bool getString(const char* subkey, const char* valueName, String& out) const;
    bool getInteger(const char* subkey, const char* valueName, int32_t& out) const;
    bool getStringBuffer(const char* subkey, const char* valueName, char* buffer, size_t size) const;
    bool getStringAsInteger(const char* subkey, const char* valueName, int32_t& out) const;
    bool setString(const char* subkey, const char* valueName, const char* text) const;
    bool setInteger(const char* subkey, const char* valueName, uint32_t value) const;
    bool ensureKey(const char* subkey) const;

private:
    Root m_root;
};
