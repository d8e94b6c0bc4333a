/*
 * BView: a rectangle of a window that draws itself and receives the
 * user's input. Views form a tree: each has a frame in its parent's
 * coordinates and its own coordinate system, whose visible part is its
 * bounds (scrolling moves the bounds). A view's resizing mode says how
 * its frame follows when its parent changes size.
 *
 * Threads: a view attached to a window is used on the window's thread,
 * or by a thread that holds the window's lock. A view that is in no
 * window may be set up from any one thread.
 *
 * Owns: its children (deleting a view deletes them) and its drawing
 * state. A view must be removed from its parent before it is deleted by
 * anyone but its parent.
 */
#ifndef _VIEW_H
#define _VIEW_H

#include <Font.h>
#include <GraphicsDefs.h>
#include <Handler.h>
#include <InterfaceDefs.h>
#include <Rect.h>

#include <vector>

class BMessage;
class BRegion;
class BScrollBar;
class BWindow;

namespace BPrivate {
struct view_state;
}

// Resizing modes: for each edge of the frame, which edge of the parent
// it keeps its distance to. A mode is four 4-bit rules, top, left,
// bottom and right from the high nibble down; a rule of 0 keeps the edge
// where it is, like following the parent's left or top edge.
enum {
	_VIEW_TOP_		= 1,
	_VIEW_LEFT_		= 2,
	_VIEW_BOTTOM_	= 3,
	_VIEW_RIGHT_	= 4,
	_VIEW_CENTER_	= 5
};

inline constexpr uint32
_rule_(uint32 top, uint32 left, uint32 bottom, uint32 right)
{
	return (top << 12) | (left << 8) | (bottom << 4) | right;
}

#define B_FOLLOW_NONE			0
#define B_FOLLOW_ALL_SIDES		_rule_(_VIEW_TOP_, _VIEW_LEFT_, _VIEW_BOTTOM_, \
									_VIEW_RIGHT_)
#define B_FOLLOW_ALL			B_FOLLOW_ALL_SIDES

#define B_FOLLOW_LEFT			_rule_(0, _VIEW_LEFT_, 0, _VIEW_LEFT_)
#define B_FOLLOW_RIGHT			_rule_(0, _VIEW_RIGHT_, 0, _VIEW_RIGHT_)
#define B_FOLLOW_LEFT_RIGHT		_rule_(0, _VIEW_LEFT_, 0, _VIEW_RIGHT_)
#define B_FOLLOW_H_CENTER		_rule_(0, _VIEW_CENTER_, 0, _VIEW_CENTER_)

#define B_FOLLOW_TOP			_rule_(_VIEW_TOP_, 0, _VIEW_TOP_, 0)
#define B_FOLLOW_BOTTOM			_rule_(_VIEW_BOTTOM_, 0, _VIEW_BOTTOM_, 0)
#define B_FOLLOW_TOP_BOTTOM		_rule_(_VIEW_TOP_, 0, _VIEW_BOTTOM_, 0)
#define B_FOLLOW_V_CENTER		_rule_(_VIEW_CENTER_, 0, _VIEW_CENTER_, 0)

// View flags; they share the word with the resizing mode (its low 16
// bits).
enum {
	B_FULL_UPDATE_ON_RESIZE	= 0x80000000UL,
	B_WILL_DRAW				= 0x20000000UL,
	B_PULSE_NEEDED			= 0x10000000UL,
	B_NAVIGABLE_JUMP		= 0x08000000UL,
	B_FRAME_EVENTS			= 0x04000000UL,
	B_NAVIGABLE				= 0x02000000UL,
	B_SUBPIXEL_PRECISE		= 0x01000000UL,
	B_DRAW_ON_CHILDREN		= 0x00800000UL,
	B_INPUT_METHOD_AWARE	= 0x00400000UL
};

// SetMouseEventMask()
enum {
	B_POINTER_EVENTS		= 0x00000001,
	B_KEYBOARD_EVENTS		= 0x00000002
};

enum {
	B_LOCK_WINDOW_FOCUS		= 0x00000001,
	B_SUSPEND_VIEW_FOCUS	= 0x00000002,
	B_NO_POINTER_HISTORY	= 0x00000004,
	B_FULL_POINTER_HISTORY	= 0x00000008
};

