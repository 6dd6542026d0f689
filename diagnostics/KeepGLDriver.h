#ifndef TESSIVO_KEEPGLDRIVER_H
#define TESSIVO_KEEPGLDRIVER_H

// Keeps Mesa's DRI driver mapped until the process ends. Mesa unloads it when
// the display closes, so LeakSanitizer's exit-time check would show the
// driver's own leftovers as "<unknown module>", which no suppression can
// name; kept loaded, scripts/lsan.supp recognises them. In a sanitized build
// it also runs the process's one leak check right here, while every thread is
// settled: at exit, threads that Qt, glib and Mesa are ending race the check's
// thread suspension, which then crashes. Call it once the work is done,
// while the display that GL drew on is still open (a test suite's
// cleanupTestCase, a program's last step).
void keepGLDriverLoaded();

#endif
