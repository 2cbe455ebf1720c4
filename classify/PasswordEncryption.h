#pragma once

namespace platform {
class CompoundFileStorage;
}

// The password tests of the Office formats. The four format tests give 1 when the document is
// encrypted, 0 when it is not, -1 when it cannot be opened as a compound file and -2 when the
// stream they look at is missing.

// True when the document at path needs a password to open or to modify, judged by its name's
// format. An XPS document is never password-encrypted by this test.
bool isPasswordEncrypted(const char* path);

// Word 97-2003: the File Information Block's encryption or write-reservation flag.
int isEncryptedWordFile(const char* path);
// PowerPoint 97-2003: an "EncryptedSummary" stream, or the encrypted token of the current-user
// record.
int isEncryptedPowerPointFile(const char* path);
// Excel 97-2003: a file-password or write-protection record right after the BOF record.
int isEncryptedExcelFile(const char* path);
// Office 2007: an encrypted package is a compound file with an "EncryptionInfo" stream.
int isEncryptedPackageFile(const char* path);

// The same tests over a root storage the caller has already opened (null when it could not be
// opened), so that one open serves both protection tests of a document.
bool isPasswordEncrypted(const char* path, const platform::CompoundFileStorage* root);
int isEncryptedWordFile(const platform::CompoundFileStorage* root);
int isEncryptedPowerPointFile(const platform::CompoundFileStorage* root);
int isEncryptedExcelFile(const platform::CompoundFileStorage* root);
int isEncryptedPackageFile(const platform::CompoundFileStorage* root);
// True when the name is of a format that has a password test.
bool hasPasswordTest(const char* path);
