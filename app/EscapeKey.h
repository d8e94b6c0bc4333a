/*
 * The dialogs' Escape key: a key press of Escape becomes the dialog's
 * cancel command before the window dispatches it, whichever control has
 * the keyboard.
 */
#ifndef ESCAPE_KEY_H
#define ESCAPE_KEY_H

#include <InterfaceDefs.h>
#include <Message.h>


// Turns a B_KEY_DOWN of Escape into an empty message with the code
// `command`; leaves every other message as it is.
inline void
TurnEscapeInto(BMessage* message, uint32 command)
{
	int8 byte;
	if (message->what == B_KEY_DOWN
		&& message->FindInt8("byte", 0, &byte) == B_OK
		&& byte == B_ESCAPE) {
		message->MakeEmpty();
		message->what = command;
	}
}

#endif	// ESCAPE_KEY_H
