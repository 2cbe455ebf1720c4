#pragma once

// The names under which the breakdown keeps its steps: the office calls that the timing
// decorators see, and Pressling's own steps of publishing one document.
namespace stepName {
inline constexpr const char* officeStart = "office start";
inline constexpr const char* load = "load";
inline constexpr const char* macroSecurity = "macro security";
inline constexpr const char* alertsAndVisibility = "alerts and visibility";
inline constexpr const char* documents = "documents()";
inline constexpr const char* readOnlyCheck = "read-only check";
inline constexpr const char* store = "store";
inline constexpr const char* close = "close";
inline constexpr const char* quit = "quit";
inline constexpr const char* officeEnd = "office end";

inline constexpr const char* leftoverSweep = "leftover sweep";
inline constexpr const char* checks = "checks";
inline constexpr const char* settingsRead = "settings read";
inline constexpr const char* backupCopy = "backup copy";
inline constexpr const char* makeWritable = "make writable / mode back";
inline constexpr const char* backupRemoval = "backup removal";
}
