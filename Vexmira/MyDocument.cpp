#include "Vexmira/MyDocument.h"

#include "Platform/core/Localization.h"
#include "Platform/core/PropertyList.h"
#include "Platform/core/PropertyListParser.h"
#include "Vexmira/MyWindowController.h"

#include <memory>
#include <string_view>

namespace {

// The document's text is ASCII; the first other byte is refused with its place.
bool findNonAscii(std::string_view data, std::string& errorMessage) {
    int line = 1;
    int column = 1;
    for (char c : data) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            errorMessage = Platform::fillInAll(
                Platform::localized("Line %1, column %2: the text is not ASCII."),
                {std::to_string(line), std::to_string(column)});
            return true;
        }
        if (c == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return false;
}

// Whole sentences, as languages inflect the kind's name differently.
std::string notAStringText(Platform::PropertyList::Kind kind) {
    using Kind = Platform::PropertyList::Kind;
    switch (kind) {
    case Kind::data:
        return Platform::localized("The value of “%1” must be a string, not data.");
    case Kind::array:
        return Platform::localized("The value of “%1” must be a string, not an array.");
    default:
        return Platform::localized("The value of “%1” must be a string, not a dictionary.");
    }
}

// The six parameter keys must hold strings if present; other entries, "Class"
// and "Version" included, are not looked at.
bool flattenStrings(const Platform::PropertyList::Dictionary& parsed, Blowup::Dictionary& strings,
                    std::string& errorMessage) {
    for (const auto& [key, value] : parsed) {
        if (value.isString()) {
            strings[key] = value.string();
        } else if (Blowup::isParameterKey(key)) {
            errorMessage = Platform::fillIn(notAStringText(value.kind()), key);
            return false;
        }
    }
    return true;
}

} // namespace

MyDocument::MyDocument() : model_(std::make_unique<Blowup>(this)) {
    setFileType(myDocumentType);
}

MyDocument::~MyDocument() {
    // The windows read the model until they close, so they go first.
    removeAllWindowControllers();
}

void MyDocument::makeWindowControllers() {
    addWindowController(std::make_unique<MyWindowController>());
}

std::optional<std::string> MyDocument::dataRepresentationOfType(const std::string& type,
                                                                std::string& errorMessage) {
    if (type != myDocumentType) {
        errorMessage = Platform::fillIn(
            Platform::localized("Documents of type “%1” cannot be written."), type);
        return std::nullopt;
    }
    // After every save the document starts a new history.
    undoManager().removeAllActions();
    return convertForStorage();
}

bool MyDocument::loadDataRepresentation(const std::string& data, const std::string& type,
                                        std::string& errorMessage) {
    if (type != myDocumentType) {
        errorMessage =
            Platform::fillIn(Platform::localized("Documents of type “%1” cannot be read."), type);
        return false;
    }
    return restoreFromStorage(data, errorMessage);
}

std::string MyDocument::convertForStorage() const {
    // Every key and value is ASCII by construction, so the text is too.
    return Platform::PropertyList::describe(setupDictionaryFromMemory());
}

Blowup::Dictionary MyDocument::setupDictionaryFromMemory() const {
    Blowup::Dictionary dictionary;
    dictionary[myDocumentClassKey] = "MyDocument";
    dictionary[myDocumentVersionKey] = std::to_string(currentMyDocumentVersion);
    model_->convertToDictionary(dictionary);
    return dictionary;
}

// The whole text is read and checked before the model is touched, so a
// refused file leaves the parameters and the undo history as they were.
bool MyDocument::restoreFromStorage(const std::string& data, std::string& errorMessage) {
    std::optional<Blowup::Dictionary> dictionary = setupDictionaryFromStorage(data, errorMessage);
    if (!dictionary || !Blowup::validateDictionary(*dictionary, errorMessage))
        return false;
    model_->restoreFromDictionary(*dictionary);
    return true;
}

std::optional<Blowup::Dictionary>
MyDocument::setupDictionaryFromStorage(const std::string& data, std::string& errorMessage) {
    if (findNonAscii(data, errorMessage))
        return std::nullopt;
    Platform::PropertyListError error;
    auto parsed = Platform::PropertyListParser::parseDictionary(data, error);
    if (!parsed) {
        errorMessage = Platform::fillInAll(
            Platform::localized("Line %1, column %2: %3."),
            {std::to_string(error.line), std::to_string(error.column), error.message});
        return std::nullopt;
    }
    Blowup::Dictionary strings;
    if (!flattenStrings(*parsed, strings, errorMessage))
        return std::nullopt;
    return strings;
}

bool MyDocument::validateMenuItem(const Platform::MenuItem& menuItem) const {
    if (menuItem.title == Platform::localized("Save"))
        return isDocumentEdited();
    if (menuItem.title == Platform::localized("Revert To Saved"))
        return hasFileName() && isDocumentEdited();
    return Document::validateMenuItem(menuItem);
}
