#include "app/WindowProgram.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "app/CommandSupport.h"
#include "platform/FileIO.h"
#include "platform/SystemErrors.h"

namespace {

constexpr char kWindowProgram[] = "curvana-window";

// The directory of this executable, as the kernel links it.
std::string OwnDirectory()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return ".";
    const std::string self(path, static_cast<size_t>(length));
    return self.substr(0, self.rfind('/'));
}

} // namespace

int RunWindowProgram(char** argv)
{
    const std::string directory = OwnDirectory();
    // Beside this executable in a build tree; where it is installed, relative to it, otherwise.
    const std::string installed = directory + "/" + CURVANA_WINDOW_FROM_BINDIR;
    for (const std::string& path : {directory + "/" + kWindowProgram, installed}) {
        if (::access(path.c_str(), X_OK) != 0)
            continue;
        ::execv(path.c_str(), argv);
        const int error = errno;
        std::fprintf(stderr, "curvana : %s\n",
            platform::FileMessage(
                path, "la fenêtre ne peut pas démarrer : " + platform::SystemReason(error))
                .c_str());
        return kExitUsage;
    }
    std::fprintf(stderr, "curvana : %s\n",
        platform::FileMessage(installed, "programme de la fenêtre introuvable").c_str());
    return kExitUsage;
}
