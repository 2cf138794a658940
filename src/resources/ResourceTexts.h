// Identifiers and texts of the module's resources, shared by the resource script and the
// code, so that the string table and the Linux stand-in for it cannot drift apart.
//
// Only preprocessor definitions: the resource compiler reads this file too. Texts are in
// the Windows ANSI code page (0xAE is the registered sign).
#pragma once

#define LUMETRA_MANIFEST_ID 2
#define LUMETRA_PIPL_ID 16000

// The about box and its controls.
#define LUMETRA_ABOUT_DIALOG_ID 16000
#define LUMETRA_ABOUT_OK_ID 1
#define LUMETRA_ABOUT_CANCEL_ID 2
#define LUMETRA_ABOUT_TEXT_ID 3

// The string table. Only the host-version warning is shown; the others are carried for
// the alerts that share the table's numbering. "^1" and "^2" are placeholders.
#define LUMETRA_STRING_INTEGER_RANGE_ID 16990
#define LUMETRA_STRING_INTEGER_RANGE "An integer is required between ^1 and ^2."
#define LUMETRA_STRING_DECIMAL_RANGE_ID 16991
#define LUMETRA_STRING_DECIMAL_RANGE "A decimal number is required between ^1 and ^2."
#define LUMETRA_STRING_HOST_VERSION_ID 16992
#define LUMETRA_STRING_HOST_VERSION                                                                \
    "This plug-in requires Adobe Photoshop\xAE ^1 or later functionality."
#define LUMETRA_STRING_HOST_INCOMPATIBLE_ID 16993
#define LUMETRA_STRING_HOST_INCOMPATIBLE                                                           \
    "This plug-in is incompatible with this version of the host program."
#define LUMETRA_STRING_SUITE_MISSING_ID 16994
#define LUMETRA_STRING_SUITE_MISSING "the required suite '^0' is unavailable"

// The about text: the title line (with the module's architecture), the host line and the
// maker's notice.
#define LUMETRA_ABOUT_TITLE_32 "Lumetra Plugin (32-Bit) v1.11\n\n\n"
#define LUMETRA_ABOUT_TITLE_64 "Lumetra Plugin (64-Bit) v1.11\n\n\n"
#define LUMETRA_ABOUT_HOST_LINE "A Filter plug-in module for Adobe Photoshop\xAE.\n\n"
#define LUMETRA_ABOUT_NOTICE "Copyright (C) Corvane. All rights reserved.\n"
