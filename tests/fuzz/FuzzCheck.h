#pragma once
#include <cstdio>
#include <cstdlib>

// A property the fuzzed code must keep: a broken one stops the run with the input saved.
#define FUZZ_CHECK(c)                                                                              \
    ((c) ? void() : (std::fprintf(stderr, "property broken: %s\n", #c), std::abort()))
