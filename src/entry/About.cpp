// The about selector.
#include "entry/About.h"

#include "entry/Error.h"
#include "host/HostConstants.h"

std::int16_t DoAbout(AboutRecord* record) {
    RequirePointer(record);
    if (record->platformData == nullptr)
        return paramErr;
    // The dialog itself arrives with the module's resources.
    return noErr;
}
