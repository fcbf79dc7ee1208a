#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR and checks that every file lands
# where the desktop looks for it, that the desktop's own validators accept the
# launcher entry and the software-centre description, and that the entry names
# an icon and a program that were installed with it.
# Usage: install_check.sh BUILD_DIR APP_ID WITH_WINDOW(0|1)
set -euo pipefail
build=$1 app_id=$2 with_window=$3

dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null
root=$dest/usr
desktop=$root/share/applications/$app_id.desktop

fail() { echo "FAIL: $*" >&2; exit 1; }
key() { sed -n "s/^$1=//p" "$desktop"; }

expected=(bin/quillfen-cli share/applications/"$app_id".desktop
    share/metainfo/"$app_id".metainfo.xml share/icons/hicolor/scalable/apps/"$app_id".svg)
((with_window)) && expected+=(bin/quillfen)
for file in "${expected[@]}"; do
    [[ -f $root/$file ]] || fail "not installed: $file"
done

desktop-file-validate "$desktop"
appstreamcli validate-tree --no-net --strict "$root"

[[ $(key Icon) == "$app_id" ]] || fail "the launcher's icon is '$(key Icon)', not $app_id"
((with_window)) && { [[ -x $root/bin/$(key Exec) ]] || fail "the launcher starts '$(key Exec)'"; }
"$root/bin/quillfen-cli" --version >/dev/null || fail "the installed quillfen-cli does not run"
echo "installed and valid: ${expected[*]}"
