#pragma once

#include "Platform/core/UserDialogs.h"

#include <string>
#include <vector>

namespace Platform {

// A small modal form: one row per field, a text box or a choice, with OK
// and Cancel below.
class FltkFormDialog {
public:
    // Shows the form until it is answered; true with the fields holding the
    // user's values on OK, false on Cancel or when the window is closed.
    static bool ask(const std::string& title, std::vector<UserDialogs::FormField>& fields);
};

} // namespace Platform
