#pragma once

#include <cstdio>
#include <cstdlib>

// A broken expectation is a crash for the fuzzer, named in its report.
inline void Require(bool holds, int line) {
  if (holds) return;
  std::fprintf(stderr, "expectation broken at line %d\n", line);
  std::abort();
}
#define REQUIRE(condition) Require(condition, __LINE__)
