#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it: its files, its
# dependencies, the desktop entry and AppStream validators, and lintian.
# Usage: check_package.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1
work=$2
rm -rf "$work"
mkdir -p "$work"

fail() { echo "package: $*" >&2; exit 1; }
for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || fail "$tool is missing (bash scripts/setup.sh installs it)"
done

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/tavrik_*.deb)
echo "package: $(basename "$deb")"

# The files a user gets.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/contents"
expected=(
  /usr/bin/tavrik /usr/bin/tavrik-cli /usr/bin/tavrik-scanner-sim
  /usr/share/applications/ru.zeyd.Tavrik.desktop
  /usr/share/metainfo/ru.zeyd.Tavrik.metainfo.xml
  /usr/share/icons/hicolor/scalable/apps/tavrik.svg
  /usr/share/man/man1/tavrik.1.gz /usr/share/man/man1/tavrik-cli.1.gz /usr/share/man/man1/tavrik-scanner-sim.1.gz
  /usr/share/bash-completion/completions/tavrik-cli
  /usr/share/doc/tavrik/copyright /usr/share/doc/tavrik/changelog.gz
  /usr/share/ansible/collections/ansible_collections/zeyd/tavrik/galaxy.yml
  /usr/share/ansible/collections/ansible_collections/zeyd/tavrik/plugins/modules/scanner_info.py
  /usr/share/ansible/collections/ansible_collections/zeyd/tavrik/plugins/modules/scanner_settings.py
  /usr/share/ansible/collections/ansible_collections/zeyd/tavrik/plugins/module_utils/tavrik_cli.py
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/tavrik.png")
done
for file in "${expected[@]}"; do
  grep -qx "$file" "$work/contents" || fail "$file is not in the package"
done
if [ -d "$(dirname "$0")/../resources/guide" ]; then
  grep -q '^/usr/share/tavrik/guide/' "$work/contents" || fail "the user guide is not in the package"
fi

# Dependencies found by dpkg-shlibdeps: Qt for the window, cairo for the pictures.
depends=$(dpkg-deb -f "$deb" Depends)
echo "package: Depends: $depends"
for library in libqt6widgets6 libcairo2 libc6; do
  [[ $depends == *"$library"* ]] || fail "Depends lacks $library"
done

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/ru.zeyd.Tavrik.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/ru.zeyd.Tavrik.metainfo.xml" || fail "appstreamcli validate"
# The menu entry starts a program of the package and shows an icon of it.
entry="$work/root/usr/share/applications/ru.zeyd.Tavrik.desktop"
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$work/root/usr/bin/$exec_program" ] || fail "the menu entry starts $exec_program, which is not in /usr/bin"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$work/root/usr/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "the menu entry's icon $icon is not in the package"
grep -qx 'Categories=Utility;' "$entry" || fail "the menu entry is not under Utility"
"$work/root/usr/bin/tavrik-cli" --help | grep -q udev-rule || fail "the packaged tavrik-cli does not run"
# ansible-core finds the collection where the package puts it, documentation included.
if command -v ansible-doc >/dev/null; then
  for module in scanner_info scanner_settings; do
    ANSIBLE_COLLECTIONS_PATH="$work/root/usr/share/ansible/collections" ANSIBLE_HOME="$work/ansible-home" \
      ansible-doc "zeyd.tavrik.$module" | grep -q '^RETURN VALUES' || fail "ansible-doc does not show zeyd.tavrik.$module"
  done
fi


# apt resolves every dependency (a simulation: nothing is installed).
apt-get install --simulate -q "$(realpath "$deb")" >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt cannot install it"; }
grep -Eq '^Inst tavrik |tavrik is already the newest version' "$work/apt.log" || fail "apt would not install it"

# Errors fail the test; warnings are printed for the record.
lintian --tag-display-limit 0 --fail-on error \
  "$deb" 2>&1 | tee "$work/lintian.log" || fail "lintian reports errors"
echo "package: ok"
