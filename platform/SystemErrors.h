#pragma once

// What the system says went wrong, in French whatever the process locale: the C library's own
// texts follow LC_MESSAGES (English under the "C" locale the program keeps for numbers, or a
// language the rest of the window does not speak).

#include <string>

namespace platform {

// The French reason for an errno value; an unknown one is named by its number.
std::string SystemReason(int code);

} // namespace platform
