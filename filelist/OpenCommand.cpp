#include "filelist/OpenCommand.h"

#include "foundation/StringTokenizer.h"
#include "platform/EnvironmentVariables.h"

#include <optional>
#include <string_view>

namespace {

// The codes that desktop entries may still carry from older versions of their rules; they stand
// for nothing a launcher passes on.
constexpr std::string_view deprecatedCodes = "dDnNickvm";

struct Expansion {
    std::string word;
    // Whether the word named the document, so that it need not be appended.
    bool namesDocument = false;
    // A word made of deprecated codes only is no argument at all, and neither is the empty word
    // that stray blanks or commas at the end of a command leave.
    bool vanished = false;
};

Expansion expandFieldCodes(const std::string& word, const std::string& path, const std::string& uri)
{
    Expansion expansion;
    bool onlyDropped = true;
    for (size_t i = 0; i < word.size(); ++i) {
        char code = i + 1 < word.size() && word[i] == '%' ? word[i + 1] : '\0';
        if (code == 'f' || code == 'F' || code == '1') {
            expansion.word += path;
            expansion.namesDocument = true;
        } else if (code == 'u' || code == 'U') {
            expansion.word += uri;
            expansion.namesDocument = true;
        } else if (code == '%') {
            expansion.word += '%';
        } else if (code != '\0' && deprecatedCodes.find(code) != std::string_view::npos) {
            ++i;
            continue;
        } else {
            expansion.word += word[i];
            onlyDropped = false;
            continue;
        }
        onlyDropped = false;
        ++i;
    }
    expansion.vanished = onlyDropped;
    return expansion;
}

bool isUnreserved(unsigned char character)
{
    return (character >= 'A' && character <= 'Z') || (character >= 'a' && character <= 'z')
        || (character >= '0' && character <= '9') || character == '-' || character == '.' || character == '_'
        || character == '~' || character == '/';
}

}

OpenCommand::OpenCommand(const char* commandLine)
    : m_commandLine(commandLine)
{
}

std::string OpenCommand::fileUri(const std::string& path)
{
    static const char hexDigits[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char character : path) {
        if (isUnreserved(character)) {
            uri += static_cast<char>(character);
            continue;
        }
        uri += '%';
        uri += hexDigits[character >> 4];
        uri += hexDigits[character & 0x0f];
    }
    return uri;
}

std::vector<std::string> OpenCommand::argumentsFor(const char* path) const
{
    std::vector<std::string> arguments;
    if (!path || m_commandLine.isNull())
        return arguments;
    StringTokenizer tokenizer(m_commandLine.getText());
    String word;
    if (!tokenizer.getToken(word) || word.getLength() == 0)
        return arguments;
    arguments.push_back(platform::expandEnvironmentVariables(word.getText()));

    const std::string document(path);
    const std::string uri = fileUri(document);
    bool named = false;
    while (tokenizer.getToken(word)) {
        Expansion expansion = expandFieldCodes(word.getText(), document, uri);
        named = named || expansion.namesDocument;
        if (!expansion.vanished)
            arguments.push_back(expansion.word);
    }
    if (!named)
        arguments.push_back(document);
    return arguments;
}
