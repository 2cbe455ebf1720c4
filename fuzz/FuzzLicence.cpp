#include "classify/ProtectedDocument.h"
#include "foundation/String.h"
#include "fuzz/FuzzInput.h"
#include "tests/support/CompoundFileWriter.h"

#include <cstdlib>

// The licence reader over any "\x06Primary" stream: header cut, conversion, "</XrML>" cut and
// the XML parse with its XPath selection.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = writeFuzzInput(nullptr, 0, ".doc");
    CompoundFileWriter writer;
    writer.stream(std::string("\x06") + "DataSpaces/TransformInfo/\x09" + "DRMTransform/\x06" + "Primary",
        std::string(reinterpret_cast<const char*>(data), size));
    writer.write(path);
    ProtectedDocument document(path.c_str());
    String owner;
    if (document.getOwner(owner) && !owner.getText())
        std::abort();
    if (size <= 176 && document.hasIssuanceLicense())
        std::abort();
    return 0;
}