class BView : public BHandler {
public:
	// resizingMode is one of the B_FOLLOW_ modes, flags the view flags
	// above.
								BView(BRect frame, const char* name,
									uint32 resizingMode, uint32 flags);
	// Deletes the children. A view still in a parent is removed first.
	virtual						~BView();

	// Hook functions
	virtual	void				AttachedToWindow();
	virtual	void				AllAttached();
	virtual	void				DetachedFromWindow();
	virtual	void				AllDetached();

	virtual	void				MessageReceived(BMessage* message);
	virtual	void				Draw(BRect updateRect);
	// Called after the children have drawn, for views with both
	// B_WILL_DRAW and B_DRAW_ON_CHILDREN (without that flag a view's
	// drawing never covers its children).
	virtual	void				DrawAfterChildren(BRect updateRect);
	// The default moves the focus to the next (previous with Shift)
	// navigable view when the key is Tab; other keys are ignored.
	virtual	void				KeyDown(const char* bytes, int32 numBytes);
	virtual	void				KeyUp(const char* bytes, int32 numBytes);
	virtual	void				MouseDown(BPoint where);
	virtual	void				MouseUp(BPoint where);
	virtual	void				MouseMoved(BPoint where, uint32 transit,
									const BMessage* dragMessage);
	// Only for views with B_FRAME_EVENTS.
	virtual	void				FrameMoved(BPoint newPosition);
	virtual	void				FrameResized(float newWidth, float newHeight);
	// Only for views with B_PULSE_NEEDED.
	virtual	void				Pulse();
	virtual	void				WindowActivated(bool active);
	virtual	void				MakeFocus(bool focus = true);

	// The view hierarchy
	// A view joins one parent at a time: adding a view that has a parent
	// already is a programmer error. With before, the child goes in
	// front of that sibling (which must be a child of this view).
			void				AddChild(BView* child, BView* before = NULL);
	// False when the child is not a child of this view.
			bool				RemoveChild(BView* child);
	// Removes the view from its parent (or from its window's top level).
			bool				RemoveSelf();
			int32				CountChildren() const;
	// NULL outside 0 .. CountChildren() - 1.
			BView*				ChildAt(int32 index) const;
			BView*				NextSibling() const;
			BView*				PreviousSibling() const;
	// NULL for a view at the top level of its window.
			BView*				Parent() const;
			BWindow*			Window() const;
	// Searches this view's descendants (not the view itself) in tree
	// order; NULL when none has the name.
			BView*				FindView(const char* name) const;

	// Geometry. Frame() is in the parent's coordinates; Bounds() in the
	// view's own, its left top being where the view has scrolled to.
			BRect				Frame() const;
			BRect				Bounds() const;
			void				MoveBy(float dh, float dv);
			void				MoveTo(BPoint where);
			void				MoveTo(float x, float y);
	// Sizes below zero are taken as zero.
			void				ResizeBy(float dh, float dv);
			void				ResizeTo(float width, float height);
	// Scrolling moves the view's scroll bars along.
	virtual	void				ScrollTo(BPoint where);
			void				ScrollBy(float dh, float dv);
	// The bar that scrolls the view in that direction; NULL for none.
			BScrollBar*			ScrollBar(orientation direction) const;

	// Hide() and Show() nest: a view hidden twice needs two Show()s.
	virtual	void				Hide();
	virtual	void				Show();
	// True when the view or one of its ancestors is hidden.
			bool				IsHidden() const;
			bool				IsHidden(const BView* looking) const;

	virtual	void				GetPreferredSize(float* _width,
									float* _height);
	virtual	void				ResizeToPreferred();

			uint32				ResizingMode() const;
			void				SetResizingMode(uint32 mode);
			uint32				Flags() const;
			void				SetFlags(uint32 flags);

