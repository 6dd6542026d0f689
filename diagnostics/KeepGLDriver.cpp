#include "KeepGLDriver.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <link.h>

#if defined(__SANITIZE_ADDRESS__)
#include <QCoreApplication>
#include <QEvent>
#include <QThreadPool>
#include <sanitizer/lsan_interface.h>
#endif

namespace {
int pinDriver(struct dl_phdr_info *info, size_t, void *)
{
    if (info->dlpi_name && std::strstr(info->dlpi_name, "_dri.so"))
        dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}
}

void keepGLDriverLoaded()
{
    dl_iterate_phdr(pinDriver, nullptr);
#if defined(__SANITIZE_ADDRESS__)
    // Everything still allocated is reachable from the living objects; the
    // end-of-process check does not run again after this one. Objects
    // waiting for deletion go first, and the pool's idle threads end before
    // the check rather than during it.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QThreadPool::globalInstance()->waitForDone();
    __lsan_do_leak_check();
#endif
}
