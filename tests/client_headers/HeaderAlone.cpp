// The same check as HeaderAlone.c, compiled as C++.
#include "HeaderAlone.c"
