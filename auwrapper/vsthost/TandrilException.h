#pragma once

#include <cstring>
#include <exception>

namespace q9framework {

/** The Audio Unit wrapper's failure: a fixed message, thrown anywhere inside the wrapper and turned
    into a status code only at its entry points (other code of this project never throws).
    The message is copied into the object, so it may be built from a temporary buffer; texts longer
    than 255 characters are cut. Copying never allocates, so throwing it cannot fail for memory. */
class TandrilException : public std::exception {
public:
    explicit TandrilException(const char* text) noexcept
    {
        message[0] = '\0';
        if (text != nullptr) {
            std::strncpy(message, text, sizeof message - 1);
            message[sizeof message - 1] = '\0';
        }
    }
    const char* what() const noexcept override { return message; }

private:
    char message[256];
};

} // namespace q9framework
