#pragma once

// What the exception being handled says about itself, for a log line: the result code and text of
// an office failure, the code and message of the library's Exception, the text of a standard
// exception, or that it is of a kind nobody knows. Made inside a catch handler only; it
// allocates nothing, so that describing one failure cannot raise another.
class CurrentExceptionText {
public:
    CurrentExceptionText() noexcept;

    const char* get() const { return m_text; }

private:
    char m_text[2200] = "";
};
