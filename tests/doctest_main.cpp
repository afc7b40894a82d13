// The main of every doctest program: runs its test cases, and exits 1 if any check failed.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest.h>
