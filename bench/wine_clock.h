// The benchmarks' clock under Wine: milliseconds from the performance counter.
#pragma once

#include <windows.h>

namespace vorel {

inline double NowMs() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

}  // namespace vorel
