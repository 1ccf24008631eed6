#include "support/CxArray.h"

// The two arrays the program uses, compiled once here.
template class CxArray<unsigned char>;
template class CxArray<CxWString*>;
