#ifndef TESSIVO_TESTS_IMPORTFUZZENTRY_H
#define TESSIVO_TESTS_IMPORTFUZZENTRY_H

#include <cstddef>
#include <cstdint>

// The photograph importer on arbitrary bytes, for a fuzzing harness
// (LLVMFuzzerTestOneInput calls it): the bytes are read as a photograph file
// with the reader's limits, and a picture small enough to analyse quickly
// goes through the whole analysis and the pictures and leaf samples a case
// would be written with. Nothing is written to disk. Needs a
// QGuiApplication (image plugins); returns 0, as harnesses expect.
int importFuzzEntry(const std::uint8_t *data, std::size_t size);

#endif
