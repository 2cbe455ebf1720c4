#include "office/libreoffice/StoredFileCheck.h"

#include "office/ComError.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

using office::ComError;
namespace check = office::storedFileCheck;
using Form = check::Form;

// Catches an empty or cut-off store, the kind LibreOffice reports as a success on a full disk,
// being taken for an output, and a complete one being refused.
TEST(StoredFileCheck, RefusesWhatAFailedWriteLeavesAndTakesWhatIsWhole)
{
    TemporaryFolder folder;
    std::string longPdf = "%PDF-1.7\n" + std::string(5000, 'x') + "\ntrailer\n%%EOF\n";
    EXPECT_NO_THROW(check::check(folder.write("whole.pdf", longPdf), Form::Pdf));
    EXPECT_THROW(check::check(folder.write("cut.pdf", longPdf.substr(0, 4096)), Form::Pdf), ComError);
    EXPECT_NO_THROW(
        check::check(folder.write("page.html", "<HTML><body>x</body></HTML>\r\n\r\n"), Form::HtmlPage));
    EXPECT_THROW(check::check(folder.write("cut.html", "<html><body>x</bo"), Form::HtmlPage), ComError);
    EXPECT_THROW(check::check(folder.write("empty.html", ""), Form::HtmlPage), ComError);
    EXPECT_THROW(check::check(folder.write("empty.png", ""), Form::AnyBytes), ComError);
    EXPECT_NO_THROW(check::check(folder.write("image.png", "\x89PNG"), Form::AnyBytes));
    // An empty document's text is empty, and that is a whole export.
    EXPECT_NO_THROW(check::check(folder.write("empty.txt", ""), Form::Text));
    EXPECT_THROW(check::check(folder.file("missing.txt"), Form::Text), ComError);
}
