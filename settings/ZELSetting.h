/*
 * ZELSetting: the settings window behind Extras > Settings. It shows the
 * line length, the font family and the font size of a settings record,
 * lets the user edit them and sends the result to the application, which
 * makes it the current record and passes it to every window.
 *
 * Apply sends what the controls show; Revert shows again what this
 * window applied last (or what was current when it opened); Default
 * shows and sends the built-in defaults; Cancel, Escape and the close box
 * close the window without sending anything. Apply and Revert are
 * enabled only while the controls have been edited since they last
 * matched a record.
 *
 * Threads: built on the application's thread; everything else runs on
 * the window's own thread.
 *
 * Owns: copies of the two records it was given; the controls belong to
 * its view tree.
 */
#ifndef ZEL_SETTING_H
#define ZEL_SETTING_H

#include <Message.h>
#include <Window.h>

class BButton;
class BTextControl;
class ZELFontField;
class ZELFontSize;


class ZELSetting : public BWindow {
public:
	// Shows itself, with the controls loaded from current. Both records
	// are copied.
								ZELSetting(BRect frame, BMessage* current,
									BMessage* defaults);
	virtual						~ZELSetting();

	// Loads the controls from the record's fields; a missing field leaves
	// its control as it was. Always true.
			bool				InitByMsg(BMessage* record);
	// Adds the three fields to the empty record. False, adding nothing,
	// when the line length text does not begin with a number.
			bool				ExtractToMsg(BMessage* record);

	virtual	void				MessageReceived(BMessage* message);
	virtual	void				DispatchMessage(BMessage* message,
									BHandler* handler);

private:
			void				_BuildControls();
			float				_Divider();
			void				_PlaceButtons();
			BButton*			_AddButton(const char* label, uint32 what);
			void				_Apply();
			void				_ShowInStep();
			void				_ShowEdited();

	// What this window applied last; the source of Revert.
			BMessage			fAppliedRecord;
	// The built-in defaults; the source of Default.
			BMessage			fDefaultRecord;
			BTextControl*		fLineLength;
			BButton*			fApplyButton;
			BButton*			fRevertButton;
			BButton*			fDefaultButton;
			BButton*			fCancelButton;
			ZELFontField*		fFontField;
			ZELFontSize*		fSizeField;
};

#endif	// ZEL_SETTING_H
