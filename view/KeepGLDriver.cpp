#include "KeepGLDriver.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <link.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {
int pinDriver(struct dl_phdr_info *info, size_t, void *)
{
    if (info->dlpi_name && std::strstr(info->dlpi_name, "_dri.so"))
        dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

#if defined(__SANITIZE_ADDRESS__)
void leakCheckAtExit()
{
    __lsan_do_leak_check();
}
#endif
}

void keepGLDriverLoaded()
{
    dl_iterate_phdr(pinDriver, nullptr);
#if defined(__SANITIZE_ADDRESS__)
    // Exit handlers run last-registered first: this one runs before those that
    // Mesa registered while the tests ran, whose thread teardown can race
    // LeakSanitizer's own check at the very end.
    static const bool registered = std::atexit(leakCheckAtExit) == 0;
    (void)registered;
#endif
}
