#include "classify/ProtectedDocument.h"

#include "classify/CompoundFile.h"
#include "foundation/String.h"

ProtectedDocument::ProtectedDocument(const char* path)
{
    CompoundFile file;
    hasLicense = file.open(path) && file.getIssuanceLicense(licence);
    file.close();
}

bool ProtectedDocument::getOwner(String& owner) const
{
    if (!hasLicense) {
        owner.assign("");
        return false;
    }
    if (licence.getTextByPath("//ISSUER/OBJECT/NAME", owner))
        return true;
    owner.assign("");
    return false;
}
