#pragma once

#include <string>

namespace Platform {

// The folder holding the program's resources (models, textures, ...).
// Installed programs find it beside their executable (../share/vexmira/resources),
// programs run from a build find the source tree's resources/, and tests may
// point it anywhere with setResourceDirectory().
std::string resourceDirectory();

// Overrides the folder found above; an empty path restores the default.
void setResourceDirectory(const std::string& directory);

// The folder holding the running program's executable; empty when the system
// cannot tell.
std::string executableDirectory();

// The folder holding the message catalogues (<lang>/LC_MESSAGES/vexmira.mo),
// found the same way: installed, or the build tree's locale/.
std::string localeDirectory();

} // namespace Platform
