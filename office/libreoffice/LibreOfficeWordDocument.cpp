#include "office/libreoffice/LibreOfficeWordDocument.h"

namespace office {

HResult LibreOfficeWordDocument::saveAs(const std::string& fileName, std::optional<int32_t> fileFormat)
{
    // Word's default format, its own document format, is not a target of this office.
    int32_t code = fileFormat.value_or(-1);
    return m_access.saveAs(fileName, wordExportTarget(code), code);
}

HResult LibreOfficeWordDocument::close(std::optional<int32_t>, std::optional<int32_t>, std::optional<bool>)
{
    // Documents are loaded read-only and never saved in place, so there is nothing to save.
    return m_access.close();
}

}
