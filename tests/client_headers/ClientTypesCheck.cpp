// The same check as ClientTypesCheck.c, compiled as C++.
#include "ClientTypesCheck.c"
