#pragma once

// curvana --interval FORMULA XMIN XMAX [NAME=VALUE]...: the interval evaluation of a formula over
// a range of its variable, for checking and scripting.

int RunInterval(int argc, char** argv);
