// Linked into every test program of a sanitizer build: every module the process loads (the plug-in,
// the test effects, the GL driver, ...) stays mapped after its last dlclose, so what the leak checker
// reports at exit still has frames it can name and suppressions can match. Tests that prove a module
// unloads skip that check in these builds.
#include <dlfcn.h>

extern "C" __attribute__((visibility("default"))) void* dlopen(const char* file, int mode)
{
    using Open = void* (*)(const char*, int);
    static const Open next = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "dlopen"));
    return next(file, mode | RTLD_NODELETE);
}
