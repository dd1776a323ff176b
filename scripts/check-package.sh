#!/usr/bin/env bash
# Checks a built Debian package the way a new user meets it: the desktop entry and the metainfo pass their
# validators, the file list is shown, and the package unpacked into a throw-away root runs as a user without
# root rights whose HOME is a temporary folder: the three programs' --version, `vellumar-cli init` with the
# default database, and the application offscreen until its main window is shown.
#
#   scripts/check-package.sh [PACKAGE]    PACKAGE defaults to the newest build/vellumar_*_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
deb=${1:-$(ls -t build/vellumar_*_amd64.deb | head -n 1)}
version=$(dpkg-deb --field "$deb" Version)
app_id=org.vellumar.Vellumar

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"

echo "== $deb"
dpkg-deb --field "$deb" Package Version Architecture Section Depends
dpkg-deb --contents "$deb" | awk '{print $6}'
dpkg -x "$deb" "$work/root"
root=$work/root/usr
desktop-file-validate "$root/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$root/share/metainfo/$app_id.metainfo.xml"
for file in bin/vellumar bin/vellumar-cli bin/vellumar-marketd share/vellumar/securities.csv \
            share/icons/hicolor/scalable/apps/vellumar.svg share/icons/hicolor/48x48/apps/vellumar.png \
            share/icons/hicolor/256x256/apps/vellumar.png share/man/man1/vellumar-cli.1.gz \
            share/man/man1/vellumar-marketd.1.gz; do
  [ -s "$root/$file" ] || { echo "FAILED: the package has no /usr/$file"; exit 1; }
done
exec_line=$(sed -n 's/^Exec=//p' "$root/share/applications/$app_id.desktop")
[ -x "$root/bin/$exec_line" ] || { echo "the desktop entry's command $exec_line is not installed"; exit 1; }

# A user without root rights, HOME and the temporary folder of their own.
home=$work/home
mkdir -p "$home" "$work/tmp" "$work/runtime"
chmod 1777 "$work/tmp"
chmod 700 "$work/runtime"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$home" "$work/runtime"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
run() {
  "${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$home" TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/runtime" LANG=C.UTF-8 "$@"
}
expect() {  # expect WHAT EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    echo "FAILED: $1: expected '$2', got '$3'"
    exit 1
  fi
  echo "ok: $1"
}

for program in vellumar vellumar-cli vellumar-marketd; do
  expect "$program --version" "$program $version" "$(run "$root/bin/$program" --version)"
done
data=$home/.local/share/vellumar
expect "vellumar-cli init" "Created $data/Vellumar.db" "$(run "$root/bin/vellumar-cli" init)"
run "$root/bin/vellumar-cli" add-portfolio "Package check" >/dev/null
expect "vellumar-cli portfolios" "Package check" "$(run "$root/bin/vellumar-cli" portfolios --json | \
  sed -n 's/.*"name": *"\([^"]*\)".*/\1/p')"

run QT_QPA_PLATFORM=offscreen VELLUMAR_QUIT_WHEN_SHOWN=1 timeout 60 "$root/bin/$exec_line"
expect "vellumar: the start-up backup" "yes" "$([ -f "$data/backup/Vellumar_1.db" ] && echo yes || echo no)"
expect "vellumar: settings written at exit" "yes" \
  "$([ -f "$home/.config/vellumar/vellumar.ini" ] && echo yes || echo no)"
echo "Files the installed programs made in HOME:"
(cd "$home" && find . -mindepth 1 | sort)
