/*
 * Input: the input method protocol. An input method (the composition of
 * Chinese, Japanese or Korean text) shows what it composes inside the
 * focus view when that view has B_INPUT_METHOD_AWARE, through
 * B_INPUT_METHOD_EVENT messages with one of these in "be:opcode":
 *
 *   B_INPUT_METHOD_STARTED: a composition begins.
 *   B_INPUT_METHOD_CHANGED: "be:string" is the whole text composed so
 *     far, "be:selection" two int32 byte offsets into it (the part the
 *     method works on; equal for a caret), "be:clause_start" and
 *     "be:clause_end" one int32 each for every clause, and "be:confirmed"
 *     true when the text is final: the view then types it.
 *   B_INPUT_METHOD_STOPPED: the composition is over; what was not
 *     confirmed is dropped.
 *   B_INPUT_METHOD_LOCATION_REQUEST: the method asks where the text it
 *     composes is shown, to put its candidate window beside it.
 *
 * The focus view of a window that is not aware of input methods gets
 * confirmed text as key downs.
 */
#ifndef _INPUT_H
#define _INPUT_H

enum {
	B_INPUT_METHOD_STARTED				= 0,
	B_INPUT_METHOD_STOPPED				= 1,
	B_INPUT_METHOD_CHANGED				= 2,
	B_INPUT_METHOD_LOCATION_REQUEST		= 3
};

#endif	// _INPUT_H
