#include "KeepGLDriver.h"

#include <cstring>
#include <dlfcn.h>
#include <link.h>

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
}