	// Coordinate conversion
			BPoint				ConvertToParent(BPoint point) const;
			void				ConvertToParent(BPoint* point) const;
			BPoint				ConvertFromParent(BPoint point) const;
			void				ConvertFromParent(BPoint* point) const;
			BRect				ConvertToParent(BRect rect) const;
			void				ConvertToParent(BRect* rect) const;
			BRect				ConvertFromParent(BRect rect) const;
			void				ConvertFromParent(BRect* rect) const;
	// Window coordinates have the content area's left top at 0, 0; a
	// view in no window converts as if its top ancestor were at 0, 0.
			BPoint				ConvertToWindow(BPoint point) const;
			void				ConvertToWindow(BPoint* point) const;
			BPoint				ConvertFromWindow(BPoint point) const;
			void				ConvertFromWindow(BPoint* point) const;
			BRect				ConvertToWindow(BRect rect) const;
			void				ConvertToWindow(BRect* rect) const;
			BRect				ConvertFromWindow(BRect rect) const;
			void				ConvertFromWindow(BRect* rect) const;
			BPoint				ConvertToScreen(BPoint point) const;
			void				ConvertToScreen(BPoint* point) const;
			BPoint				ConvertFromScreen(BPoint point) const;
			void				ConvertFromScreen(BPoint* point) const;
			BRect				ConvertToScreen(BRect rect) const;
			void				ConvertToScreen(BRect* rect) const;
			BRect				ConvertFromScreen(BRect rect) const;
			void				ConvertFromScreen(BRect* rect) const;

	// Focus and the mouse
			bool				IsFocus() const;
	// The pointer in this view's coordinates and the buttons held, as the
	// display server last saw them. The pending messages of the queue
	// are not looked at, whatever checkQueue says.
			void				GetMouse(BPoint* location, uint32* buttons,
									bool checkQueue = true);
	// Only while a mouse button is held (from MouseDown()): with
	// B_POINTER_EVENTS the view gets every mouse move and the mouse up
	// until all buttons are released, wherever the pointer goes.
			status_t			SetMouseEventMask(uint32 mask,
									uint32 options = 0);
			status_t			SetEventMask(uint32 mask, uint32 options = 0);
			uint32				EventMask();

	// Colours and drawing state
	// B_TRANSPARENT_COLOR leaves the background as it is before Draw().
	virtual	void				SetViewColor(rgb_color color);
			void				SetViewColor(uchar r, uchar g, uchar b,
									uchar a = 255);
			rgb_color			ViewColor() const;

	virtual	void				SetHighColor(rgb_color color);
			void				SetHighColor(uchar r, uchar g, uchar b,
									uchar a = 255);
			rgb_color			HighColor() const;
	virtual	void				SetLowColor(rgb_color color);
			void				SetLowColor(uchar r, uchar g, uchar b,
									uchar a = 255);
			rgb_color			LowColor() const;
	virtual	void				SetDrawingMode(drawing_mode mode);
			drawing_mode		DrawingMode() const;
	// Widths below zero are taken as zero; a width of 0 draws as 1.
	virtual	void				SetPenSize(float size);
			float				PenSize() const;
	// Takes the parts of font that mask names.
	virtual	void				SetFont(const BFont* font,
									uint32 mask = B_FONT_ALL);
			void				GetFont(BFont* font) const;
			void				SetFontSize(float size);
			void				GetFontHeight(font_height* height) const;
			float				StringWidth(const char* string) const;
			float				StringWidth(const char* string,
									int32 length) const;

	// The origin moves the coordinate system that drawing uses (not the
	// bounds); it adds to the origin of the states pushed before.
			void				SetOrigin(BPoint origin);
			void				SetOrigin(float x, float y);
			BPoint				Origin() const;

	// Limits drawing to the region (view coordinates), on top of the
	// view's visible area. NULL lifts the limit of this state.
	virtual	void				ConstrainClippingRegion(BRegion* region);
	// Narrows the current clipping to the rectangle.
			void				ClipToRect(BRect rect);
	// The area drawing reaches now, in view coordinates.
			void				GetClippingRegion(BRegion* region) const;

	// Saves the drawing state (colours, pen, font, origin, clipping);
	// PopState() restores the last one saved and does nothing when none
	// is.
			void				PushState();
			void				PopState();

			void				MovePenTo(BPoint point);
			void				MovePenTo(float x, float y);
			void				MovePenBy(float x, float y);
			BPoint				PenLocation() const;

