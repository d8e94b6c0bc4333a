/*
 * The program's message codes. Every command and notice between Orvane's
 * objects is a BMessage with one of these `what` codes; the platform's own
 * codes (B_QUIT_REQUESTED, B_REFS_RECEIVED, ...) come from <AppDefs.h>.
 *
 * The first two letters group them: FF File menu, FE Edit menu searches,
 * FX Extras menu, FM messages between the program's own objects.
 */
#ifndef MESSAGE_CODES_H
#define MESSAGE_CODES_H

#include <AppDefs.h>
#include <SupportDefs.h>

// File menu
const uint32 kMsgNew				= 'FFne';	// application: untitled window
const uint32 kMsgOpen				= 'FFop';	// application: the Open panel
const uint32 kMsgClose				= 'FFcl';	// window: close without asking
const uint32 kMsgSave				= 'FFsv';	// window
const uint32 kMsgSaveAs				= 'FFsa';	// window
const uint32 kMsgPageSetup			= 'FFps';	// text view
const uint32 kMsgPrint				= 'FFpr';	// text view

// Edit menu searches, all handled by the text view
const uint32 kMsgFind				= 'FEfi';	// open the find dialog
const uint32 kMsgFindAgain			= 'FEfa';	// with the last search text
const uint32 kMsgReplace			= 'FEre';	// open the replace dialog
const uint32 kMsgReplaceSame		= 'FErs';	// replace once, last texts

// Extras menu
const uint32 kMsgSettings			= 'FXse';	// application: settings window

// Between the program's objects
// A settings record ("LineLength", "FontFamily", "FontSize"); wherever it
// arrives it is the instruction to apply these settings.
const uint32 kMsgSettingsRecord		= 'FMpr';
const uint32 kMsgWindowClosed		= 'FMuw';	// to the application
const uint32 kMsgTextChanged		= 'FMsn';	// first change since clean
// To a document window from its recovery journal, with "generation"
// (int32): the journal needs the whole text.
const uint32 kMsgJournalSnapshot	= 'FMjs';

// Search requests, with "Find" and, for replacing, "ReplaceWith"
const uint32 kMsgSearchFind			= 'FMse';
const uint32 kMsgSearchReplace		= 'FMre';
const uint32 kMsgSearchReplaceAll	= 'FMra';

// Dialog buttons and notices
const uint32 kMsgApply				= 'FMap';	// settings window: Apply
const uint32 kMsgCancel				= 'FMca';	// both dialogs: close
const uint32 kMsgDefaults			= 'FMde';	// settings window: Default
const uint32 kMsgSettingsMatch		= 'FMdf';	// controls match the applied
const uint32 kMsgLineLengthEdited	= 'FMlc';
const uint32 kMsgFontSizeChosen		= 'FMsc';

// Two codes carry a second meaning in the settings window. No receiver
// gets both kinds, so they share their values.
const uint32 kMsgRevert				= 'FMre';	// settings window: Revert
const uint32 kMsgFontFamilyChosen	= 'FMfc';	// settings window
const uint32 kMsgFindTextEdited		= 'FMfc';	// find and replace dialog

#endif	// MESSAGE_CODES_H
