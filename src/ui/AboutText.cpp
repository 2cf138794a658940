// The about text, assembled from the texts shared with the resource script.
#include "ui/AboutText.h"

#include "resources/ResourceTexts.h"

std::string AboutText() {
    // The same source builds both Windows modules (and the Linux one, which is 64-bit):
    // the pointer size tells which one this is.
    const char* title = sizeof(void*) == 4 ? LUMETRA_ABOUT_TITLE_32 : LUMETRA_ABOUT_TITLE_64;
    return std::string(title) + LUMETRA_ABOUT_HOST_LINE + LUMETRA_ABOUT_NOTICE;
}