	// Drawing. Coordinates name pixels: a line or outline covers the
	// pixels its ends and corners name, a filled rectangle every pixel
	// from its left top to its right bottom, both inclusive. The pattern
	// picks the high or the low colour. Calls on a view that is in no
	// window do nothing.
			void				StrokeLine(BPoint toPoint,
									const pattern& p = B_SOLID_HIGH);
			void				StrokeLine(BPoint start, BPoint end,
									const pattern& p = B_SOLID_HIGH);
			void				StrokeRect(BRect rect,
									const pattern& p = B_SOLID_HIGH);
			void				FillRect(BRect rect,
									const pattern& p = B_SOLID_HIGH);
			void				FillRegion(BRegion* region,
									const pattern& p = B_SOLID_HIGH);
			void				StrokeRoundRect(BRect rect, float xRadius,
									float yRadius,
									const pattern& p = B_SOLID_HIGH);
			void				FillRoundRect(BRect rect, float xRadius,
									float yRadius,
									const pattern& p = B_SOLID_HIGH);
			void				StrokeEllipse(BRect rect,
									const pattern& p = B_SOLID_HIGH);
			void				StrokeEllipse(BPoint center, float xRadius,
									float yRadius,
									const pattern& p = B_SOLID_HIGH);
			void				FillEllipse(BRect rect,
									const pattern& p = B_SOLID_HIGH);
			void				FillEllipse(BPoint center, float xRadius,
									float yRadius,
									const pattern& p = B_SOLID_HIGH);
	// Draws at the pen location, or at the point, which is on the
	// baseline at the start of the string; the pen moves to the end.
	// length is in bytes; a NULL string draws nothing.
			void				DrawString(const char* string);
			void				DrawString(const char* string, BPoint where);
			void				DrawString(const char* string, int32 length);
			void				DrawString(const char* string, int32 length,
									BPoint where);

	// Marks the area (view coordinates) for redrawing through Draw().
			void				Invalidate();
			void				Invalidate(BRect rect);
	// Hands what was drawn to the display server; Sync() also waits
	// until the server has taken it.
			void				Flush() const;
			void				Sync() const;
	// True while the view draws onto a printed page (BPrintJob::DrawView),
	// where a view leaves out what only a screen shows: the caret, the
	// selection.
			bool				IsPrinting() const;

	class Private;

private:
	friend class BScrollBar;
	friend class BWindow;
	friend class Private;

								BView(const BView&) = delete;
			BView&				operator=(const BView&) = delete;

	// The view tree (ViewTree.cpp)
			void				_Attach(BWindow* window);
			void				_CallAllAttached();
			void				_Detach();
			void				_CallAllDetached();
			void				_ParentResized(float dh, float dv);
			void				_FrameChanged(BPoint oldLeftTop,
									float oldWidth, float oldHeight);

	// Drawing (ViewDrawing.cpp)
			bool				_PrepareDrawing(const pattern& p);
			bool				_PreparePrinting(const pattern& p);
	// Sets the context's source for the pattern in the current state.
			void				_SetSource(const pattern& p);
			void				_EraseBackground();
			void				_FinishDrawing();
			void				_StrokeShape(int shape, BRect rect,
									float xRadius, float yRadius,
									const pattern& p);
			void				_FillShape(int shape, BRect rect,
									float xRadius, float yRadius,
									const pattern& p);

			BWindow*			fWindow;
			BView*				fParent;
			std::vector<BView*>	fChildren;
	// The frame in the parent's coordinates; the bounds' left top is the
	// scroll position.
			BRect				fFrame;
			BPoint				fScroll;
			uint32				fResizingMode;
			uint32				fFlags;
	// Hide() minus Show() calls; hidden while above 0.
			int32				fHideLevel;
			rgb_color			fViewColor;
			uint32				fEventMask;
			uint32				fEventOptions;
	// The drawing states; the last is the current one, never empty.
			std::vector<BPrivate::view_state*> fStates;
	// Set while the view is the window's top level view.
			bool				fIsTopLevel;
	// The bars that scroll this view, set by the bars themselves.
			BScrollBar*			fHorScroller;
			BScrollBar*			fVerScroller;
};

#endif	// _VIEW_H
