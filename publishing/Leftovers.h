#pragma once

#include <cstdint>
#include <string>

// What jobs that are gone left beside a document: a backup, made by a job that was killed while
// the office worked on the document, and the scratch folders of exports that never finished.
// Their makers hold a lock on each for as long as it is theirs, so whatever can be locked has no
// maker any more and is put in order before the document is published again.
class Leftovers {
public:
    // What settleBackup did with a backup.
    enum class Outcome { Removed, MovedBack, Differs, NotRemoved, NotMovedBack };

    // Puts in order a backup of document that nobody else looks after (its maker is gone, or is
    // this program, which must end at once): a document still byte-identical to it gets back
    // recordedMode, the mode the backup was made with, and the backup goes; a missing document
    // gets its backup back under its name (never over anything that is there); a backup that
    // differs from the document stays, since nobody can know which of the two is right.
    static Outcome settleBackup(
        const std::string& document, const std::string& backup, uint32_t recordedMode);

    // Settles every backup of document and removes every scratch folder beside it whose maker is
    // gone, logging each. Returns 0, or 607 when a backup differs from the document.
    static int32_t sweep(const std::string& document);
};
