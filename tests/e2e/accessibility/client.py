#!/usr/bin/python3
"""The screen reader's side of the accessibility cases: an AT-SPI client
that finds Orvane on the accessibility bus and checks what it exposes.

  client.py tree       roles, names and states of the document window
  client.py text       the text and caret through Text as arrows move
  client.py menu       F10 and the arrows through the File menu
  client.py close      the close question's text and buttons
  client.py dialogs    every control of the Find and Settings windows,
                       each reached by Tab with its focus told

Keys are typed with xdotool on the case's X server, as a person would.
Each check waits for what it expects and fails with what it saw."""

import subprocess
import sys
import threading
import time

import pyatspi
from gi.repository import GLib

PATIENCE = 20


def fail(message):
    print("FAIL: " + message, file=sys.stderr, flush=True)
    sys.exit(1)


def pump():
    """Hands the events that arrived to the listeners; libatspi is not
    thread-safe, so its main loop runs here, between the questions."""
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


def wait_for(what, probe, patience=PATIENCE):
    deadline = time.time() + patience
    last = None
    while time.time() < deadline:
        pump()
        try:
            last = probe()
            if last:
                return last
        except Exception as error:  # the object may be going away
            last = error
        time.sleep(0.1)
    fail("%s (last seen: %r)" % (what, last))


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "60"] + list(names),
                   check=True)


def application():
    def find():
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == "Orvane":
                return app
        return None
    return wait_for("Orvane is not on the accessibility bus", find)


def role(obj):
    return obj.getRole()


def states(obj):
    return set(obj.getState().getStates())


def walk(obj, depth=0):
    yield obj
    if depth > 20:
        return
    for i in range(obj.childCount):
        child = obj.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def find(root, wanted_role, name=None):
    for obj in walk(root):
        if role(obj) == wanted_role and (name is None or obj.name == name):
            return obj
    return None


def window_named(app, name, roles=(pyatspi.ROLE_FRAME,)):
    def look():
        for i in range(app.childCount):
            window = app.getChildAtIndex(i)
            if window is not None and role(window) in roles \
                    and (name is None or window.name == name):
                return window
        return None
    return wait_for("no window %r among %r" % (name, [
        (w.getRoleName(), w.name) for w in app if w is not None]), look)


class Events:
    """Collects the events of the given types as pump() delivers them."""

    def __init__(self, *types):
        self.events = []
        self.lock = threading.Lock()
        for event_type in types:
            pyatspi.Registry.registerEventListener(self._heard, event_type)

    def _heard(self, event):
        try:
            entry = (event.type, event.source.name if event.source else None,
                     event.source.getRole() if event.source else None,
                     event.detail1, event.any_data)
        except Exception:
            return
        with self.lock:
            self.events.append(entry)

    def seen(self, predicate):
        pump()
        with self.lock:
            return [e for e in self.events if predicate(e)]

    def clear(self):
        with self.lock:
            self.events.clear()


def document(app):
    frame = window_named(app, "notes.txt")
    text = wait_for("the document has no text view",
                    lambda: find(frame, pyatspi.ROLE_TEXT))
    return frame, text


def case_tree():
    app = application()
    frame, text = document(app)
    wanted = {pyatspi.STATE_EDITABLE, pyatspi.STATE_MULTI_LINE,
              pyatspi.STATE_FOCUSABLE, pyatspi.STATE_ENABLED}
    if not wanted <= states(text):
        fail("the text view lacks states: %r" % (wanted - states(text)))
    wait_for("the text view does not have the focus",
             lambda: pyatspi.STATE_FOCUSED in states(text))
    if pyatspi.STATE_ACTIVE not in states(frame):
        fail("the document window is not active")
    bar = find(frame, pyatspi.ROLE_MENU_BAR)
    if bar is None:
        fail("no menu bar")
    titles = [bar.getChildAtIndex(i).name for i in range(bar.childCount)]
    for title in ("File", "Edit"):
        if title not in titles:
            fail("the menu bar has %r, not %r" % (titles, title))
    file_menu = find(bar, pyatspi.ROLE_MENU, "File")
    items = {}
    for i in range(file_menu.childCount):
        item = file_menu.getChildAtIndex(i)
        items[item.name] = item
    for label in ("New", "Open", "Save", "Save As...", "Quit"):
        if label not in items:
            fail("the File menu lacks %r: %r" % (label, list(items)))
    binding = items["New"].queryAction().getKeyBinding(0)
    if "<Control>n" not in binding:
        fail("New's shortcut reads %r" % binding)
    # Save is disabled until the first change.
    if pyatspi.STATE_ENABLED in states(items["Save"]):
        fail("Save is enabled in an unchanged document")
    status = find(frame, pyatspi.ROLE_STATUS_BAR)
    if status is None:
        fail("no status area")
    wait_for("the status area does not read Line 1",
             lambda: status.name == "Line 1")
    scroll = find(frame, pyatspi.ROLE_SCROLL_BAR)
    if scroll is None:
        fail("no scroll bar")
    scroll.queryValue()
    print("tree: %d objects" % sum(1 for _ in walk(frame)))


