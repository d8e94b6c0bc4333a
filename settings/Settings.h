/*
 * The settings record and the settings file.
 *
 * A settings record is a BMessage whose what is 'FMpr' with three fields:
 * LineLength (int32, the text width in widths of "M"), FontFamily (string)
 * and FontSize (int32, whole points). Wherever such a record arrives it is
 * the instruction to apply it. The record persists between runs as one
 * flattened message in the file "Orvane" of the user settings directory.
 *
 * The functions may be called from any thread; each works only on the
 * record it is given and on the settings file. None of them reports a
 * result: every problem is printed and the record stays usable.
 */
#ifndef SETTINGS_H
#define SETTINGS_H

#include <Message.h>

// The names of the record's fields.
extern const char* LineLength;
extern const char* FontFamily;
extern const char* FontSize;

// The settings file's name inside the user settings directory.
extern const char* kSettingsFileName;

// Sets what to 'FMpr' and adds the built-in values: a line length of 255
// and the family and (truncated) size of the fixed-width font. Adds to
// what the record holds; callers give it an empty message.
void DefaultSettings(BMessage* record);

// Fills the record with the defaults, then replaces it whole with the
// settings file's record when the file can be read. A file that cannot be
// read whole (corrupt, truncated, unreadable) leaves the defaults in force.
void LoadSettings(BMessage* record);

// Writes the record to the settings file, replacing what was there.
void SaveSettings(BMessage* record);

#endif	// SETTINGS_H
