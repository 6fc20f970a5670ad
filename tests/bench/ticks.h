// The performance counter, the benchmarks' one clock.
#pragma once
#include <windows.h>

inline double seconds(LONGLONG ticks) {
    static const double freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return static_cast<double>(ticks) / freq;
}

inline LONGLONG nowTicks() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}
