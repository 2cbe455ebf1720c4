#include "publishing/PublishFormat.h"

#include "classify/FileType.h"
#include "office/OfficeFormat.h"

#include <cstring>

namespace {

struct FormatRow {
    int32_t command;
    const char* name;
    const char* suffix;
    int32_t word;
    int32_t excel;
    int32_t powerPoint;
};

// Workbooks and presentations give the same names as documents, so that a folder's published
// files always read source name plus one of six suffixes.
constexpr FormatRow formatRows[] = {
    { ID_PUBLISH_AS_HTML, "html", ".html", office::wordFormat::html, office::excelFormat::html,
        office::powerPointFormat::html },
    { ID_PUBLISH_AS_WEBARCHIVE, "mhtml", ".mhtml", office::wordFormat::webArchive,
        office::excelFormat::webArchive, office::powerPointFormat::webArchive },
    { ID_PUBLISH_AS_TEXT, "text", ".txt", office::wordFormat::text,
        office::excelFormat::currentPlatformText, office::powerPointFormat::text },
    { ID_PUBLISH_AS_UNICODETEXT, "unicode", ".unicode.txt", office::wordFormat::unicodeText,
        office::excelFormat::unicodeText, office::powerPointFormat::unicodeText },
    { ID_PUBLISH_AS_XPS, "xps", ".xps", office::wordFormat::xps, office::excelFormat::xps,
        office::powerPointFormat::xps },
    { ID_PUBLISH_AS_PDF, "pdf", ".pdf", office::wordFormat::pdf, office::excelFormat::pdf,
        office::powerPointFormat::pdf },
};

const FormatRow* findRow(int32_t command)
{
    for (const FormatRow& row : formatRows) {
        if (row.command == command)
            return &row;
    }
    return nullptr;
}

}

bool wordPublishFormat(int32_t command, PublishFormat& out)
{
    const FormatRow* row = findRow(command);
    if (!row)
        return false;
    out = PublishFormat { row->suffix, row->word };
    return true;
}

bool excelPublishFormat(int32_t command, PublishFormat& out)
{
    const FormatRow* row = findRow(command);
    if (!row)
        return false;
    out = PublishFormat { row->suffix, row->excel };
    return true;
}

bool powerPointPublishFormat(int32_t command, PublishFormat& out)
{
    const FormatRow* row = findRow(command);
    if (!row)
        return false;
    out = PublishFormat { row->suffix, row->powerPoint };
    return true;
}

int32_t publishCommandForName(const char* name)
{
    if (!name)
        return 0;
    for (const FormatRow& row : formatRows) {
        if (std::strcmp(row.name, name) == 0)
            return row.command;
    }
    return 0;
}

const char* publishedSuffix(const char* path, int32_t command)
{
    FileType fileType;
    PublishFormat format;
    bool known = fileType.isWordFile(path) ? wordPublishFormat(command, format)
        : fileType.isExcelFile(path)       ? excelPublishFormat(command, format)
                                           : powerPointPublishFormat(command, format);
    return known ? format.suffix : nullptr;
}
