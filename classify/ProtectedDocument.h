#pragma once

#include "classify/IssuanceLicense.h"
#include "foundation/Object.h"

class String;

// A document as seen for its rights management: its issuance licence, when it has one.
class ProtectedDocument : public Object {
public:
    // Reads the licence out of the document at path; the document is closed again before the
    // constructor returns. Throws Exception when the licence's XML document cannot be created.
    explicit ProtectedDocument(const char* path);

    bool hasIssuanceLicense() const { return hasLicense; }

    // The name of the licence's issuer, the document's owner; false, with owner emptied, when
    // there is no licence or it names no owner.
    bool getOwner(String& owner) const;

private:
    IssuanceLicense licence;
    bool hasLicense = false;
};
