#!/bin/sh
# Installs the build into a staging folder and checks that every deliverable lands where it
# belongs and runs from there; with --deb, builds the .deb with CPack and checks its
# contents and control data instead.
#   install-check.sh BUILD_DIR GUI(ON|OFF) [--deb]
set -eu
build=$1
gui=$2
mode=${3:-stage}
work=$(mktemp -d /tmp/kx30-install-XXXXXX)
trap 'rm -rf "$work"' EXIT INT TERM
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The paths every installation has, below the prefix.
expected="bin/kx30ctl
bin/kx30-emulator
lib/libKelvaneX30HWI.so.0
lib/udev/rules.d/70-kelvane-x30.rules
share/applications/kelvane-x30.desktop
share/icons/hicolor/scalable/apps/kelvane-x30.svg
share/doc/kelvane-x30/kx30ctl.md"
if [ "$gui" = ON ]; then
    expected="$expected
bin/KelvaneX30
lib/kelvane-x30/KelvaneX30
lib/kelvane-x30/KelvaneX30RES.rcc
lib/kelvane-x30/KelvaneX30-help.html
share/doc/kelvane-x30/KelvaneX30-help.html"
fi

if [ "$mode" = --deb ]; then
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log" >&2; exit 1; }
    deb=$(ls "$work"/pkg/*.deb)
    dpkg-deb -c "$deb" >"$work/contents"
    for path in $expected; do
        grep -q " \./usr/$path\( -> .*\)\?\$" "$work/contents" || fail "the package lacks /usr/$path"
    done
    # No world-writable file, and the udev rule readable by all.
    if awk '{print $1}' "$work/contents" | grep -q '^-.......w.'; then fail "a world-writable file"; fi
    dpkg-deb -f "$deb" Package | grep -qx kelvane-x30 || fail "package name"
    dpkg-deb -f "$deb" Depends | grep -q libhidapi-hidraw0 || fail "no dependency on hidapi"
    dpkg-deb -e "$deb" "$work/control"
    [ -x "$work/control/postinst" ] || fail "no postinst (udev reload)"
    [ "$failures" -eq 0 ] && echo "package ok: $(basename "$deb")"
    exit "$failures"
fi

# Staged as with DESTDIR under the prefix /usr, and into a prefix of its own.
DESTDIR="$work/dest" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
    { cat "$work/install.log" >&2; exit 1; }
cmake --install "$build" --prefix "$work/stage" >>"$work/install.log" 2>&1 ||
    { cat "$work/install.log" >&2; exit 1; }
for root in "$work/dest/usr" "$work/stage"; do
    for path in $expected; do
        [ -e "$root/$path" ] || fail "$root/$path missing"
    done
done
stage=$work/stage
# Runs from where it is installed, finding the installed library (not the build's).
"$stage/bin/kx30ctl" --version | grep -q '^kx30ctl ' || fail "installed kx30ctl does not run"
"$stage/bin/kx30-emulator" --help >/dev/null || fail "installed emulator does not run"
if [ "$gui" = ON ]; then
    [ -L "$stage/bin/KelvaneX30" ] || fail "bin/KelvaneX30 is not a link"
    [ "$(readlink "$stage/bin/KelvaneX30")" = ../lib/kelvane-x30/KelvaneX30 ] ||
        fail "bin/KelvaneX30 points to $(readlink "$stage/bin/KelvaneX30")"
    cmp -s "$stage/lib/kelvane-x30/KelvaneX30-help.html" "$stage/share/doc/kelvane-x30/KelvaneX30-help.html" ||
        fail "the program's help page is not the documented one"
    ldd "$stage/lib/kelvane-x30/KelvaneX30" | grep libKelvaneX30HWI | grep -q "$stage/lib/" ||
        fail "the installed program does not find the installed library"
fi
ldd "$stage/bin/kx30ctl" | grep libKelvaneX30HWI | grep -q "$stage/bin/../lib/" ||
    fail "the installed kx30ctl does not find the installed library"
grep -q '^Exec=KelvaneX30$' "$stage/share/applications/kelvane-x30.desktop" || fail "desktop Exec"
grep -q '^Icon=kelvane-x30$' "$stage/share/applications/kelvane-x30.desktop" || fail "desktop Icon"
# Nothing of the build or the tests is installed.
if find "$stage" -name '*_tests' -o -name '*.a' -o -name 'CMakeFiles' | grep -q .; then
    fail "build or test files installed"
fi
[ "$failures" -eq 0 ] && echo "installation ok"
exit "$failures"
