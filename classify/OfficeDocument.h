#pragma once

#include "platform/CompoundFileStorage.h"

// The rights-management (IRM) test of Office and XPS documents.
class OfficeDocument {
public:
    // 1 when the document carries the rights-management transform with its "\x06Primary"
    // stream. Every other code means "not protected" and says why: 100 null path, 0 a real zip
    // package, 101 the file cannot be examined, 201 it cannot be opened as a compound file,
    // 202 the storage chain is incomplete, 105 the transform has no "\x06Primary" stream,
    // 106 a platform failure, 1000 any other failure.
    static int IsIRMProtected(const char* path);

    // The same test over a root storage the caller has opened for path (null, with the reason,
    // when it could not be opened), after it has found the file to be no zip package.
    static int IsIRMProtected(
        const char* path, const platform::CompoundFileStorage* root, platform::StorageOpenFailure failure);
};
