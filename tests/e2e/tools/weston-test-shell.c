/*
 * A small shell for weston, for the end-to-end cases on Wayland. It does
 * what a desktop's shell does with xdg toplevels (places them, stacks
 * them, gives the keyboard to the one activated, puts a child over its
 * parent) and adds what a test needs: a seat of its own whose keyboard
 * and pointer it drives, and a report of the toplevels as the compositor
 * knows them (title, app id, client pid, parent, focus).
 *
 *   weston --backend=headless-backend.so --use-pixman \
 *       --shell=/path/weston-test-shell.so
 *
 * Commands come one a line through the FIFO named by TEST_SHELL_CONTROL:
 *   report SEQ          write the report to TEST_SHELL_REPORT, "seq SEQ"
 *                       first (written whole, then renamed into place)
 *   key CODE...         press and release each evdev key code in turn;
 *                       a code prefixed with '+' is only pressed, with
 *                       '-' only released (for modifiers)
 *   click ID X Y        moves the pointer to X, Y in toplevel ID and
 *                       clicks the left button (which also activates it)
 *   activate ID         gives toplevel ID the keyboard
 *   close ID            asks toplevel ID to close, as its close box does
 *   screenshot PATH     writes the output as a PNG
 * A report line per mapped toplevel, from the back to the front:
 *   toplevel ID pid=PID parent=ID|0 focus=0|1 x=X y=Y w=W h=H
 *       app_id=APP title=TITLE
 * (one line; the title runs to its end). IDs are the shell's, given in
 * the order toplevels appear and never reused.
 */
#include <libweston/libweston.h>
#include <libweston-desktop/libweston-desktop.h>

#include <cairo.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/input.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

/* Exported by libweston for its backends, declared in a header it does
 * not install. */
void weston_seat_init(struct weston_seat *seat, struct weston_compositor *ec,
	const char *seat_name);
int weston_seat_init_pointer(struct weston_seat *seat);
int weston_seat_init_keyboard(struct weston_seat *seat,
	struct xkb_keymap *keymap);
void notify_key(struct weston_seat *seat, const struct timespec *time,
	uint32_t key, enum wl_keyboard_key_state state,
	enum weston_key_state_update update_state);
void notify_motion_absolute(struct weston_seat *seat,
	const struct timespec *time, double x, double y);
void notify_button(struct weston_seat *seat, const struct timespec *time,
	int32_t button, enum wl_pointer_button_state state);
void notify_pointer_frame(struct weston_seat *seat);

struct test_shell;

struct toplevel {
	struct test_shell *shell;
	struct weston_desktop_surface *desktop_surface;
	struct weston_view *view;
	struct toplevel *parent;
	unsigned id;
	int mapped;
	struct wl_list link;		/* test_shell.toplevels */
};

struct test_shell {
	struct weston_compositor *compositor;
	struct weston_desktop *desktop;
	struct weston_layer layer;
	struct weston_seat seat;
	struct wl_list toplevels;	/* every toplevel, oldest first */
	struct toplevel *focus;
	unsigned next_id;
	unsigned next_place;
	const char *report_path;
	int control_fd;
	struct wl_event_source *control_source;
	char line[4096];
	size_t line_length;
	struct wl_listener destroy_listener;
};


static struct toplevel *
find_toplevel(struct test_shell *shell, unsigned id)
{
	struct toplevel *toplevel;
	wl_list_for_each(toplevel, &shell->toplevels, link) {
		if (toplevel->id == id)
			return toplevel;
	}
	return NULL;
}


static struct weston_output *
first_output(struct test_shell *shell)
{
	if (wl_list_empty(&shell->compositor->output_list))
		return NULL;
	return wl_container_of(shell->compositor->output_list.next,
		(struct weston_output *)NULL, link);
}


static void
raise_toplevel(struct toplevel *toplevel)
{
	struct test_shell *shell = toplevel->shell;
	struct toplevel *child;
	weston_layer_entry_remove(&toplevel->view->layer_link);
	weston_layer_entry_insert(&shell->layer.view_list,
		&toplevel->view->layer_link);
	weston_view_geometry_dirty(toplevel->view);
	/* Children stay in front of their parent. */
	wl_list_for_each(child, &shell->toplevels, link) {
		if (child->parent == toplevel && child->mapped)
			raise_toplevel(child);
	}
}


