#pragma once

// curvana --analyse [OPTIONS] [FILE]: the remarkable points of every curve of a document over the
// range it is drawn on, one line each.

int RunAnalyse(int argc, char** argv);
