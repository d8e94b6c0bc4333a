/*
 * DisplayServer: the one thread that owns the screen. Windows send it
 * requests (create, show, move, present pixels, ...); it calls the
 * backend, turns the backend's events into the platform's messages and
 * posts them to the windows' loopers. It keeps a copy of every window's
 * last frame, so that a screen that lost a window's pixels gets them
 * back without waking the window's thread.
 *
 * Threads: requests come from any thread and are handled in order on
 * the server's thread, which alone calls the backend. The pointer and
 * modifier state may be read from any thread.
 *
 * Owns: the backend, the queue of requests and the windows' copies.
 * Started on first use and kept until the process exits; then, once the
 * application has ended its windows, the server's thread closes the
 * backend and ends. Requests posted after that are dropped, and
 * synchronous ones fail with B_ERROR.
 */
#ifndef _KITS_DISPLAY_SERVER_H
#define _KITS_DISPLAY_SERVER_H

#include "DisplayScale.h"
#include "ServerProtocol.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

namespace BPrivate {

class Backend;

class DisplayServer {
public:
	// The process's server, started on first call. When KITS_DISPLAY
	// names no usable backend, prints why on stderr and ends the
	// program with status 1.
	static	DisplayServer&		Default();

	// A new window id; the window exists on the screen once the
	// CreateWindowRequest with that id has been handled.
			int32				NewWindowID();

	// Queues the request; it is handled after every request posted
	// before it.
			void				Post(ServerRequest&& request);
	// Queues the request and waits until it has been handled: its
	// status. A request that answers with more than that takes the
	// other Call().
	template<typename Request>
			status_t			Call(Request request)
								{
									static_assert(
										!AnswersWithReply<Request>::value,
										"the request answers: say where");
									return _Call(std::move(request), NULL);
								}
	// The same for a request that answers: when the status is B_OK,
	// _reply is the answer.
	template<typename Request>
			status_t			Call(Request request,
									typename Request::Reply& _reply)
								{
									return _Call(std::move(request),
										&_reply);
								}

	// True while nothing is queued and the server is not working on a
	// request or event.
			bool				IsIdle();

	// The pointer in screen coordinates and the buttons held, as of the
	// last mouse event.
			void				GetPointer(BPoint& _where, uint32& _buttons);
	// The modifiers of the last keyboard or mouse event.
			uint32				Modifiers();
	// The scale a new window starts drawing at: the main screen's. A
	// window that the screen puts at another one is told with
	// kMsgScaleChanged. Any thread.
			DisplayScale		Scale() const;

private:
	// What the server keeps of a window.
	struct Window {
		BMessenger			target;
		BRect				frame;
		std::string			title;
		uint32				flags = 0;
		uint32				feel = 0;
		bool				visible = false;
	// A dialog serves another window (see SetServedWindowRequest):
	// the one the kits named, or else the one chosen when it was shown.
		bool				dialog = false;
		int32				namedParent = 0;
		int32				servedWindow = 0;
	// The windows a subset feel applies to, in the order they joined.
		std::vector<int32>	subset;
	// The scale the screen shows the window at, and the size of its
	// image in device pixels at that scale.
		DisplayScale		scale;
		int32				width = 1;
		int32				height = 1;
	// Where the window's text input goes (window coordinates), as it
	// last said, and the compositions it stopped itself.
		BRect				textInputRect;
		int32				compositionsStopped = 0;
	// The last frame the window presented, B_RGBA32, width * height.
		std::vector<uint32>	pixels;
	};

								DisplayServer(Backend* backend);

	// Waits until the server's thread has opened the backend.
			status_t			_WaitUntilOpen();
	static	void				_StopAtExit();
			void				_Stop();
	// Whether the calling thread is the server's own.
			bool				_OnServerThread() const;

			void				_Run();
			void				_Loop();
	// Where a caller of Call() waits: reply is its Reply of the request's
	// type, or NULL.
	struct PendingAnswer {
		std::mutex				lock;
		std::condition_variable	condition;
		bool					done = false;
		status_t				status = B_OK;
		void*					reply = NULL;
	};
	// A request on its way, with where to answer a synchronous one.
	struct QueuedRequest {
		ServerRequest		request;
		std::shared_ptr<PendingAnswer> answer;
	};