static void
activate(struct test_shell *shell, struct toplevel *toplevel)
{
	if (shell->focus != NULL && shell->focus != toplevel)
		weston_desktop_surface_set_activated(
			shell->focus->desktop_surface, false);
	shell->focus = toplevel;
	/* As the seat's focus, which also hands the client the selection. */
	if (toplevel == NULL) {
		weston_seat_set_keyboard_focus(&shell->seat, NULL);
		return;
	}
	weston_desktop_surface_set_activated(toplevel->desktop_surface, true);
	weston_seat_set_keyboard_focus(&shell->seat,
		weston_desktop_surface_get_surface(toplevel->desktop_surface));
	raise_toplevel(toplevel);
	weston_compositor_schedule_repaint(shell->compositor);
}


static void
place(struct toplevel *toplevel)
{
	struct test_shell *shell = toplevel->shell;
	struct weston_geometry geometry
		= weston_desktop_surface_get_geometry(toplevel->desktop_surface);
	float x;
	float y;
	if (toplevel->parent != NULL && toplevel->parent->mapped) {
		/* Centred over the parent, as desktops place dialogs. */
		struct weston_geometry parent = weston_desktop_surface_get_geometry(
			toplevel->parent->desktop_surface);
		x = toplevel->parent->view->geometry.x + parent.x
			+ (parent.width - geometry.width) / 2;
		y = toplevel->parent->view->geometry.y + parent.y
			+ (parent.height - geometry.height) / 2;
	} else {
		x = 20 + 30 * (shell->next_place % 8);
		y = 20 + 30 * (shell->next_place % 8);
		shell->next_place++;
	}
	weston_view_set_position(toplevel->view, x - geometry.x, y - geometry.y);
}


static void
surface_added(struct weston_desktop_surface *desktop_surface, void *data)
{
	struct test_shell *shell = data;
	struct toplevel *toplevel = calloc(1, sizeof(*toplevel));
	if (toplevel == NULL)
		return;
	toplevel->shell = shell;
	toplevel->desktop_surface = desktop_surface;
	toplevel->view = weston_desktop_surface_create_view(desktop_surface);
	toplevel->id = ++shell->next_id;
	if (toplevel->view == NULL) {
		free(toplevel);
		return;
	}
	toplevel->view->output = first_output(shell);
	wl_list_insert(shell->toplevels.prev, &toplevel->link);
	weston_desktop_surface_set_user_data(desktop_surface, toplevel);
}


static void
surface_removed(struct weston_desktop_surface *desktop_surface, void *data)
{
	struct test_shell *shell = data;
	struct toplevel *toplevel
		= weston_desktop_surface_get_user_data(desktop_surface);
	struct toplevel *other;
	if (toplevel == NULL)
		return;
	wl_list_for_each(other, &shell->toplevels, link) {
		if (other->parent == toplevel)
			other->parent = NULL;
	}
	wl_list_remove(&toplevel->link);
	weston_desktop_surface_set_user_data(desktop_surface, NULL);
	/* What was under it is drawn again. */
	weston_view_damage_below(toplevel->view);
	weston_desktop_surface_unlink_view(toplevel->view);
	weston_view_destroy(toplevel->view);
	if (shell->focus == toplevel) {
		/* The keyboard goes back to the parent, else the newest. */
		struct toplevel *next = toplevel->parent;
		shell->focus = NULL;
		if (next == NULL || !next->mapped) {
			next = NULL;
			wl_list_for_each_reverse(other, &shell->toplevels, link) {
				if (other->mapped) {
					next = other;
					break;
				}
			}
		}
		activate(shell, next);
	}
	free(toplevel);
	weston_compositor_schedule_repaint(shell->compositor);
}


static void
committed(struct weston_desktop_surface *desktop_surface, int32_t sx,
	int32_t sy, void *data)
{
	struct test_shell *shell = data;
	struct toplevel *toplevel
		= weston_desktop_surface_get_user_data(desktop_surface);
	struct weston_surface *surface
		= weston_desktop_surface_get_surface(desktop_surface);
	(void)sx;
	(void)sy;
	if (toplevel == NULL)
		return;
	if (surface->width == 0) {
		/* The client took its buffer away: unmapped until the next. */
		if (toplevel->mapped) {
			weston_view_unmap(toplevel->view);
			toplevel->mapped = 0;
			if (shell->focus == toplevel)
				activate(shell, NULL);
		}
		return;
	}
	if (toplevel->mapped)
		return;
	toplevel->mapped = 1;
	place(toplevel);
	weston_layer_entry_insert(&shell->layer.view_list,
		&toplevel->view->layer_link);
	weston_view_update_transform(toplevel->view);
	surface->is_mapped = true;
	toplevel->view->is_mapped = true;
	activate(shell, toplevel);
}


