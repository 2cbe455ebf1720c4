#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// What the command line of the desktop program asks for: "pressling [FOLDER]". No word opens
// the window at the folder of the previous run; one folder opens it there instead; --help (or
// -h) asks for the usage; anything else is a mistake, answered before any window is shown.
class ProgramArguments {
public:
    enum class Request { PreviousFolder, Folder, Help, Mistake };

    // words: the command line after the program's name, once Qt has taken its own options out
    // of it. A relative folder is taken from the current folder.
    static ProgramArguments parse(const std::vector<std::string>& words);

    // Qt takes its own options (-platform, -display, ...) out of the command line when the
    // application object is made, and that already needs the display. Only a word that begins
    // with a hyphen is such an option or leads to one's value, and Qt takes neither --help nor
    // -h, so words without a hyphen in front, or a lone --help, mean the same before Qt and
    // after: they are decided before it starts, which answers a mistake or the help even where
    // no display can be reached.
    static bool decidedBeforeToolkit(const std::vector<std::string>& words);

    static const char* usage();

    Request request() const { return m_request; }
    // The folder asked for, absolute and ending with '/'; empty unless the request is Folder.
    const std::string& folder() const { return m_folder; }
    // What was wrong with a mistaken command line, as one line.
    const std::string& problem() const { return m_problem; }

    // Answers the help (the usage on output, exit code 0) and a mistake (the problem and the
    // usage line on errors, exit code 2); nothing when the window is to open.
    std::optional<int> answer(std::FILE* output, std::FILE* errors) const;

private:
    static ProgramArguments folderNamed(const std::string& word);
    static ProgramArguments mistake(std::string problem);

    Request m_request = Request::PreviousFolder;
    std::string m_folder;
    std::string m_problem;
};
