/*
 * x11-helper: what the end-to-end tests need of X that xdotool does not
 * do without a window manager.
 *
 *   x11-helper close WINDOW
 *       asks the window to close as a window manager's close box does
 *       (WM_DELETE_WINDOW).
 *
 * WINDOW is an X window id, in decimal or 0x hexadecimal. Exits 0 when
 * the request went out, 1 with a line on stderr otherwise.
 */
#include <X11/Xlib.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

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


int
main(int argc, char** argv)
{
	if (argc != 3 || strcmp(argv[1], "close") != 0) {
		fprintf(stderr, "usage: x11-helper close WINDOW\n");
		return 2;
	}
	char* end;
	unsigned long window = strtoul(argv[2], &end, 0);
	if (*end != '\0' || window == 0) {
		fprintf(stderr, "x11-helper: \"%s\" is not a window id\n", argv[2]);
		return 2;
	}
	Display* display = XOpenDisplay(NULL);
	if (display == NULL) {
		fprintf(stderr, "x11-helper: cannot open the display\n");
		return 1;
	}
	int status = close_window(display, (Window)window);
	if (status != 0)
		fprintf(stderr, "x11-helper: the close request was not sent\n");
	XCloseDisplay(display);
	return status;
}
