#pragma once

// The three log calls of every subsystem. Logging is off until a level is set under the
// program's "Log" key; no call ever throws or shows anything.
void logError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logDebug(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
