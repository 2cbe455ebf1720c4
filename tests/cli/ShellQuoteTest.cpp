#include "cli/ShellQuote.h"
#include "foundation/StringConverter.h"
#include "platform/ChildProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using platform::ChildProcess;

namespace {

// What a real bash prints for the word as it stands on its command line.
std::string readBackByBash(const std::string& word, const std::string& locale)
{
    ChildProcess::Options options;
    options.environment = { { "LC_ALL", locale } };
    auto result = ChildProcess::run({ "bash", "-c", "printf %s " + word }, std::chrono::seconds(30), options);
    EXPECT_TRUE(result.succeeded()) << word << ": " << result.standardError;
    return result.standardOutput;
}

bool holdsOnlyPrintableText(const std::string& text)
{
    for (unsigned char byte : text) {
        if (byte < 0x20 || byte == 0x7F)
            return false;
    }
    return StringConverter::isValidUtf8(text) && text.find("\xC2\x80") == std::string::npos
        && text.find("\xC2\x9B") == std::string::npos;
}

}

// Catches a name that a shell would read back as other bytes, a printed form that still holds a
// line end, a tab or an escape for the terminal, and plain names that are quoted needlessly.
TEST(ShellQuote, BashReadsTheQuotedFormBackAsTheOriginalBytes)
{
    const std::vector<std::string> needQuoting = {
        "/tmp/line\nbreak.docx",
        "tab\there.docx",
        "back\\slash and quote' with\nline end",
        "\x1b[31mred.docx", // an escape sequence
        "del\x7f.doc",
        "csi\xC2\x9B"
        "31m.doc", // a C1 control, valid UTF-8
        "latin1 caf\xE9.doc", // no UTF-8
        "cut short \xE2\x82",
        "\xFF\xFE",
        "Gr\xC3\xBC\xC3\x9F"
        "e\n\xE6\x97\xA5\xE6\x9C\xAC.docx", // UTF-8 kept as it is, beside a line end
        "carriage\rreturn",
        "hex digit after a byte \x01"
        "Ab",
        "\n",
    };
    for (const std::string& name : needQuoting) {
        std::string quoted = ShellQuote::printable(name);
        EXPECT_TRUE(ShellQuote::needsQuoting(name)) << name;
        EXPECT_EQ(quoted.substr(0, 2), "$'") << quoted;
        EXPECT_TRUE(holdsOnlyPrintableText(quoted)) << quoted;
        for (const char* locale : { "C", "C.UTF-8" })
            EXPECT_EQ(readBackByBash(quoted, locale), name) << quoted << " under " << locale;
    }
    EXPECT_EQ(ShellQuote::printable("a\nb"), "$'a\\nb'");
    EXPECT_EQ(ShellQuote::printable("it's\t\\"), "$'it\\'s\\t\\\\'");
    EXPECT_EQ(ShellQuote::printable("\x1b\xC2\x9B\xE9"), "$'\\x1B\\xC2\\x9B\\xE9'");

    for (const std::string& plain :
        { std::string("/home/ann/Report 2024 (final).docx"), std::string("it's $HOME"),
            std::string("Gr\xC3\xBC\xC3\x9F"
                        "e.docx"),
            std::string() }) {
        EXPECT_FALSE(ShellQuote::needsQuoting(plain)) << plain;
        EXPECT_EQ(ShellQuote::printable(plain), plain);
    }
}
