#pragma once

#include <cstdint>

// How a document is protected, as the file list keeps it for each row.
using ProtectionKind = int32_t;

inline constexpr ProtectionKind PROTECTION_NONE = 0;
inline constexpr ProtectionKind PROTECTION_IRM = 1;
inline constexpr ProtectionKind PROTECTION_PASSWORD = 2;
