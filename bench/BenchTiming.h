#ifndef TESSIVO_BENCHTIMING_H
#define TESSIVO_BENCHTIMING_H

// Wall-clock timing shared by the benchmark programs: one call, and the median
// of many. Medians rather than means, because the machines these run on are
// shared and a few slow runs say nothing about the code.
#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace BenchTiming {

// Wall time of one call of step, in milliseconds.
inline double timeMs(const std::function<void()> &step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The middle value (the upper one of an even count); 0 for no times.
inline double median(std::vector<double> times)
{
    if (times.empty())
        return 0.0;
    const auto middle = times.begin() + std::ptrdiff_t(times.size() / 2);
    std::nth_element(times.begin(), middle, times.end());
    return *middle;
}

// Median time in milliseconds of `runs` calls of step, after `warmUps` calls
// that are not timed (first-call costs: caches, lazy set-up, JIT).
inline double medianMs(int runs, const std::function<void()> &step, int warmUps = 1)
{
    for (int i = 0; i < warmUps; ++i)
        step();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(timeMs(step));
    return median(std::move(times));
}

} // namespace BenchTiming

#endif
