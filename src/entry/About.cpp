// The about selector.
#include "entry/About.h"

#include "core/Error.h"
#include "core/ResultCodes.h"
#include "platform/Dialogs.h"

std::int16_t DoAbout(AboutRecord* record) {
    RequirePointer(record);
    if (record->platformData == nullptr)
        return paramErr;
    const auto* platform = static_cast<const PlatformData*>(record->platformData);
    // Whether the box could be shown is not the host's concern: the selector succeeded.
    ShowAboutBox(platform->hwnd);
    return noErr;
}
