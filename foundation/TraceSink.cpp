#include "foundation/TraceSink.h"

#include <cstdarg>
#include <string>
#include <utility>

TraceSink::TraceSink(Write write)
    : m_write(std::move(write))
{
}

TraceSink TraceSink::writingTo(std::FILE* stream)
{
    return TraceSink([stream](std::string_view line) {
        std::fwrite(line.data(), 1, line.size(), stream);
        std::fflush(stream);
    });
}

void TraceSink::line(const char* format, ...) const
{
    if (!m_write)
        return;
    va_list arguments;
    va_start(arguments, format);
    va_list measuring;
    va_copy(measuring, arguments);
    int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (length > 0) {
        std::string text(static_cast<size_t>(length), '\0');
        std::vsnprintf(text.data(), text.size() + 1, format, arguments);
        m_write(text);
    }
    va_end(arguments);
}
