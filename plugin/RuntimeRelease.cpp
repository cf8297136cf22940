/*  The module carries its own static C++ runtime, which allocates an emergency pool for exceptions
    (72 KB) when the module is loaded. A host that unloads the module after a scan and loads it again
    would lose that block on every cycle: hand it back as the module is unloaded. No exception can be in
    flight by then; should one be thrown later all the same, its memory simply comes from malloc. */

namespace __gnu_cxx {
void __freeres() noexcept;   // the static runtime's own release of the pool (made for leak checkers)
}

namespace {

__attribute__((destructor)) void releaseRuntimePool()
{
    __gnu_cxx::__freeres();
}

} // namespace