			status_t			_Call(ServerRequest&& request, void* reply);

			void				_Queue(QueuedRequest&& queued);
			void				_HandleRequest(QueuedRequest& queued);
			void				_HandleEvent(const ServerEvent& event);
			void				_Answer(QueuedRequest& queued,
									status_t status);

	// Calls the request's handler, and hands a waiting caller the
	// answer of a request that has one.
	template<typename Request>
			status_t			_Dispatch(const Request& request,
									PendingAnswer* answer);

	// One handler for each request. Each returns the status a
	// synchronous caller gets; the handler of a request that answers
	// fills in its Reply too.
			status_t			_Handle(const CreateWindowRequest& request);
			status_t			_Handle(const DestroyWindowRequest& request);
			status_t			_Handle(const ShowWindowRequest& request);
			status_t			_Handle(const HideWindowRequest& request);
			status_t			_Handle(const MoveWindowRequest& request);
			status_t			_Handle(const ResizeWindowRequest& request);
			status_t			_Handle(const SetTitleRequest& request);
			status_t			_Handle(const SetFlagsRequest& request);
			status_t			_Handle(const PresentRequest& request);
			status_t			_Handle(const ActivateWindowRequest& request);
			status_t			_Handle(const SetCursorRequest& request);
			status_t			_Handle(const SetClipboardRequest& request);
			status_t			_Handle(const GetClipboardRequest& request,
									GetClipboardRequest::Reply& reply);
			status_t			_Handle(const BeepRequest& request);
			status_t			_Handle(const InjectEventRequest& request);
			status_t			_Handle(const WritePNGRequest& request);
			status_t			_Handle(const ReadPixelRequest& request,
									ReadPixelRequest::Reply& reply);
			status_t			_Handle(const SyncRequest& request);
			status_t			_Handle(const GetScreenFrameRequest& request,
									GetScreenFrameRequest::Reply& reply);
			status_t			_Handle(const SetServedWindowRequest& request);
			status_t			_Handle(const GetWindowInfoRequest& request,
									GetWindowInfoRequest::Reply& reply);
			status_t			_Handle(const SetSubsetRequest& request);
	// Input methods (DisplayServerInputMethod.cpp).
			status_t			_Handle(const SetTextInputRectRequest& request);
			status_t			_Handle(const StopInputMethodRequest& request);
			status_t			_Handle(const GetTextInputRequest& request,
									GetTextInputRequest::Reply& reply);

	// The server's copy of the window; NULL for an id it does not know.
			Window*				_FindWindow(int32 id);
			void				_ResizeCopy(Window& window, float width,
									float height);
			void				_ShowAll(int32 id, Window& window);
	// The screen is told unless the change came from it, so that the
	// server never fights the window manager over the focus.
			void				_SetActive(int32 id, bool active,
									bool tellScreen = true);

	// Modal windows (DisplayServerModal.cpp). While one is shown, the
	// application's other windows take no input, or only the windows of
	// its subset for a modal subset window; keys for a window kept from
	// input go to the modal window that keeps it, which stays in front.
			void				_NoteModal(int32 id, const Window& window);
			void				_ForgetModal(int32 id);
	// The modal window that keeps this one from input; 0 for none.
			int32				_BlockingModal(int32 id) const;
	// A shown window whose feel changed starts or stops being modal.
			void				_FeelChanged(int32 id, const Window& window);
	// A window joins or leaves a subset window's subset.
			void				_SetSubset(Window& window, int32 member,
									bool join);
	// Whether the event may reach its window; a key for a blocked
	// window is sent to the modal window instead.
			bool				_AdmitEvent(const ServerEvent& event);

	// Dialogs (DisplayServerModal.cpp). Modal windows are dialogs, and
	// so is every window the kits named one.
	static	bool				_IsDialog(const Window& window);
	// Picks the window a dialog serves as it is shown (none for a window
	// that is no dialog) and tells the screen.
			void				_ServedWindowFor(int32 id, Window& window);
	// The dialog is going: its window gets the keyboard back, unless
	// another window took it meanwhile.
			void				_ReturnFocus(const Window& window,
									bool wasActive);

