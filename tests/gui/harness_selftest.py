"""Proves the desktop harness on a small probe window: Qt's own folder dialog
answered by typing a path, a check box toggled, and quitting from the tray
icon's menu. Usage: harness_selftest.py ARTEFACTS PROBE"""

import sys

from desktop_session import Atspi, DesktopSession, StepFailed


def main(artefacts, probe):
    with DesktopSession(artefacts) as desktop:
        folder = desktop.home / "Chosen Folder"
        folder.mkdir()
        app = desktop.launch([probe])

        app.press(app.find("push button", "Choose…"))
        app.type_into(app.find("text", "Directory:"), str(folder))
        app.keys("Return")
        app.find("label", str(folder))

        mirror = app.find("check box", "Mirror")
        app.toggle(mirror)
        app.wait_state(mirror, Atspi.StateType.CHECKED)
        desktop.screenshot("probe")

        app.press(app.find("menu item", "Quit", within=app.tray_menu()))
        if app.wait_exit() != 0:
            raise StepFailed(f"the probe exited with status {app.process.returncode}")


if __name__ == "__main__":
    main(*sys.argv[1:])
