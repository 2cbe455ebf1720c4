#include "foundation/Log.h"

#include "foundation/LogConfiguration.h"
#include "platform/LocalTime.h"
#include "platform/LogViewerSocket.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>

namespace {

constexpr int MessageBufferSize = 30720;
constexpr int MaxMessageLength = 30718;
// Room for the time stamp, the tag and the blanks around them besides the message.
constexpr int LineBufferSize = MessageBufferSize + 64;

enum Threshold : int32_t { ErrorLevel = 1, DebugLevel = 2, TraceLevel = 3 };

// Serialises the appends to the viewer, so that a message and its line end from one thread are
// not split by another thread's message in between.
std::mutex logLock;

void echo(const char* text, size_t length)
{
    std::lock_guard<std::mutex> guard(logLock);
    platform::LogViewerSocket::append(text, length);
    platform::LogViewerSocket::append("\r\n", 2);
}

void writeLine(const char* tag, const char* format, va_list arguments)
{
    const LogConfiguration& configuration = LogConfiguration::get();
    std::unique_ptr<char[]> message(new (std::nothrow) char[MessageBufferSize]);
    if (!message)
        return;
    if (vsnprintf(message.get(), MaxMessageLength + 1, format ? format : "", arguments) < 0)
        message[0] = '\0';
    std::unique_ptr<char[]> line(new (std::nothrow) char[LineBufferSize]);
    if (!line)
        return;

    // The file is opened and closed on every call, so no handle is shared between threads and
    // every line is on disk when the call returns.
    FILE* file = fopen(configuration.getLogFilePath(), "a+");
    if (!file)
        return;
    // The calendar form's line feed is replaced by a blank, hence two blanks before the tag.
    std::string timeStamp = platform::localCalendarTime() + " ";
    int length = snprintf(line.get(), LineBufferSize, "%s %s %s\n", timeStamp.c_str(), tag, message.get());
    // Unbuffered, the whole line goes to the file in one write, where a buffered stream would
    // write a long one in pieces: a line that another thread or process appends at the same
    // moment then lands before or after this one, never inside it.
    setvbuf(file, nullptr, _IONBF, 0);
    if (length > 0)
        fwrite(
            line.get(), 1, static_cast<size_t>(length < LineBufferSize ? length : LineBufferSize - 1), file);
    if (configuration.getConsole() > 0)
        echo(message.get(), strlen(message.get()));
    fclose(file);
}

}

void logError(const char* format, ...)
{
    if (LogConfiguration::get().getLevel() < ErrorLevel)
        return;
    va_list arguments;
    va_start(arguments, format);
    writeLine("Error:", format, arguments);
    va_end(arguments);
}

void logDebug(const char* format, ...)
{
    if (LogConfiguration::get().getLevel() < DebugLevel)
        return;
    va_list arguments;
    va_start(arguments, format);
    writeLine("Debug:", format, arguments);
    va_end(arguments);
}

void logTrace(const char* format, ...)
{
    if (LogConfiguration::get().getLevel() < TraceLevel)
        return;
    va_list arguments;
    va_start(arguments, format);
    writeLine("Trace:", format, arguments);
    va_end(arguments);
}
