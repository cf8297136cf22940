#pragma once

// The wrapper's failures besides TandrilException itself, and the status codes they become.
// Everything inside the wrapper throws; only the entry points (TandrilEntry) turn what was thrown into
// an OSStatus, through statusFromCurrentException.

#include "auwrapper/platform/AudioUnitInterface.h"
#include "auwrapper/vsthost/TandrilException.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

namespace q9framework {

/** Malformed data: an FXP/FXB image, a preset dictionary or a configuration value of the wrong type. */
class FormatException : public TandrilException {
public:
    using TandrilException::TandrilException;
};

/** Data ended before a field that had to be there. Reported to the host as eofErr (-39). */
class EOFException : public TandrilException {
public:
    using TandrilException::TandrilException;
};

/** A platform or Audio Unit status to hand back to the host unchanged. Deliberately not a
    TandrilException: a handler that reports those as -32767 must let these pass with their code. */
class MacOSException : public std::exception {
public:
    explicit MacOSException(int32_t status) noexcept : code(status) { message[0] = '\0'; }

    int32_t getCode() const noexcept { return code; }
    /** "Mac OS error code <n>", formatted on first use into the object's own buffer. */
    const char* what() const noexcept override
    {
        if (message[0] == '\0')
            std::snprintf(message, sizeof message, "Mac OS error code %d", static_cast<int>(code));
        return message;
    }

private:
    mutable char message[256];
    int32_t code;
};

/** Throws MacOSException(status) unless status is 0. For platform calls that answer a status. */
inline void throwIfError(int32_t status)
{
    if (status != 0)
        throw MacOSException(status);
}

/** What the entry reports for a failure that carries no status of its own. Not a named platform code. */
constexpr OSStatus otherExceptionStatus = -32767;

/** Call from inside a catch block only: the status the entry point reports for what is being handled.
    MacOSException: its code; EOFException: -39; allocation failure: -108; anything else: -32767. */
inline int32_t statusFromCurrentException() noexcept
{
    try {
        throw;
    } catch (const MacOSException& e) {
        return e.getCode();
    } catch (const EOFException&) {
        return eofErr;
    } catch (const std::bad_alloc&) {
        return memFullErr;
    } catch (...) {
        return otherExceptionStatus;
    }
}

} // namespace q9framework
