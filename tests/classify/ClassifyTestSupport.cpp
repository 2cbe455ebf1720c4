#include "tests/classify/ClassifyTestSupport.h"

#include "platform/ProgramName.h"
#include "tests/support/CompoundFileWriter.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace classifytest {

namespace {

// Points the registry at a folder of this process's own, with a log key that records every
// level into a file beside it. Logging reads its key once, at its first line, which comes
// after this has run.
class LoggingEnvironment : public ::testing::Environment {
public:
    LoggingEnvironment()
    {
        std::string program = platform::programName();
        std::filesystem::create_directories(m_folder.file("registry"));
        std::ofstream(m_folder.file("registry/user.reg"))
            << "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application\\" << program << "\\Log]\n"
            << "\"dir\"=\"" << m_folder.path() << "\"\n"
            << "\"filename\"=\"classify.log\"\n"
            << "\"level\"=dword:00000003\n";
        setenv("PRESSLING_REGISTRY_DIR", m_folder.file("registry").c_str(), 1);
        m_logFile = m_folder.file("classify.log");
    }

    const std::string& logFile() const { return m_logFile; }

private:
    TemporaryFolder m_folder;
    std::string m_logFile;
};

LoggingEnvironment& environment()
{
    static LoggingEnvironment* instance = new LoggingEnvironment();
    return *instance;
}

// Set up before any test runs, so before the first log line.
const bool registered = (::testing::AddGlobalTestEnvironment(&environment()), true);

std::string readAll(const std::string& path, std::streamoff from)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::string();
    in.seekg(from);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::streamoff fileSize(const std::string& path)
{
    std::error_code error;
    auto size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<std::streamoff>(size);
}

void put16(std::string& out, unsigned value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& out, unsigned value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

}

const std::string& logFilePath()
{
    return environment().logFile();
}

LogCapture::LogCapture()
    : m_start(fileSize(logFilePath()))
{
}

std::string LogCapture::text() const
{
    return readAll(logFilePath(), m_start);
}

bool LogCapture::contains(const std::string& line) const
{
    return text().find(line) != std::string::npos;
}

std::string wordFib(unsigned identifier, unsigned char flagsHigh)
{
    std::string fib;
    put16(fib, identifier);
    put16(fib, 0x00C1); // nFib
    put16(fib, 0);
    put16(fib, 0x0409); // language
    put16(fib, 0);
    fib += '\0'; // low byte of the flags
    fib += static_cast<char>(flagsHigh);
    fib.append(512, '\0');
    return fib;
}

std::string excelRecords(unsigned secondRecordType)
{
    std::string records;
    put16(records, 0x0809); // BOF
    put16(records, 16);
    put16(records, 0x0600); // BIFF8
    put16(records, 0x0005); // workbook globals
    records.append(12, '\0');
    put16(records, secondRecordType);
    put16(records, 6);
    records.append(6, '\x11');
    records.append(200, '\0');
    return records;
}

std::string currentUserAtom(unsigned headerToken)
{
    std::string atom;
    put16(atom, 0);
    put16(atom, 0x0FF6); // RT_CurrentUserAtom
    put32(atom, 20);
    put32(atom, 20); // size
    put32(atom, headerToken);
    put32(atom, 0); // offset to the current edit
    atom.append(16, '\0');
    return atom;
}

std::string primaryStream(const std::string& licence)
{
    std::string stream(176, '\x01');
    return stream + licence;
}

std::string xrmlLicence(const std::string& owner)
{
    return "<?xml version=\"1.0\"?><XrML version=\"1.2\"><BODY type=\"Microsoft Rights Label\">"
           "<ISSUER><OBJECT type=\"MS-GUID\"><ID type=\"MS-GUID\">{0}</ID><NAME>"
        + owner + "</NAME></OBJECT></ISSUER></BODY></XrML>";
}

void writeRightsProtected(
    const std::string& path, const std::string& transform, const std::string& primary, bool withPrimary)
{
    CompoundFileWriter writer;
    std::string chain = std::string("\x06") + "DataSpaces/TransformInfo/" + transform;
    if (withPrimary)
        writer.stream(chain + "/\x06" + "Primary", primary);
    else
        writer.stream(chain + "/other", "x");
    writer.stream("WordDocument", wordFib(0xA5EC, 0));
    writer.write(path);
}

std::string sourceFolder()
{
    const char* source = std::getenv("PRESSLING_SOURCE_DIR");
    return source && *source ? source : PRESSLING_SOURCE_FOLDER;
}

std::string officeCryptoCorpus()
{
    std::string folder = sourceFolder() + "/../shared/corpus/office-crypto";
    std::error_code error;
    return std::filesystem::is_directory(folder, error) ? folder : std::string();
}

}