def case_text():
    app = application()
    frame, text = document(app)
    events = Events("object:text-caret-moved", "object:text-changed",
                    "object:property-change:accessible-name")
    wait_for("the text view does not have the focus",
             lambda: pyatspi.STATE_FOCUSED in states(text))
    body = text.queryText()
    whole = body.getText(0, -1)
    if whole != "first line\nsecond line here\nthird\n":
        fail("the text reads %r" % whole)
    if body.characterCount != len(whole):
        fail("%d characters counted" % body.characterCount)
    line, start, end = body.getTextAtOffset(12, pyatspi.TEXT_BOUNDARY_LINE_START)
    if (line, start, end) != ("second line here\n", 11, 28):
        fail("the second line reads %r %d..%d" % (line, start, end))
    word = body.getTextAtOffset(12, pyatspi.TEXT_BOUNDARY_WORD_START)
    if word[0].strip() != "second":
        fail("the word at 12 reads %r" % (word,))
    if body.caretOffset != 0:
        fail("the caret starts at %d" % body.caretOffset)
    keys("Down")
    wait_for("no caret event for Down", lambda: events.seen(
        lambda e: e[0] == "object:text-caret-moved" and e[3] == 11))
    if body.caretOffset != 11:
        fail("after Down the caret is at %d" % body.caretOffset)
    status = find(frame, pyatspi.ROLE_STATUS_BAR)
    wait_for("the status area did not follow", lambda: status.name == "Line 2")
    wait_for("no name change for the status area", lambda: events.seen(
        lambda e: e[0].startswith("object:property-change:accessible-name")
        and e[2] == pyatspi.ROLE_STATUS_BAR))
    keys("Right", "Right")
    wait_for("no caret event for Right", lambda: events.seen(
        lambda e: e[0] == "object:text-caret-moved" and e[3] == 13))
    keys("x")
    wait_for("no insertion event", lambda: events.seen(
        lambda e: e[0] == "object:text-changed:insert" and e[3] == 13
        and e[4] == "x"))
    if body.getText(11, 18) != "sexcond":
        fail("after typing the line reads %r" % body.getText(11, 18))
    keys("BackSpace")
    wait_for("no deletion event", lambda: events.seen(
        lambda e: e[0] == "object:text-changed:delete" and e[3] == 13))
    keys("shift+End")
    wait_for("no selection", lambda: body.getNSelections() == 1)
    selection = tuple(body.getSelection(0))
    if selection != (13, 27):
        fail("the selection is %r" % (selection,))
    # Editing through the bus, as a screen reader's commands do it.
    editable = text.queryEditableText()
    editable.insertText(0, "\u00e9t\u00e9 ", len("\u00e9t\u00e9 ".encode()))
    wait_for("the insertion through the bus did not arrive",
             lambda: body.getText(0, 5) == "\u00e9t\u00e9 f")
    editable.deleteText(0, 4)
    wait_for("the deletion through the bus did not arrive",
             lambda: body.getText(0, 5) == "first")
    attributes = body.getDefaultAttributeSet()
    if attributes.get("family-name") != "DejaVu Sans Mono":
        fail("the text's font reads %r" % attributes)
    print("text: %d events" % len(events.events))


