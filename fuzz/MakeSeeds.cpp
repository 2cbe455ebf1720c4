// Writes the seed inputs of the fuzz harnesses: small valid and nearly valid files of each kind.
#include "tests/support/CompoundFileWriter.h"
#include "tests/support/ZipBuilder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

void write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string licence(const std::string& owner)
{
    return std::string(176, '\x01') + "<XrML><BODY><ISSUER><OBJECT><NAME>" + owner
        + "</NAME></OBJECT></ISSUER></BODY></XrML>trailing";
}

void zipSeeds(const std::string& folder)
{
    std::filesystem::create_directories(folder);
    write(folder + "/encrypted.zip", ZipBuilder().add("a.txt", "secret", 1).add("b/", "").bytes());
    write(folder + "/plain.zip", ZipBuilder().add("a.txt", "open").add("c.txt", "more", 8).bytes());
    write(folder + "/descriptor.zip", ZipBuilder().add("d.bin", "PK\x07\x08 inside", 9, 8).bytes());
}

void pdfSeeds(const std::string& folder)
{
    std::filesystem::create_directories(folder);
    write(folder + "/encrypted.pdf", "%PDF-1.6\n1 0 obj<<>>endobj\ntrailer<</Encrypt 2 0 R>>\n%%EOF\n");
    write(folder + "/plain.pdf", "%PDF-1.4\n" + std::string(1200, 'x') + "\ntrailer<</Root 1 0 R>>\n%%EOF\n");
}

void compoundSeeds(const std::string& folder, const std::string& scratch)
{
    std::filesystem::create_directories(folder);
    std::string word
        = std::string("\xEC\xA5\xC1\x00", 4) + std::string(7, '\0') + "\x01" + std::string(20, '\0');
    CompoundFileWriter().stream("WordDocument", word).write(folder + "/word.doc");
    CompoundFileWriter()
        .stream(std::string("\x06") + "DataSpaces/TransformInfo/\x09" + "DRMTransform/\x06" + "Primary",
            licence("a"))
        .write(folder + "/irm.doc");
    CompoundFileWriter().stream("EncryptionInfo", std::string(40, '\x04')).write(folder + "/package.docx");
    std::string records
        = std::string("\x09\x08\x10\x00", 4) + std::string(16, '\0') + "\x2F" + std::string(11, '\0');
    CompoundFileWriter().stream("Workbook", records).write(folder + "/book.xls");
    (void)scratch;
}

void licenceSeeds(const std::string& folder)
{
    std::filesystem::create_directories(folder);
    write(folder + "/licence", licence("team-lead@example.com"));
    write(folder + "/header", std::string(176, '<'));
    write(folder + "/broken", std::string(176, '\0') + "<XrML><ISSUER>");
}

}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [CORPUS]\n", argv[0]);
        return 2;
    }
    std::string root = argv[1];
    zipSeeds(root + "/zip");
    pdfSeeds(root + "/pdf");
    compoundSeeds(root + "/compound", root);
    licenceSeeds(root + "/licence");
    // Real Office files make the best compound-file seeds, when the corpus is at hand.
    if (argc > 2 && std::filesystem::is_directory(argv[2])) {
        for (const auto& entry : std::filesystem::directory_iterator(argv[2])) {
            std::string name = entry.path().filename().string();
            std::string bytes = readAll(entry.path().string());
            if (bytes.size() > 200000)
                continue;
            if (bytes.rfind("\xD0\xCF\x11\xE0", 0) == 0)
                write(root + "/compound/" + name, bytes);
            else if (bytes.rfind("PK", 0) == 0)
                write(root + "/zip/" + name, bytes);
        }
    }
    return 0;
}
