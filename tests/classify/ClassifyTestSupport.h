#pragma once

#include <string>

// Shared by the classification tests: the fixture documents.
namespace classifytest {

// The bytes of a Word 97-2003 "WordDocument" stream that starts with this File Information
// Block identifier and this high byte of its flags word.
std::string wordFib(unsigned identifier, unsigned char flagsHigh);
// The start of an Excel "Workbook" stream: a BIFF8 BOF record, then a record of this type.
std::string excelRecords(unsigned secondRecordType);
// A PowerPoint "Current User" stream whose CurrentUserAtom carries this header token.
std::string currentUserAtom(unsigned headerToken);
// A "\x06Primary" stream: the 176-byte header followed by the licence text.
std::string primaryStream(const std::string& licence);
// An XrML issuance licence whose issuer is owner.
std::string xrmlLicence(const std::string& owner);

// Writes a rights-protected document at path: the storage chain with the given transform
// storage, and "\x06Primary" holding primary unless withPrimary is false.
void writeRightsProtected(const std::string& path, const std::string& transform, const std::string& primary,
    bool withPrimary = true);

// The checkout's source folder.
std::string sourceFolder();

// The corpus of real Office files, or empty when this checkout has none beside it.
std::string officeCryptoCorpus();

}
