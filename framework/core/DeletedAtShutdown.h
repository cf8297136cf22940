#pragma once

namespace q9framework {

/** Base of process-wide objects that live until the framework's services end (the default font, the
    high-resolution counter's time base). Every instance enters a process-wide list when constructed
    and leaves it when destroyed; deleteAll() (run by ~FrameworkInitialiser) destroys whatever is
    still listed, newest first.
    Threads: meant for the main thread; the list is nevertheless locked, because some of these objects
    are made on first use by whichever thread gets there first (the host may construct instances on
    another thread than the one it idles the editor on). */
class DeletedAtShutdown {
public:
    DeletedAtShutdown(const DeletedAtShutdown&) = delete;
    DeletedAtShutdown& operator=(const DeletedAtShutdown&) = delete;

    /** Destroys every listed object, newest first. Objects created by those destructors are destroyed
        too, before this returns. */
    static void deleteAll();
    /** How many objects are listed now. */
    static int getNumInstances();

protected:
    DeletedAtShutdown();
    virtual ~DeletedAtShutdown();
};

} // namespace q9framework
