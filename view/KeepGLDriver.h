#ifndef TESSIVO_TESTS_KEEPGLDRIVER_H
#define TESSIVO_TESTS_KEEPGLDRIVER_H

// Keeps Mesa's DRI driver mapped until the process ends. Mesa unloads it when
// the display closes, so LeakSanitizer's exit-time check would show the
// driver's own leftovers as "<unknown module>", which no suppression can
// name; kept loaded, scripts/lsan.supp recognises them. In a sanitized build
// the leak check also runs at exit before Mesa's own exit handlers stop its
// threads. Call it while a GL context exists (a test suite's cleanupTestCase,
// a program's last drawing).
void keepGLDriverLoaded();

#endif
