#ifndef TESSIVO_TESTS_FUZZCHECK_H
#define TESSIVO_TESTS_FUZZCHECK_H

#include <cstddef>
#include <cstdint>
#include <string>

// The entry point of every fuzz target (one per fuzz_*.cpp): libFuzzer calls
// it with each generated input, the replay suite with each kept input.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

// A fuzz target's own checks. A failed check prints the file, line and
// condition (and the input's name, when the replay suite set one) and
// aborts: libFuzzer then keeps the input as a finding, and the replay suite
// fails on it.
[[noreturn]] void fuzzCheckFailed(const char *file, int line, const char *condition);
#define FUZZ_CHECK(condition) ((condition) ? void(0) : fuzzCheckFailed(__FILE__, __LINE__, #condition))

// Names the input that the following checks run on ("" for none).
void setFuzzInputName(const std::string &name);

#endif