static void
set_parent(struct weston_desktop_surface *desktop_surface,
	struct weston_desktop_surface *parent, void *data)
{
	struct toplevel *toplevel
		= weston_desktop_surface_get_user_data(desktop_surface);
	(void)data;
	if (toplevel == NULL)
		return;
	toplevel->parent = parent != NULL
		? weston_desktop_surface_get_user_data(parent) : NULL;
}


static void
pong(struct weston_desktop_client *client, void *data)
{
	(void)client;
	(void)data;
}


static const struct weston_desktop_api kDesktopApi = {
	.struct_size = sizeof(struct weston_desktop_api),
	.pong = pong,
	.surface_added = surface_added,
	.surface_removed = surface_removed,
	.committed = committed,
	.set_parent = set_parent,
};


/* Commands */


static void
write_report(struct test_shell *shell, const char *seq)
{
	char temporary[4096];
	struct weston_view *view;
	FILE *file;
	if (shell->report_path == NULL)
		return;
	snprintf(temporary, sizeof(temporary), "%s.new", shell->report_path);
	file = fopen(temporary, "w");
	if (file == NULL)
		return;
	fprintf(file, "seq %s\n", seq);
	/* The layer lists views from the front to the back. */
	wl_list_for_each_reverse(view, &shell->layer.view_list.link,
			layer_link.link) {
		struct toplevel *toplevel = NULL;
		struct toplevel *candidate;
		wl_list_for_each(candidate, &shell->toplevels, link) {
			if (candidate->view == view)
				toplevel = candidate;
		}
		if (toplevel == NULL || !toplevel->mapped)
			continue;
		struct weston_geometry geometry = weston_desktop_surface_get_geometry(
			toplevel->desktop_surface);
		const char *app = weston_desktop_surface_get_app_id(
			toplevel->desktop_surface);
		const char *title = weston_desktop_surface_get_title(
			toplevel->desktop_surface);
		fprintf(file, "toplevel %u pid=%d parent=%u focus=%d x=%d y=%d "
			"w=%d h=%d app_id=%s title=%s\n", toplevel->id,
			(int)weston_desktop_surface_get_pid(toplevel->desktop_surface),
			toplevel->parent != NULL ? toplevel->parent->id : 0,
			shell->focus == toplevel,
			(int)(view->geometry.x + geometry.x),
			(int)(view->geometry.y + geometry.y),
			geometry.width, geometry.height,
			app != NULL && app[0] != '\0' ? app : "-",
			title != NULL ? title : "");
	}
	if (fclose(file) == 0)
		rename(temporary, shell->report_path);
}


static void
send_key(struct test_shell *shell, uint32_t key,
	enum wl_keyboard_key_state state)
{
	struct timespec time;
	weston_compositor_get_time(&time);
	notify_key(&shell->seat, &time, key, state, STATE_UPDATE_AUTOMATIC);
}


static void
keys(struct test_shell *shell, char *arguments)
{
	char *word;
	char *rest = arguments;
	while ((word = strtok_r(rest, " ", &rest)) != NULL) {
		char mode = word[0] == '+' || word[0] == '-' ? word[0] : 0;
		uint32_t key = strtoul(mode != 0 ? word + 1 : word, NULL, 10);
		if (mode != '-')
			send_key(shell, key, WL_KEYBOARD_KEY_STATE_PRESSED);
		if (mode != '+')
			send_key(shell, key, WL_KEYBOARD_KEY_STATE_RELEASED);
	}
}


static void
click(struct test_shell *shell, struct toplevel *toplevel, double x, double y)
{
	struct timespec time;
	struct weston_geometry geometry
		= weston_desktop_surface_get_geometry(toplevel->desktop_surface);
	weston_compositor_get_time(&time);
	notify_motion_absolute(&shell->seat, &time,
		toplevel->view->geometry.x + geometry.x + x,
		toplevel->view->geometry.y + geometry.y + y);
	notify_pointer_frame(&shell->seat);
	activate(shell, toplevel);
	notify_button(&shell->seat, &time, BTN_LEFT,
		WL_POINTER_BUTTON_STATE_PRESSED);
	notify_pointer_frame(&shell->seat);
	weston_compositor_get_time(&time);
	notify_button(&shell->seat, &time, BTN_LEFT,
		WL_POINTER_BUTTON_STATE_RELEASED);
	notify_pointer_frame(&shell->seat);
}


