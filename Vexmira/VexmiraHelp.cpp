#include "Vexmira/VexmiraHelp.h"

#include "Platform/core/Localization.h"

std::string VexmiraHelp::version() {
    return VEXMIRA_VERSION;
}

std::string VexmiraHelp::controls() {
    return Platform::localized(
        "Drag in the picture to turn the camera about the point it looks at.\n"
        "Ctrl+drag moves that point up and down.\n"
        "The mouse wheel zooms.\n"
        "\n"
        "Home: back to the view a new window starts with\n"
        "1, 2, 3, 4: the top, side, front and oblique views\n"
        "F11: full screen\n"
        "Space or Esc: stop an animation\n"
        "\n"
        "Type an exact value into the box beside a slider and press Enter.\n"
        "With a slider in focus, the arrow keys step it by 1 or by a hundredth of its range,\n"
        "Page Up and Page Down by a tenth.\n"
        "Edit > Undo takes back every change of the sliders, the boxes and the wheel.");
}

std::string VexmiraHelp::about(const std::vector<std::string>& libraries) {
    std::string text = "Vexmira " + version() + "\n\n" +
                       Platform::localized("The blow-up of the plane at a point as an interactive "
                                           "3D picture, drawn with the program's own graphics "
                                           "kit, the Tolvane Kit.") +
                       "\n\n" + Platform::localized("Libraries in use:");
    for (const std::string& library : libraries)
        text += "\n" + library;
    return text;
}

std::string VexmiraHelp::commandLineHelp() {
    return Platform::localized(
        "Usage: vexmira [FILE...]\n"
        "\n"
        "Opens each Vexmira document named, in a window of its own; without FILE,\n"
        "a new document.\n"
        "\n"
        "  -h, --help     show this text and exit\n"
        "  --version      show the program's version and exit\n"
        "\n"
        "In the window, Help > Controls lists what the mouse and the keys do.\n");
}
