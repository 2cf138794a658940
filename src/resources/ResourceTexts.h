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

// The string table. Of the first five only the host-version warning is shown; the others
// are carried for the alerts that share the table's numbering. "^1" and "^2" are
// placeholders.
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

// Why a run could not go ahead: one text per cause, shown once before the run returns.
// "^1" is the file or folder the plug-in used, "^2" the system's own message or the
// variable to set. Plain ASCII only, on one line: the paths are the only text that may be
// in another encoding, and the Linux port records each text as one line.
#define LUMETRA_STRING_SETTINGS_MISSING_ID 16995
#define LUMETRA_STRING_SETTINGS_MISSING                                                            \
    "Lumetra found no settings file at ^1. Create it there with two lines, each ended by CR "      \
    "LF: [General] and ApplicationPath= followed by the folder that holds Lumetra.exe."
#define LUMETRA_STRING_SETTINGS_LINE_ENDS_ID 16996
#define LUMETRA_STRING_SETTINGS_LINE_ENDS                                                          \
    "The settings file ^1 names no program folder: its lines must end with CR LF (carriage "       \
    "return and line feed), the last line too. Save it again with Windows line ends."
#define LUMETRA_STRING_SETTINGS_BYTE_ORDER_MARK_ID 16997
#define LUMETRA_STRING_SETTINGS_BYTE_ORDER_MARK                                                    \
    "The settings file ^1 names no program folder: it starts with a byte-order mark. Save it "     \
    "again as ANSI text, without a byte-order mark."
#define LUMETRA_STRING_SETTINGS_NO_KEY_ID 16998
#define LUMETRA_STRING_SETTINGS_NO_KEY                                                             \
    "The settings file ^1 names no program folder: it has no line ApplicationPath= after the "     \
    "line [General]. Add both lines, each ended by CR LF."
#define LUMETRA_STRING_SETTINGS_EMPTY_VALUE_ID 16999
#define LUMETRA_STRING_SETTINGS_EMPTY_VALUE                                                        \
    "The settings file ^1 names no program folder: its line ApplicationPath= is empty. Write "     \
    "the folder that holds Lumetra.exe after the equals sign."
#define LUMETRA_STRING_SETTINGS_BRACKETS_ID 17000
#define LUMETRA_STRING_SETTINGS_BRACKETS                                                           \
    "The settings file ^1 names no program folder: the folder in its ApplicationPath line has "    \
    "square brackets, which the file cannot hold in a value. Put Lumetra.exe in a folder "         \
    "without [ or ] and name that one."
#define LUMETRA_STRING_SETTINGS_TOO_LONG_ID 17001
#define LUMETRA_STRING_SETTINGS_TOO_LONG                                                           \
    "The settings file ^1 names no program folder: it is longer than 1022 bytes. It needs only "   \
    "the lines [General] and ApplicationPath= with the folder that holds Lumetra.exe."
#define LUMETRA_STRING_SETTINGS_UNREADABLE_ID 17002
#define LUMETRA_STRING_SETTINGS_UNREADABLE                                                         \
    "The settings file ^1 cannot be read. Make sure it is a plain file that you may read."
#define LUMETRA_STRING_PROGRAM_NOT_STARTED_ID 17003
#define LUMETRA_STRING_PROGRAM_NOT_STARTED                                                         \
    "Lumetra could not start the program ^1: ^2 Make sure the ApplicationPath line of the "        \
    "settings file names the folder that holds Lumetra.exe."
#define LUMETRA_STRING_FOLDER_BUSY_ID 17004
#define LUMETRA_STRING_FOLDER_BUSY                                                                 \
    "Another run of the filter is using the working folder ^1. Finish that run first (close the "  \
    "program it started), then run the filter again."
#define LUMETRA_STRING_TEMP_FOLDER_ID 17005
#define LUMETRA_STRING_TEMP_FOLDER                                                                 \
    "Lumetra cannot use the folder ^1 for the files it exchanges with the program: its name "      \
    "has characters outside the system's code page and no short name, its path is too long, or "   \
    "it cannot be created or written. Set ^2 to a plain temporary folder (ASCII letters only) "    \
    "and run the filter again."
#define LUMETRA_STRING_PROFILE_FOLDER_ID 17006
#define LUMETRA_STRING_PROFILE_FOLDER                                                              \
    "Lumetra cannot use your profile folder ^1, where it looks for its settings file: its name "   \
    "has characters outside the system's code page and no short name, or the system names no "     \
    "such folder."
#define LUMETRA_STRING_EARLIER_FILE_HELD_ID 17007
#define LUMETRA_STRING_EARLIER_FILE_HELD                                                           \
    "Lumetra cannot remove ^1, which an earlier run left in its working folder, and could not "    \
    "tell it from the program's new result. Close the program that has it open (an image "         \
    "viewer, a virus scanner, a backup tool, or Lumetra.exe), or remove it by hand, then run the " \
    "filter again."

// The about text: the title line (with the module's architecture), the host line and the
// maker's notice.
#define LUMETRA_ABOUT_TITLE_32 "Lumetra Plugin (32-Bit) v1.11\n\n\n"
#define LUMETRA_ABOUT_TITLE_64 "Lumetra Plugin (64-Bit) v1.11\n\n\n"
#define LUMETRA_ABOUT_HOST_LINE "A Filter plug-in module for Adobe Photoshop\xAE.\n\n"
#define LUMETRA_ABOUT_NOTICE "Copyright (C) Corvane. All rights reserved.\n"
