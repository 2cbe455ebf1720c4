#pragma once

#include <string>
#include <string_view>

// The name of the copy that protect keeps beside a document while the office works on it: the
// document's name, a period, a GUID in registry form and the document's extension again
// ("plan.doc.{GUID}.doc"), so that it is found beside its document and still opens with the same
// program. Where that would not fit in one file name, the document's name is shortened, at a
// character boundary where it is UTF-8 and at a byte where it is not (names are bytes); the GUID
// and the extension always stay.
class BackupName {
public:
    // The backup's name for the document named name, with guid (registry form, 38 bytes).
    static std::string forDocument(std::string_view name, std::string_view guid);
    // True when name is a backup's: it ends in a period, a GUID in registry form and the
    // extension that it has.
    static bool isBackup(std::string_view name);
    // True when backup is the name of a backup of the document named name.
    static bool belongsTo(std::string_view backup, std::string_view name);

    // The text from the last period of name, the period included; empty when there is none.
    static std::string_view extensionOf(std::string_view name);

private:
    // The part of every backup's name of the document named name that comes before the GUID.
    static std::string_view stemFor(std::string_view name);
};
