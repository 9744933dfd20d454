// Any bytes opened as a Vexmira document: a refusal explains itself and
// leaves the document as it was; an accepted file saves to a text that opens
// again to the very same document.

#include "FuzzCheck.h"
#include "Vexmira/MyDocument.h"

#include <cstddef>
#include <cstdint>
#include <string>

using VexmiraFuzz::check;

namespace {

void checkSaveAndReopen(const MyDocument& document) {
    const std::string saved = document.convertForStorage();
    MyDocument reopened;
    std::string error;
    check(reopened.loadDataRepresentation(saved, myDocumentType, error),
          "a saved document opens again");
    check(reopened.convertForStorage() == saved, "a saved document reopens to the same values");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    MyDocument document;
    const std::string before = document.convertForStorage();
    std::string error;
    if (!document.loadDataRepresentation(text, myDocumentType, error)) {
        check(!error.empty(), "a refused document says why");
        check(document.convertForStorage() == before, "a refused document changes nothing");
        return 0;
    }
    check(!document.undoManager().canUndo(), "opening a document leaves nothing to undo");
    checkSaveAndReopen(document);
    return 0;
}