	// Event translation (DisplayServerEvents.cpp), one handler for each
	// event, for a window the server knows.
			void				_Handle(int32 id, Window& window,
									const std::monostate& event);
			void				_Handle(int32 id, Window& window,
									const KeyDownEvent& event);
			void				_Handle(int32 id, Window& window,
									const KeyUpEvent& event);
			void				_Handle(int32 id, Window& window,
									const MouseDownEvent& event);
			void				_Handle(int32 id, Window& window,
									const MouseUpEvent& event);
			void				_Handle(int32 id, Window& window,
									const MouseMovedEvent& event);
			void				_Handle(int32 id, Window& window,
									const MouseExitedEvent& event);
			void				_Handle(int32 id, Window& window,
									const MouseWheelEvent& event);
			void				_Handle(int32 id, Window& window,
									const CloseRequestedEvent& event);
			void				_Handle(int32 id, Window& window,
									const ActivatedEvent& event);
			void				_Handle(int32 id, Window& window,
									const ResizedEvent& event);
			void				_Handle(int32 id, Window& window,
									const MovedEvent& event);
			void				_Handle(int32 id, Window& window,
									const FilesDroppedEvent& event);
			void				_Handle(int32 id, Window& window,
									const ExposedEvent& event);
			void				_Handle(int32 id, Window& window,
									const InputMethodComposeEvent& event);
			void				_Handle(int32 id, Window& window,
									const InputMethodCommitEvent& event);
	// A B_INPUT_METHOD_EVENT with the opcode, and the composition the
	// window was shown ending (B_INPUT_METHOD_STOPPED).
			void				_PostInputMethod(Window& window,
									int32 opcode);
			void				_EndComposition();
			void				_Handle(int32 id, Window& window,
									const ScaleChangedEvent& event);

			void				_PostKey(Window& window, uint32 what,
									const KeyEvent& event);
	// A mouse down, up or move (exited or not) as the platform's message.
			void				_PostPointer(int32 id, Window& window,
									uint32 what, const PointerEvent& event,
									int32 clicks, bool exited);
	// The pointer and modifiers any thread may read.
			void				_NotePointer(Window& window,
									const PointerEvent& event);
	// Menu windows (DisplayServerEvents.cpp).
			void				_MenuWindowShown(int32 id, bool shown);
			bool				_RouteToMenu(const ServerEvent& event);

			Backend*			fBackend;
			std::thread			fThread;

	// Guards the queue, fBusy and the state of the server's life.
			std::mutex			fLock;
			std::condition_variable	fOpenCondition;
			std::deque<QueuedRequest> fRequests;
			bool				fBusy;
			bool				fOpened;
			status_t			fOpenStatus;
			bool				fStopping;
	// Set once the backend is gone; nothing calls it from then on.
			bool				fStopped;
			pid_t				fProcess;
			std::atomic<int32>	fNextWindowID;
	// The backend's Scale(), read once it is open.
			std::atomic<float>	fScale;

	// Only the server's thread touches these.
			bool				fFrameShown = false;
			std::map<int32, Window>	fWindows;
			int32				fActiveWindow;
	// The last window that was active and is no dialog: the one a
	// dialog shown while nothing is active serves.
			int32				fLastActiveWindow;
	// The window the pointer is in, for the transit of mouse moves.
			int32				fPointerWindow;
	// The modal windows shown, the last shown last.
			std::vector<int32>	fModalWindows;
	// The menu windows on screen, in the order they were shown; keys go
	// to the last one.
			std::vector<int32>	fMenuWindows;
	// A window whose next mouse up is not delivered: its down closed
	// the menus instead.
			int32				fSwallowUpWindow;
	// The window that is shown what the input method composes; 0 while
	// it composes nothing. The screen has one input method for all the
	// windows, so one composition goes on at a time.
			int32				fComposingWindow;

	// Guards the pointer state, which any thread may read.
			std::mutex			fPointerLock;
			BPoint				fPointer;
			uint32				fButtons;
			std::atomic<uint32>	fModifiers;
};

}	// namespace BPrivate

#endif	// _KITS_DISPLAY_SERVER_H
