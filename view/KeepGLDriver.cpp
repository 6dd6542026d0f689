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
}

void keepGLDriverLoaded()
{
    dl_iterate_phdr(pinDriver, nullptr);
#if defined(__SANITIZE_ADDRESS__)
    // Everything still allocated is reachable from the living objects; the
    // end-of-process check does not run again after this one.
    __lsan_do_leak_check();
#endif
}
