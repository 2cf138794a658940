// A module built only for the tests of the test host: it exports a function, but not
// the entry point its property list (or, on Linux, the host's fixed name) asks for.
#include "platform/CallingConvention.h"

extern "C" PLUGIN_EXPORT int HOST_API NotTheEntryPoint() {
    return 0;
}
