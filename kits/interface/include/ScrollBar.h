/*
 * BScrollBar: a bar with an arrow at each end and a thumb between them,
 * that shows and sets how far its target view has scrolled in one
 * direction. The value is the target's scroll position in that
 * direction; the range is how far it can go; the proportion is how much
 * of the whole the target shows (the thumb's share of the track).
 *
 * Moving the bar (arrows, dragging the thumb, clicking the track, the
 * wheel, SetValue()) scrolls the target; scrolling the target moves the
 * bar. An arrow or the track held down repeats its step while the
 * pointer stays on it; the track stops once the thumb reaches the
 * pointer. A bar whose range is empty draws without a thumb and ignores
 * the mouse.
 *
 * Threads: the window's, as any view.
 */
#ifndef _SCROLL_BAR_H
#define _SCROLL_BAR_H

#include <View.h>

class BMessageRunner;

// The thickness of a scroll bar across its direction.
#define B_V_SCROLL_BAR_WIDTH	14.0f
#define B_H_SCROLL_BAR_HEIGHT	14.0f

class BScrollBar : public BView {
public:
	// target may be NULL (SetTarget() later); min and max bound the value.
								BScrollBar(BRect frame, const char* name,
									BView* target, float min, float max,
									orientation direction);
	virtual						~BScrollBar();

	// Hook functions
	virtual	void				Draw(BRect updateRect);
	virtual	void				AttachedToWindow();
	virtual	void				MessageReceived(BMessage* message);
	virtual	void				MouseDown(BPoint where);
	virtual	void				MouseUp(BPoint where);
	virtual	void				MouseMoved(BPoint where, uint32 transit,
									const BMessage* dragMessage);
	virtual	void				FrameResized(float width, float height);
	// Called whenever the value changes; the default scrolls the target
	// to the new value.
	virtual	void				ValueChanged(float newValue);

	// Value, range and steps
	// Kept within the range and rounded to whole units.
			void				SetValue(float value);
			float				Value() const;
	// The share of the whole that the target shows, 0 to 1 (taken as
	// within those).
			void				SetProportion(float proportion);
			float				Proportion() const;
	// A max below min is taken as min. The value is brought into the
	// new range.
			void				SetRange(float min, float max);
			void				GetRange(float* _min, float* _max) const;
	// The arrows move by the small step, a click in the track by the big
	// one. Both at least 1; 1 and 10 at the start.
			void				SetSteps(float smallStep, float largeStep);
			void				GetSteps(float* _smallStep,
									float* _largeStep) const;

	// The target
	// A view takes only one bar per direction: the bar it had in this
	// direction lets go of it. NULL leaves the bar without a target.
			void				SetTarget(BView* target);
	// The view of that name in the bar's window.
			void				SetTarget(const char* targetName);
			BView*				Target() const;
			orientation			Orientation() const;

	// As long as the bar is and as thick as B_V_SCROLL_BAR_WIDTH or
	// B_H_SCROLL_BAR_HEIGHT.
	virtual	void				GetPreferredSize(float* _width,
									float* _height);

private:
	friend class BView;

	// What is under a point of the bar.
	enum part {
		kNoPart,
		kDecrementArrow,
		kIncrementArrow,
		kTrackBefore,
		kTrackAfter,
		kThumb
	};

	// Along the bar: the coordinate of a point, and the bar's length.
			float				_Along(BPoint point) const;
			float				_Length() const;
	// The thumb's first and last coordinate along the bar.
			void				_ThumbSpan(float& _start, float& _end) const;
			part				_PartAt(BPoint where) const;
			bool				_IsUsable() const;
			void				_DrawArrow(BRect rect, bool decrement,
									bool pressed);
			void				_DrawThumb(BRect rect);
	// One step of the pressed arrow or track, if the pointer is still on
	// it; the repeating that a held button does.
			void				_Step(part pressed);
			void				_Repeat();
			void				_StopRepeating();
	// Called by the target as it goes away, and as it scrolls.
			void				_TargetGone();
			void				_TargetScrolled(float value);

			BView*				fTarget;
			float				fValue;
			float				fMin;
			float				fMax;
			float				fProportion;
			float				fSmallStep;
			float				fLargeStep;
			orientation			fOrientation;
	// The part that the held mouse button went down on, and for the thumb
	// where on it (along the bar) it was grabbed.
			part				fPressed;
			float				fGrabOffset;
	// Where the pointer is while the button is held, and what sends the
	// repeats meanwhile.
			BPoint				fPointer;
			BMessageRunner*		fRepeater;
};

#endif	// _SCROLL_BAR_H