def case_menu():
    app = application()
    frame, text = document(app)
    wait_for("the text view does not have the focus",
             lambda: pyatspi.STATE_FOCUSED in states(text))
    events = Events("object:state-changed:focused", "focus:")
    keys("F10")
    wait_for("F10 did not focus the File menu", lambda: events.seen(
        lambda e: e[0] == "object:state-changed:focused" and e[3] == 1
        and e[1] == "File" and e[2] == pyatspi.ROLE_MENU))
    heard = []
    bar = find(frame, pyatspi.ROLE_MENU_BAR)
    file_menu = find(bar, pyatspi.ROLE_MENU, "File")
    # The keyboard passes over separators and disabled items (Save, in a
    # document without changes).
    labels = [item.name for item in file_menu
              if item.getRole() != pyatspi.ROLE_SEPARATOR
              and pyatspi.STATE_ENABLED in states(item)]
    for step in range(4):
        if step > 0:
            keys("Down")
        def focused_item():
            found = events.seen(
                lambda e: e[0] == "object:state-changed:focused" and e[3] == 1
                and e[2] in (pyatspi.ROLE_MENU_ITEM,
                             pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_MENU))
            return found[-1][1] if found and found[-1][1] not in heard[-1:] \
                else None
        heard.append(wait_for("no item got the focus after Down %d" % step,
                              focused_item))
    if heard != labels[:4]:
        fail("moving down the File menu said %r, the menu holds %r"
             % (heard, labels))
    events.clear()
    keys("Escape", "Escape")
    wait_for("the focus did not return to the text", lambda: events.seen(
        lambda e: e[0] == "object:state-changed:focused" and e[3] == 1
        and e[2] == pyatspi.ROLE_TEXT))
    print("menu: " + ", ".join(heard))


def case_close():
    app = application()
    frame, text = document(app)
    wait_for("the text view does not have the focus",
             lambda: pyatspi.STATE_FOCUSED in states(text))
    keys("x", "ctrl+w")
    alert = window_named(app, "Orvane", (pyatspi.ROLE_ALERT,))
    label = wait_for("the question has no text",
                     lambda: find(alert, pyatspi.ROLE_LABEL))
    question = label.name
    if "Save changes to the document" not in question:
        fail("the question reads %r" % question)
    buttons = [obj.name for obj in walk(alert)
               if role(obj) == pyatspi.ROLE_PUSH_BUTTON]
    if sorted(buttons) != sorted(["Don't save", "Cancel", "Save"]):
        fail("the question's buttons are %r" % buttons)
    if pyatspi.STATE_MODAL not in states(alert):
        fail("the question is not modal")
    wait_for("the question is not the active window",
             lambda: pyatspi.STATE_ACTIVE in states(alert))
    # The document answers from what it was while its window waits.
    if frame.name != "notes.txt":
        fail("the document's window is now %r" % frame.name)
    cancel = find(alert, pyatspi.ROLE_PUSH_BUTTON, "Cancel")
    cancel.queryAction().doAction(0)
    wait_for("Cancel through the bus did not close the question",
             lambda: not any(w is not None and role(w) == pyatspi.ROLE_ALERT
                             for w in app))
    print("close: %r %r" % (question, buttons))


CONTROLS = (pyatspi.ROLE_ENTRY, pyatspi.ROLE_COMBO_BOX,
            pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX)


def path_of(obj):
    """Where the object sits in its window: its indices from the top."""
    path = []
    while obj is not None and obj.getRole() not in (
            pyatspi.ROLE_DIALOG, pyatspi.ROLE_FRAME, pyatspi.ROLE_ALERT):
        path.insert(0, obj.getIndexInParent())
        obj = obj.parent
    return tuple(path)


def focused_in(window):
    for obj in walk(window):
        if pyatspi.STATE_FOCUSED in states(obj):
            return obj
    return None


