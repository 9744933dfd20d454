#pragma once

#include <string>
#include <vector>

// What the program tells about itself: its version, the controls of its
// window, the About box and the command line's help. Texts are localised.
class VexmiraHelp {
public:
    // "1.0.0"
    static std::string version();
    // The mouse, the keys and the number boxes, in a few lines.
    static std::string controls();
    // The version, what the program is, and the libraries it runs on, each
    // named with its version ("FLTK 1.3.8").
    static std::string about(const std::vector<std::string>& libraries);
    // `vexmira --help`
    static std::string commandLineHelp();
};
