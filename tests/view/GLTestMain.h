#ifndef TESSIVO_TESTS_GLTESTMAIN_H
#define TESSIVO_TESTS_GLTESTMAIN_H

#include <QApplication>
#include <QtTest>

// Mesa's software driver leaves allocations behind when a GL context goes
// away. By the time LeakSanitizer's exit-time check runs, Qt has closed the
// display and Mesa has unloaded the driver, so those frames show as
// "<unknown module>" and no suppression can name them. Sanitized suites
// therefore check for leaks once the tests are done, while the driver is
// still loaded and scripts/lsan.supp can recognise it.
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define TESSIVO_EARLY_LEAK_CHECK() __lsan_do_leak_check()
#else
#define TESSIVO_EARLY_LEAK_CHECK() ((void)0)
#endif

#define TESSIVO_GL_TEST_MAIN(TestObject)                                                           \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        QApplication app(argc, argv);                                                              \
        int result = 0;                                                                            \
        {                                                                                          \
            TestObject test;                                                                       \
            result = QTest::qExec(&test, argc, argv);                                              \
        }                                                                                          \
        TESSIVO_EARLY_LEAK_CHECK();                                                                \
        return result;                                                                             \
    }

#endif
