#pragma once

// A document without a window: the model plus its file. The window's document class sits on top
// of this one.

#include <string>

#include "model/CFunctionsContext.h"

class CurvanaDocument {
public:
    // A new document.
    CurvanaDocument();

    // Starts a new document: new-document defaults, no path, not modified.
    void NewDocument();

    // Loads a .cvn file. On failure returns false with a French message naming the file and the
    // reason, and the document is exactly as it was.
    bool Load(const std::string& path, std::string& error);

    // Saves to a .cvn file without ever losing the previous file. On failure returns false with a
    // French message naming the file and the reason.
    bool Save(const std::string& path, std::string& error);

    CFunctionsContext context;
    std::string path;
    bool modified = false;
};
