/*
 * x11-helper: what the end-to-end tests need of X that xdotool does not
 * do without a window manager.
 *
 *   x11-helper close WINDOW
 *       asks the window to close as a window manager's close box does
 *       (WM_DELETE_WINDOW).
 *   x11-helper drop WINDOW X Y PATH...
 *       moves the pointer to X, Y in the window and drops the files
 *       there as a file manager does (XDND, text/uri-list).
 *
 * WINDOW is an X window id, in decimal or 0x hexadecimal. Exits 0 when
 * the window took the request (for a drop: said it was finished), 1
 * with a line on stderr otherwise.
 */
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>

/* How long a drop may take before the helper gives up, in seconds. */
#define DROP_PATIENCE 10

static int
close_window(Display* display, Window window)
{
	XEvent event;
	memset(&event, 0, sizeof(event));
	event.xclient.type = ClientMessage;
	event.xclient.window = window;
	event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
	event.xclient.format = 32;
	event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW",
		False);
	event.xclient.data.l[1] = CurrentTime;
	if (!XSendEvent(display, window, False, NoEventMask, &event))
		return 1;
	XSync(display, False);
	return 0;
}


/* The paths as a text/uri-list, with what a URI may not hold escaped. */
static char*
uri_list(int count, char** paths)
{
	size_t size = 1;
	for (int i = 0; i < count; i++)
		size += strlen("file://") + 3 * strlen(paths[i]) + 2;
	char* list = malloc(size);
	if (list == NULL)
		return NULL;
	char* next = list;
	for (int i = 0; i < count; i++) {
		next += sprintf(next, "file://");
		for (const unsigned char* c = (const unsigned char*)paths[i]; *c;
				c++) {
			if ((*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z')
				|| (*c >= '0' && *c <= '9') || strchr("/-._~", *c))
				*next++ = (char)*c;
			else
				next += sprintf(next, "%%%02X", *c);
		}
		next += sprintf(next, "\r\n");
	}
	*next = '\0';
	return list;
}


static void
send_xdnd(Display* display, Window target, const char* type, long l1,
	long l2, long l3, long l4, Window source)
{
	XEvent event;
	memset(&event, 0, sizeof(event));
	event.xclient.type = ClientMessage;
	event.xclient.window = target;
	event.xclient.message_type = XInternAtom(display, type, False);
	event.xclient.format = 32;
	event.xclient.data.l[0] = (long)source;
	event.xclient.data.l[1] = l1;
	event.xclient.data.l[2] = l2;
	event.xclient.data.l[3] = l3;
	event.xclient.data.l[4] = l4;
	XSendEvent(display, target, False, NoEventMask, &event);
	XFlush(display);
}


/* The next event, or 0 when none came before the deadline. */
static int
next_event(Display* display, XEvent* event, time_t deadline)
{
	while (!XPending(display)) {
		time_t left = deadline - time(NULL);
		if (left <= 0)
			return 0;
		fd_set fds;
		FD_ZERO(&fds);
		FD_SET(ConnectionNumber(display), &fds);
		struct timeval wait = { left, 0 };
		select(ConnectionNumber(display) + 1, &fds, NULL, NULL, &wait);
	}
	XNextEvent(display, event);
	return 1;
}


static void
answer_request(Display* display, XSelectionRequestEvent* request,
	const char* list)
{
	XEvent reply;
	memset(&reply, 0, sizeof(reply));
	reply.xselection.type = SelectionNotify;
	reply.xselection.requestor = request->requestor;
	reply.xselection.selection = request->selection;
	reply.xselection.target = request->target;
	reply.xselection.time = request->time;
	reply.xselection.property = None;
	if (request->target == XInternAtom(display, "text/uri-list", False)) {
		Atom property = request->property != None
			? request->property : request->target;
		XChangeProperty(display, request->requestor, property,
			request->target, 8, PropModeReplace,
			(const unsigned char*)list, (int)strlen(list));
		reply.xselection.property = property;
	}
	XSendEvent(display, request->requestor, False, NoEventMask, &reply);
	XFlush(display);
}


static int
drop_files(Display* display, Window target, int x, int y, int count,
	char** paths)
{
	char* list = uri_list(count, paths);
	if (list == NULL)
		return 1;
	Window root = DefaultRootWindow(display);
	Window source = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
	Atom selection = XInternAtom(display, "XdndSelection", False);
	XSetSelectionOwner(display, selection, source, CurrentTime);

	int rootX;
	int rootY;
	Window child;
	XTranslateCoordinates(display, target, root, x, y, &rootX, &rootY,
		&child);
	XWarpPointer(display, None, root, 0, 0, 0, 0, rootX, rootY);
	XSync(display, False);

	Atom uriList = XInternAtom(display, "text/uri-list", False);
	Atom copy = XInternAtom(display, "XdndActionCopy", False);
	send_xdnd(display, target, "XdndEnter", 5L << 24, (long)uriList, None,
		None, source);
	send_xdnd(display, target, "XdndPosition", 0, (long)rootX << 16 | rootY,
		CurrentTime, (long)copy, source);

	time_t deadline = time(NULL) + DROP_PATIENCE;
	int dropped = 0;
	XEvent event;
	while (next_event(display, &event, deadline)) {
		if (event.type == SelectionRequest) {
			answer_request(display, &event.xselectionrequest, list);
			continue;
		}
		if (event.type != ClientMessage)
			continue;
		Atom type = event.xclient.message_type;
		if (type == XInternAtom(display, "XdndStatus", False) && !dropped) {
			if ((event.xclient.data.l[1] & 1) == 0) {
				fprintf(stderr, "x11-helper: the window refuses the drop\n");
				send_xdnd(display, target, "XdndLeave", 0, 0, 0, 0, source);
				break;
			}
			send_xdnd(display, target, "XdndDrop", 0, CurrentTime, 0, 0,
				source);
			dropped = 1;
		} else if (type == XInternAtom(display, "XdndFinished", False)) {
			free(list);
			return 0;
		}
	}
	if (dropped)
		fprintf(stderr, "x11-helper: the window did not finish the drop\n");
	else
		fprintf(stderr, "x11-helper: the window did not answer\n");
	free(list);
	return 1;
}


static int
window_argument(const char* text, Window* _window)
{
	char* end;
	unsigned long window = strtoul(text, &end, 0);
	if (*end != '\0' || window == 0) {
		fprintf(stderr, "x11-helper: \"%s\" is not a window id\n", text);
		return 0;
	}
	*_window = (Window)window;
	return 1;
}


int
main(int argc, char** argv)
{
	int closing = argc == 3 && strcmp(argv[1], "close") == 0;
	int dropping = argc >= 6 && strcmp(argv[1], "drop") == 0;
	if (!closing && !dropping) {
		fprintf(stderr, "usage: x11-helper close WINDOW\n"
			"       x11-helper drop WINDOW X Y PATH...\n");
		return 2;
	}
	Window window;
	if (!window_argument(argv[2], &window))
		return 2;
	Display* display = XOpenDisplay(NULL);
	if (display == NULL) {
		fprintf(stderr, "x11-helper: cannot open the display\n");
		return 1;
	}
	int status;
	if (closing) {
		status = close_window(display, window);
		if (status != 0)
			fprintf(stderr, "x11-helper: the close request was not sent\n");
	} else {
		status = drop_files(display, window, atoi(argv[3]), atoi(argv[4]),
			argc - 5, argv + 5);
	}
	XCloseDisplay(display);
	return status;
}
