#pragma once

#include "Platform/core/Document.h"
#include "Vexmira/Blowup.h"

#include <memory>
#include <optional>
#include <string>

// The name of Vexmira's one document type.
inline constexpr char myDocumentType[] = "Vexmira document";
inline constexpr char myDocumentClassKey[] = "Class";
inline constexpr char myDocumentVersionKey[] = "Version";
inline constexpr int currentMyDocumentVersion = 1;
// The file name extension of Vexmira documents.
inline constexpr char myDocumentExtension[] = ".vexmira";

// A Vexmira document: one blow-up picture, stored as an ASCII property list
// of eight string entries ("Class", "Version" and the model's six).
class MyDocument : public Platform::Document {
public:
    // A new document with the default parameters and an empty undo history.
    MyDocument();
    ~MyDocument() override;

    Blowup& model() { return *model_; }
    const Blowup& model() const { return *model_; }

    // Saving clears the undo history before the text is produced.
    std::optional<std::string> dataRepresentationOfType(const std::string& type,
                                                        std::string& errorMessage) override;
    // Refuses text that is not ASCII, does not parse, is not a dictionary or
    // holds values out of range, with the line and column or the key in the
    // message; the model and its undo history are then untouched.
    bool loadDataRepresentation(const std::string& data, const std::string& type,
                                std::string& errorMessage) override;

    std::string convertForStorage() const;
    Blowup::Dictionary setupDictionaryFromMemory() const;
    bool restoreFromStorage(const std::string& data, std::string& errorMessage);
    static std::optional<Blowup::Dictionary> setupDictionaryFromStorage(const std::string& data,
                                                                        std::string& errorMessage);

    // One MyWindowController: the document's one window.
    void makeWindowControllers() override;

    // "Save" needs unsaved changes; "Revert To Saved" a file and unsaved changes.
    bool validateMenuItem(const Platform::MenuItem& menuItem) const override;

private:
    std::unique_ptr<Blowup> model_;
};
