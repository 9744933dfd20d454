#include "Vexmira/VexmiraMenus.h"

#include "Platform/core/Application.h"
#include "Platform/core/Document.h"
#include "Platform/core/Localization.h"
#include "Platform/core/UserDialogs.h"
#include "Platform/core/Window.h"
#include "Platform/core/WindowController.h"
#include "Platform/image/PngWriter.h"
#include "TolvaneKit/Resources/RVTiffImage.h"
#include "Vexmira/AnimationMenu.h"
#include "Vexmira/BlowupView.h"
#include "Vexmira/ImageExport.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/MyWindowController.h"
#include "Vexmira/RenderCommand.h"
#include "Vexmira/SmoothWhileMoving.h"
#include "Vexmira/VexmiraHelp.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <filesystem>

namespace {

// Menu actions receive the platform's document; every document of this
// program is a MyDocument.
MyDocument& myDocument(Platform::Document* document) {
    return static_cast<MyDocument&>(*document);
}

const MyDocument& myDocument(const Platform::Document* document) {
    return static_cast<const MyDocument&>(*document);
}

void addExportImage(Platform::Application& application) {
    Platform::MenuCommand item{"File", "Export Image...", Platform::Command::custom, "Ctrl+E",
                               true};
    item.action = [&application](Platform::Document* document) {
        ImageExport::run(application, myDocument(document));
    };
    item.isEnabled = [](const Platform::Document* document) {
        return ImageExport::canExport(myDocument(document));
    };
    application.addMenuCommand(std::move(item), "Revert To Saved");
}

Platform::Window* windowOf(const Platform::Document* document) {
    if (!document)
        return nullptr;
    for (const auto& controller : document->windowControllers())
        if (controller->isWindowLoaded())
            return controller->window();
    return nullptr;
}

BlowupView* viewOf(const Platform::Document* document) {
    return MyWindowController::preparedViewOf(document);
}

void addViewMenu(Platform::Application& application) {
    auto hasView = [](const Platform::Document* document) { return viewOf(document) != nullptr; };
    Platform::MenuCommand reset{"View", "Reset View", Platform::Command::custom, "Home", true};
    reset.action = [](Platform::Document* document) { viewOf(document)->resetView(); };
    reset.isEnabled = hasView;
    application.addMenuCommand(reset);

    using StandardView = BlowupView::StandardView;
    const struct {
        const char* title;
        StandardView view;
        const char* key;
    } standardViews[] = {{"Top", StandardView::top, "1"},
                         {"Side", StandardView::side, "2"},
                         {"Front", StandardView::front, "3"},
                         {"Oblique", StandardView::oblique, "4"}};
    for (const auto& standard : standardViews) {
        Platform::MenuCommand item{"View", standard.title, Platform::Command::custom, standard.key,
                                   standard.view == StandardView::oblique};
        item.action = [view = standard.view](Platform::Document* document) {
            viewOf(document)->showStandardView(view);
        };
        item.isEnabled = hasView;
        application.addMenuCommand(item);
    }

    Platform::MenuCommand fullScreen{"View", "Full Screen", Platform::Command::custom, "F11", true};
    fullScreen.action = [](Platform::Document* document) {
        if (Platform::Window* window = windowOf(document))
            window->setFullScreen(!window->isFullScreen());
    };
    fullScreen.isEnabled = [](const Platform::Document* document) {
        return windowOf(document) != nullptr;
    };
    fullScreen.isChecked = [](const Platform::Document* document) {
        const Platform::Window* window = windowOf(document);
        return window && window->isFullScreen();
    };
    application.addMenuCommand(fullScreen);
}

// The command line that draws the picture the window shows, for a terminal.
void addCopyRenderCommand(Platform::Application& application) {
    Platform::MenuCommand item{"Edit", "Copy Render Command", Platform::Command::custom,
                               "Ctrl+Shift+C"};
    item.action = [&application](Platform::Document* document) {
        const BlowupView* view = viewOf(document);
        const std::string picture =
            std::filesystem::path(document->displayName()).stem().string() + ".png";
        application.copyToClipboard(
            RenderCommand(myDocument(document).model(), *view->camera(), view->frameWidth(),
                          view->frameHeight())
                .commandLine(RenderCommand::programNameForShell(), picture));
    };
    item.isEnabled = [](const Platform::Document* document) { return viewOf(document) != nullptr; };
    application.addMenuCommand(std::move(item));
}

void addShowCamera(Platform::Application& application) {
    Platform::MenuCommand item{"View", "Show Camera"};
    auto controllerOf = [](const Platform::Document* document) {
        BlowupView* view = viewOf(document);
        return view ? view->windowController() : nullptr;
    };
    item.action = [controllerOf](Platform::Document* document) {
        if (MyWindowController* controller = controllerOf(document))
            controller->setShowsCamera(!controller->showsCamera());
    };
    item.isEnabled = [controllerOf](const Platform::Document* document) {
        return controllerOf(document) != nullptr;
    };
    item.isChecked = [controllerOf](const Platform::Document* document) {
        const MyWindowController* controller = controllerOf(document);
        return controller && controller->showsCamera();
    };
    application.addMenuCommand(std::move(item));
}

// One item per open document, in the order they were opened; the window's
// own document carries the check mark.
void addWindowMenu(Platform::Application& application) {
    application.setMenuFiller("Window", [&application] {
        std::vector<Platform::MenuCommand> items;
        for (const auto& open : application.documents()) {
            const Platform::Document* listed = open.get();
            Platform::MenuCommand item{"Window", listed->displayName()};
            item.localizeTitle = false;
            item.isChecked = [listed](const Platform::Document* front) { return front == listed; };
            // Looked up again: the document may have closed since the menu was filled.
            item.action = [&application, listed](Platform::Document*) {
                const auto& documents = application.documents();
                auto found = std::find_if(documents.begin(), documents.end(),
                                          [listed](const auto& d) { return d.get() == listed; });
                if (found != documents.end())
                    for (const auto& controller : (*found)->windowControllers())
                        controller->showWindow();
            };
            items.push_back(std::move(item));
        }
        return items;
    });
}

// The OpenGL the document's view draws with, as its driver names itself.
std::vector<std::string> openGLVersions(const Platform::Document* document) {
    BlowupView* view = viewOf(document);
    if (!view)
        return {};
    view->makeCurrentContext();
    auto text = [](const GLubyte* string) {
        return string ? std::string(reinterpret_cast<const char*>(string)) : std::string("?");
    };
    return {"OpenGL " + text(glGetString(GL_VERSION)) + " (" + text(glGetString(GL_RENDERER)) + ")",
            "GLU " + text(gluGetString(GLU_VERSION))};
}

void addHelpMenu(Platform::Application& application) {
    Platform::MenuCommand controls{"Help", "Controls", Platform::Command::custom, "F1"};
    controls.needsDocument = false;
    controls.action = [&application](Platform::Document*) {
        application.dialogs().showMessage(Platform::localized("Controls"), VexmiraHelp::controls());
    };
    application.addMenuCommand(controls);

    Platform::MenuCommand about{"Help", "About Vexmira"};
    about.needsDocument = false;
    about.action = [&application](Platform::Document* document) {
        std::vector<std::string> libraries = application.libraryVersions();
        for (std::string& version : openGLVersions(document))
            libraries.push_back(std::move(version));
        libraries.push_back(RVTiffImage::libraryVersion());
        libraries.push_back(Platform::pngLibraryVersion());
        libraries.push_back(Platform::localizationLibraryVersion());
        application.dialogs().showMessage(Platform::localized("About Vexmira"),
                                          VexmiraHelp::about(libraries));
    };
    application.addMenuCommand(about);
}

} // namespace

void addVexmiraMenuCommands(Platform::Application& application) {
    addExportImage(application);
    // Menus appear in the order they are first named.
    addCopyRenderCommand(application);
    addViewMenu(application);
    AnimationMenu::install(application);
    SmoothWhileMoving::addMenuCommand(application);
    addShowCamera(application);
    addWindowMenu(application);
    addHelpMenu(application);
}