def tab_round(window):
    """Presses Tab until the focus is back where it began, and checks
    that every enabled control was reached once, each time told to the
    bus as a focus event."""
    events = Events("object:state-changed:focused")
    start = wait_for("nothing in %r has the focus" % window.name,
                     lambda: focused_in(window))
    here = path_of(start)
    reached = [here]
    for _ in range(40):
        events.clear()
        keys("Tab")
        moved = wait_for("Tab did not move the focus from %r" % (here,),
                         lambda: (lambda f: f if f is not None
                                  and path_of(f) != here else None)(
                             focused_in(window)))
        here = path_of(moved)
        wait_for("the focus on %r was not told" % moved.name,
                 lambda: events.seen(lambda e: e[1] == moved.name
                                     and e[3] == 1))
        if here == reached[0]:
            break
        if here in reached:
            fail("Tab came back to %r before reaching the start" % moved.name)
        reached.append(here)
    else:
        fail("Tab never came back round in %r" % window.name)
    enabled = [path_of(obj) for obj in walk(window)
               if role(obj) in CONTROLS
               and pyatspi.STATE_SENSITIVE in states(obj)
               and pyatspi.STATE_SHOWING in states(obj)]
    missed = [p for p in enabled if p not in reached]
    if missed:
        fail("Tab in %r did not reach the controls at %r" % (window.name,
                                                             missed))
    return len(reached)


def case_dialogs():
    app = application()
    frame, text = document(app)
    wait_for("the text view does not have the focus",
             lambda: pyatspi.STATE_FOCUSED in states(text))
    keys("ctrl+f")
    find_window = window_named(app, None, (pyatspi.ROLE_DIALOG,))
    entry = wait_for("the Find window has no entry",
                     lambda: find(find_window, pyatspi.ROLE_ENTRY))
    wait_for("the Find entry does not have the focus",
             lambda: pyatspi.STATE_FOCUSED in states(entry))
    buttons = [obj.name for obj in walk(find_window)
               if role(obj) == pyatspi.ROLE_PUSH_BUTTON]
    if not buttons:
        fail("the Find window has no buttons")
    find_round = tab_round(find_window)
    keys("Escape")
    keys("ctrl+e")
    settings = window_named(app, "Orvane Settings", (pyatspi.ROLE_DIALOG,
                                               pyatspi.ROLE_FRAME))
    roles = [role(obj) for obj in walk(settings)]
    for wanted in (pyatspi.ROLE_ENTRY, pyatspi.ROLE_COMBO_BOX,
                   pyatspi.ROLE_PUSH_BUTTON):
        if wanted not in roles:
            fail("the settings window has no %s: %r"
                 % (wanted, [obj.getRoleName() for obj in walk(settings)]))
    names = [obj.name for obj in walk(settings)
             if role(obj) == pyatspi.ROLE_PUSH_BUTTON]
    for label in ("Apply", "Revert", "Default", "Cancel"):
        if label not in names:
            fail("the settings window lacks %r: %r" % (label, names))
    combo = find(settings, pyatspi.ROLE_COMBO_BOX)
    if not combo.name:
        fail("a pop-up menu field has no name")
    settings_round = tab_round(settings)
    keys("Escape")
    wait_for("the document did not come back",
             lambda: pyatspi.STATE_ACTIVE in states(frame))
    events = Events("object:state-changed:focused")
    keys("ctrl+o")
    panel = window_named(app, "Open", (pyatspi.ROLE_DIALOG,
                                       pyatspi.ROLE_FRAME))
    files = wait_for("the Open panel has no list of files",
                     lambda: find(panel, pyatspi.ROLE_LIST, "Files"))
    rows = wait_for("the list of files is empty", lambda: [
        row.name for row in files if row.getRole() == pyatspi.ROLE_LIST_ITEM])
    if not any(row.startswith("notes.txt, ") for row in rows):
        fail("the file's row is not there: %r" % rows)
    places = find(panel, pyatspi.ROLE_LIST, "Places")
    if places is None or places.childCount == 0:
        fail("the Open panel has no places")
    panel_buttons = [obj.name for obj in walk(panel)
                     if role(obj) == pyatspi.ROLE_PUSH_BUTTON]
    if "Cancel" not in panel_buttons:
        fail("the Open panel's buttons are %r" % panel_buttons)
    print("dialogs: find %r, settings %r, open %r, %r; Tab reached %d "
          "and %d controls" % (buttons, names, rows, panel_buttons,
                               find_round, settings_round))


if __name__ == "__main__":
    globals()["case_" + sys.argv[1]]()
