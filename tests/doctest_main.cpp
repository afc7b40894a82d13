// The main function of every doctest test: doctest's own, with its command line.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest.h>