static void
screenshot(struct test_shell *shell, const char *path)
{
	struct weston_output *output = first_output(shell);
	cairo_surface_t *image;
	if (output == NULL || output->current_mode == NULL)
		return;
	int width = output->current_mode->width;
	int height = output->current_mode->height;
	image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
	cairo_surface_flush(image);
	if (shell->compositor->renderer->read_pixels(output, PIXMAN_x8r8g8b8,
			cairo_image_surface_get_data(image), 0, 0, width, height) == 0) {
		cairo_surface_mark_dirty(image);
		cairo_surface_write_to_png(image, path);
	}
	cairo_surface_destroy(image);
}


static void
run_command(struct test_shell *shell, char *line)
{
	char *rest = line;
	char *command = strtok_r(rest, " ", &rest);
	struct toplevel *toplevel;
	if (command == NULL)
		return;
	if (strcmp(command, "report") == 0) {
		write_report(shell, rest != NULL ? rest : "");
	} else if (strcmp(command, "key") == 0) {
		keys(shell, rest);
	} else if (strcmp(command, "screenshot") == 0) {
		if (rest != NULL)
			screenshot(shell, rest);
	} else {
		unsigned id = strtoul(rest != NULL ? rest : "0", &rest, 10);
		toplevel = find_toplevel(shell, id);
		if (toplevel == NULL || !toplevel->mapped) {
			weston_log("test shell: no toplevel %u for %s\n", id, command);
			return;
		}
		if (strcmp(command, "click") == 0) {
			double x = strtod(rest, &rest);
			double y = strtod(rest, &rest);
			click(shell, toplevel, x, y);
		} else if (strcmp(command, "activate") == 0)
			activate(shell, toplevel);
		else if (strcmp(command, "close") == 0)
			weston_desktop_surface_close(toplevel->desktop_surface);
		else
			weston_log("test shell: unknown command %s\n", command);
	}
}


static int
control_readable(int fd, uint32_t mask, void *data)
{
	struct test_shell *shell = data;
	(void)mask;
	for (;;) {
		ssize_t got = read(fd, shell->line + shell->line_length,
			sizeof(shell->line) - 1 - shell->line_length);
		if (got <= 0)
			break;
		shell->line_length += got;
		char *end;
		while ((end = memchr(shell->line, '\n', shell->line_length)) != NULL) {
			*end = '\0';
			run_command(shell, shell->line);
			size_t used = end + 1 - shell->line;
			memmove(shell->line, end + 1, shell->line_length - used);
			shell->line_length -= used;
		}
		if (shell->line_length == sizeof(shell->line) - 1)
			shell->line_length = 0;
	}
	return 0;
}


static void
compositor_destroyed(struct wl_listener *listener, void *data)
{
	struct test_shell *shell
		= wl_container_of(listener, shell, destroy_listener);
	(void)data;
	if (shell->control_source != NULL)
		wl_event_source_remove(shell->control_source);
	if (shell->control_fd >= 0)
		close(shell->control_fd);
	weston_desktop_destroy(shell->desktop);
	weston_layer_fini(&shell->layer);
	free(shell);
}


WL_EXPORT int
wet_shell_init(struct weston_compositor *compositor, int *argc, char *argv[])
{
	struct test_shell *shell = calloc(1, sizeof(*shell));
	const char *control = getenv("TEST_SHELL_CONTROL");
	(void)argc;
	(void)argv;
	if (shell == NULL)
		return -1;
	shell->compositor = compositor;
	shell->report_path = getenv("TEST_SHELL_REPORT");
	shell->control_fd = -1;
	wl_list_init(&shell->toplevels);
	weston_layer_init(&shell->layer, compositor);
	weston_layer_set_position(&shell->layer, WESTON_LAYER_POSITION_NORMAL);

	weston_seat_init(&shell->seat, compositor, "test-seat");
	if (weston_seat_init_keyboard(&shell->seat, NULL) < 0
		|| weston_seat_init_pointer(&shell->seat) < 0) {
		weston_log("test shell: no keyboard or pointer\n");
		return -1;
	}

	shell->desktop = weston_desktop_create(compositor, &kDesktopApi, shell);
	if (shell->desktop == NULL)
		return -1;

	if (control != NULL) {
		/* Read and write, so that the FIFO never reads as closed
		 * between two writers. */
		shell->control_fd = open(control, O_RDWR | O_NONBLOCK | O_CLOEXEC);
		if (shell->control_fd < 0) {
			weston_log("test shell: %s: %s\n", control, strerror(errno));
			return -1;
		}
		shell->control_source = wl_event_loop_add_fd(
			wl_display_get_event_loop(compositor->wl_display),
			shell->control_fd, WL_EVENT_READABLE, control_readable, shell);
	}
	shell->destroy_listener.notify = compositor_destroyed;
	wl_signal_add(&compositor->destroy_signal, &shell->destroy_listener);
	return 0;
}
