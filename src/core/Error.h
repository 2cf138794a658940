// The plug-in's one exception type and the checks that raise it.
//
// A missing pointer or argument is a programming error, not a condition of the data:
// it is thrown as EError and turned into the call's result by the dispatcher only.
#pragma once

#include <cstdint>

enum EError : std::int32_t {
    eErrorMissingArgument = -1715,
};

// Throws eErrorMissingArgument unless the condition holds.
inline void Require(bool condition) {
    if (!condition)
        throw eErrorMissingArgument;
}

// Returns the pointer, or throws eErrorMissingArgument when it is null.
template <typename T>
T* RequirePointer(T* pointer) {
    if (pointer == nullptr)
        throw eErrorMissingArgument;
    return pointer;
}
