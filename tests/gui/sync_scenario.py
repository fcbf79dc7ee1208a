"""A whole sync through the real window, from outside, as a user does it:
choose both folders through "Choose…" and the folder dialog, preview, run
the sync from the preview sheet, read the run summary, check the destination
byte for byte, open help with its shortcut as the X server delivers it and
close it with Esc, close the window and bring it back from the tray, and
quit from the tray menu.
Usage: sync_scenario.py ARTEFACTS [QUILLFEN] (skipped without the program)"""

import sys
import time

from desktop_session import SKIP, Atspi, DesktopSession, StepFailed, run_tool, wait_until

FILES = {
    "notes.txt": b"first line\nsecond line\n",
    "photos/2024/harbour.raw": bytes(range(256)) * 64,
    "photos/empty marker": b"",
}


def choose_folder(app, index, folder):
    """Presses the index-th "Choose…" (source, then destination) and answers
    the folder dialog by typing the full path."""
    def both():
        found = app.find_all("push button", "Choose…")
        return len(found) == 2 and found

    app.press(wait_until('both "Choose…" buttons', both)[index])
    app.type_into(app.find("text", "Directory:"), str(folder))
    app.keys("Return")
    app.find("label", folder.name)


def tree(root):
    return {str(p.relative_to(root)): p.read_bytes() for p in root.rglob("*") if p.is_file()}


def main(artefacts, program=None):
    if not program:
        print("SKIP: the quillfen window is not part of this build (QUILLFEN_WITH_UI=OFF?)")
        return SKIP
    with DesktopSession(artefacts) as desktop:
        # A returning user: the first-start tour would cover the window.
        settings = desktop.home / ".config/Quillfen/Quillfen.conf"
        settings.parent.mkdir(parents=True)
        settings.write_text("[General]\nhasSeenOnboarding=true\n")
        source, destination = desktop.home / "Pictures", desktop.home / "Backup Drive"
        for name, data in FILES.items():
            (source / name).parent.mkdir(parents=True, exist_ok=True)
            (source / name).write_bytes(data)
        destination.mkdir()

        app = desktop.launch([program])
        # The window brings itself to the front half a second after it
        # opens; nobody reaches for a button sooner.
        time.sleep(1)
        choose_folder(app, 0, source)
        choose_folder(app, 1, destination)

        app.press(app.find("push button", "Preview"))
        app.find("label", f"{len(FILES)} changes")
        desktop.screenshot("preview")
        app.press(app.find("push button", "Sync Now"))

        for text in ("Success", "Copied", "Processed", f"{len(FILES)} files"):
            app.find("label", text)
        app.find("label", lambda name: name.startswith(f"{len(FILES)} files · "))
        desktop.screenshot("summary")
        if tree(destination) != FILES:
            raise StepFailed(f"the destination holds {sorted(tree(destination))}")

        # The X server sends Ctrl+Shift+? as Ctrl+? with Shift spent on "?".
        app.keys("ctrl+shift+question")
        app.find("dialog", "Quillfen Help")
        app.keys("Escape")
        wait_until("the help sheet to close",
                   lambda: not app.find_all("dialog", "Quillfen Help"))

        run_tool("wmctrl", "-c", "Quillfen")
        window = app.root().get_child_at_index(0)
        wait_until("the window to hide", lambda: not app.has_state(window, Atspi.StateType.SHOWING))
        menu = app.tray_menu()
        last_run = app.find("menu item", lambda name: name.startswith("✓ "), within=menu)
        if f" · {len(FILES)} copied · " not in last_run.get_name():
            raise StepFailed(f'the last-run line reads "{last_run.get_name()}"')
        app.press(app.find("menu item", "Show Quillfen", within=menu))
        app.wait_state(window, Atspi.StateType.SHOWING)

        app.press(app.find("menu item", "Quit Quillfen", within=app.tray_menu()))
        if app.wait_exit() != 0:
            raise StepFailed(f"quillfen exited with status {app.process.returncode}")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
