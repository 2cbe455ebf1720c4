#pragma once

#include "foundation/CurrentUserRegistry.h"

#include <cstdint>

class String;

// The program's settings key of the current user. Nothing is cached: each accessor reads the
// value afresh, so a value changed from outside takes effect at the next read. Every accessor
// falls back to its default for a missing, empty or unreadable value.
class VaultrixRegistry : public CurrentUserRegistry {
public:
    static constexpr const char* keyPath = "SOFTWARE\\Tarnwick\\Application\\Pressling\\Config";

    // Creates the key when missing, so that a first start leaves an empty key to fill in.
    VaultrixRegistry();

    // The Office macro security level, 1 to 3; 3 when absent or out of range.
    int32_t getMacroSecurityLevel() const;
    bool getInitialFolder(String& out) const;
    bool setInitialFolder(const char* text) const;
    // Whether an office runs in a sandbox: 1 required, 0 never, anything else (missing) when the
    // system allows it.
    enum class SandboxSetting { WhenPossible, Required, Off };
    SandboxSetting getSandboxSetting() const;
    // The part of PDF/A that published PDFs follow: 1 to 3 (PDF/A-1b, -2b, -3b), 0 for plain PDF
    // when missing or out of range.
    int32_t getPdfArchive() const;
    // How many office sessions a job of the desktop program runs side by side; 0 (also when
    // absent or negative): as many as the machine allows.
    uint32_t getSessions() const;
    // 2 when absent.
    int32_t getFilesDisplayFormat() const;
    // The configured folder, or HOME/sfc, which is created when missing.
    bool getWorkingFolder(String& out) const;
};
