#include "tests/classify/ClassifyTestSupport.h"

#include "tests/support/CompoundFileWriter.h"
#include "tests/support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace classifytest {

namespace {

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
