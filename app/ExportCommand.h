#pragma once

// curvana --export OUT [OPTIONS] [FILE]: draws a document without a window, exactly as the window
// draws it, and writes the drawing or the document itself.

int RunExport(int argc, char** argv);
