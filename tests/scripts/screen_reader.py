"""What a screen reader finds in the window, through AT-SPI: started by screen_reader.sh on a
help file, in a D-Bus session of its own on the test display.

Usage: screen_reader.py VASKEL CLI HELP_FILE [--dump]
"""
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

HEADINGS = ["File Name", "Size", "Type", "Path"]
failures = []


def check(what, ok, detail=""):
    print(("ok   " if ok else "FAIL ") + what + (f": {detail}" if detail and not ok else ""))
    if not ok:
        failures.append(what)


def wait_for(what, probe, seconds=120):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.2)
    raise SystemExit(f"FAIL {what}: not found within {seconds} s")


def children(node):
    try:
        return [node.get_child_at_index(i) for i in range(node.get_child_count())]
    except gi.repository.GLib.Error:
        return []


def walk(node, skip_inside=("table", "tree table")):
    """Every object below node, not descending into the list's rows and cells."""
    for child in children(node):
        if child is None:
            continue
        yield child
        if child.get_role_name() not in skip_inside:
            yield from walk(child, skip_inside)


def find(node, role, name=None):
    for item in walk(node):
        if item.get_role_name() == role and (name is None or item.get_name() == name):
            return item
    return None


def dump(node, depth=0):
    for child in children(node):
        if child is None:
            continue
        states = child.get_state_set()
        focus = " focusable" if states.contains(Atspi.StateType.FOCUSABLE) else ""
        extra = ""
        if child.get_role_name() in ("table", "tree table"):
            table = child.get_table_iface()
            extra = f" rows={table.get_n_rows()} columns={table.get_n_columns()}"
        value = child.get_value_iface()
        if value is not None:
            extra += f" value={value.get_current_value()}"
        print(f"{'  ' * depth}{child.get_role_name()} \"{child.get_name()}\"{focus}{extra}")
        if child.get_role_name() not in ("table", "tree table"):
            dump(child, depth + 1)


def application(name):
    desktop = Atspi.get_desktop(0)
    for app in children(desktop):
        if app is not None and app.get_name() == name:
            return app
    return None


def cell_text(cell):
    """A cell's name; a cell of an icon and a text is read by its parts, as screen readers do."""
    return cell.get_name() or " ".join(part.get_name() for part in children(cell)
                                       if part is not None and part.get_name())


def row_cells(table, row):
    return [cell_text(table.get_accessible_at(row, column)) for column in range(4)]


def click(node):
    action = node.get_action_iface()
    for index in range(action.get_n_actions()):
        if action.get_action_name(index) in ("click", "activate", "press"):
            action.do_action(index)
            return True
    names = [action.get_action_name(i) for i in range(action.get_n_actions())]
    raise SystemExit(f"FAIL {node.get_role_name()} \"{node.get_name()}\" has no click: {names}")


ALT_MASK = 1 << 3  # Mod1


def press(key, alt=False):
    """A key typed into the focused window, through AT-SPI's own keyboard."""
    if alt:
        Atspi.generate_keyboard_event(ALT_MASK, None, Atspi.KeySynthType.LOCKMODIFIERS)
    Atspi.generate_keyboard_event(ord(key), None, Atspi.KeySynthType.SYM)
    if alt:
        Atspi.generate_keyboard_event(ALT_MASK, None, Atspi.KeySynthType.UNLOCKMODIFIERS)


def main():
    vaskel, cli, help_file = sys.argv[1:4]
    dumping = "--dump" in sys.argv
    listed = subprocess.run([cli, "list", help_file], capture_output=True, text=True, check=True)
    catalogue = [line.split("\t") for line in listed.stdout.splitlines()]
    window = subprocess.Popen([vaskel, "-Embedding", help_file])
    try:
        app = wait_for("the application on the accessibility bus", lambda: application("vaskel"))
        frame = wait_for("the main window", lambda: find(app, "frame"))
        if dumping:
            time.sleep(5)
            print("--- main window")
            dump(app)
        status = wait_for(
            "the status text",
            lambda: find(frame, "status bar", f"Total {len(catalogue)} file(s)"))
        check("the status text reads the file count", status is not None)

        table = find(frame, "table") or find(frame, "tree table")
        check("the catalogue is a table", table is not None)
        table_iface = table.get_table_iface()
        check("the list reports every row", table_iface.get_n_rows() == len(catalogue),
              f"{table_iface.get_n_rows()} rows, the catalogue has {len(catalogue)}")
        headers = [table_iface.get_column_header(c).get_name() for c in range(4)]
        check("the column headers are named", headers == HEADINGS, str(headers))
        first, last = row_cells(table_iface, 0), row_cells(table_iface, len(catalogue) - 1)
        check("the first row reads as the catalogue has it", first == catalogue[0],
              f"{first} against {catalogue[0]}")
        check("the last row reads as the catalogue has it", last == catalogue[-1],
              f"{last} against {catalogue[-1]}")

        focusable = [item for item in walk(frame)
                     if item.get_state_set().contains(Atspi.StateType.FOCUSABLE)
                     and item.get_state_set().contains(Atspi.StateType.SHOWING)]
        unnamed = [f"{item.get_role_name()} in {item.get_parent().get_role_name()}"
                   for item in focusable
                   if not item.get_name() or item.get_role_name() in ("unknown", "invalid")]
        check(f"every focusable object ({len(focusable)}) has a name and a role", not unnamed,
              ", ".join(unnamed))

        # Up on the first click, down on the second: the first row then holds a largest file.
        size_header = table_iface.get_column_header(HEADINGS.index("Size"))
        sizes = [int(row[1]) for row in catalogue]
        last_row = len(catalogue) - 1
        click(size_header)
        wait_for("the sort up by Size",
                 lambda: row_cells(table_iface, last_row)[1] == str(max(sizes)), seconds=60)
        check("after a sort up by Size the first row is a smallest file",
              row_cells(table_iface, 0) in [row for row in catalogue if int(row[1]) == min(sizes)],
              str(row_cells(table_iface, 0)))
        click(size_header)
        wait_for("the sort down by Size",
                 lambda: row_cells(table_iface, 0)[1] == str(max(sizes)), seconds=60)
        largest = row_cells(table_iface, 0)
        check("after a sort down by Size the first row is a largest file",
              largest in [row for row in catalogue if int(row[1]) == max(sizes)]
              and largest != first, str(largest))

        # By the keyboard, as a screen reader's user does: an item's click action runs its
        # command inside the AT-SPI call, and a modal dialog would stall the bridge.
        unpack_item = wait_for("the Unpack menu item",
                               lambda: find(frame, "menu item", "Unpack..."))
        table.get_component_iface().grab_focus()
        press("f", alt=True)
        wait_for("the File menu",
                 lambda: unpack_item.get_state_set().contains(Atspi.StateType.SHOWING))
        press("u")
        dialog = wait_for("the Unpack dialog", lambda: find(app, "dialog", "Unpack"))
        field = find(dialog, "text")
        check("the Unpack dialog's folder field is named by its label",
              field is not None and field.get_name() == "Unpack to:",
              field.get_name() if field else "no text field")
        if dumping:
            print("--- Unpack dialog")
            dump(dialog)
        click(find(dialog, "push button", "Cancel"))
    finally:
        window.terminate()
        window.wait(timeout=30)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
