#!/usr/bin/env bash
# Checks both forms of the launcher as a user or the package manager receives them:
# - the per-user archive unpacks to Nimbara.app whose Info.plist carries the build's feed;
# - the system package (made here with cpack) passes lintian without errors or warnings, its
#   desktop entry and AppStream metadata validate, its bundle names no feed, and the launcher
#   unpacked from it starts and draws its window (offscreen, in a temporary home);
# - both bundles carry nimbara-cli beside the launcher; the package puts it on the PATH with a
#   manual page, and it answers from there.
# Usage: check_packages.sh BUILD_DIR VERSION FEED
set -euo pipefail
build=$1 version=$2 feed=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

plist_value() { # FILE KEY: the string under KEY, empty when there is none
  tr -d '\n' < "$1" | sed -n "s:.*<key>$2</key> *<string>\([^<]*\)</string>.*:\1:p"
}

# The per-user archive.
mkdir "$work/user"
tar -xzf "$build/Nimbara-$version.tar.gz" -C "$work/user"
app="$work/user/Nimbara.app"
[ -x "$app/Contents/MacOS/nimbara" ] || fail "the archive's launcher is missing or not executable"
[ -x "$app/Contents/MacOS/nimbara-cli" ] || fail "the archive's nimbara-cli is missing or not executable"
[ "$(plist_value "$app/Contents/Info.plist" CFBundleShortVersionString)" = "$version" ] \
  || fail "the archive's bundle is not version $version"
[ "$(plist_value "$app/Contents/Info.plist" SUFeedURL)" = "$feed" ] \
  || fail "the archive's bundle does not name the feed '$feed'"

# The system package.
(cd "$build" && cpack -G DEB -B "$work/deb" > "$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/deb/nimbara_"$version"_*.deb)
lintian --fail-on error,warning "$deb" 2> >(grep -v 'running with root privileges' >&2) \
  || fail "lintian found errors or warnings"
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate --no-hints "$work/root/usr/share/applications/nimbara.desktop" \
  || fail "the desktop entry does not validate"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/com.nimbara.launcher.metainfo.xml" \
  > "$work/appstream.log" || { cat "$work/appstream.log"; fail "the AppStream metadata"; }
system="$work/root/opt/nimbara/Nimbara.app"
exec_line=$(sed -n 's/^Exec=//p' "$work/root/usr/share/applications/nimbara.desktop")
[ "$exec_line" = /opt/nimbara/Nimbara.app/Contents/MacOS/nimbara ] \
  || fail "the desktop entry starts '$exec_line'"
[ -z "$(plist_value "$system/Contents/Info.plist" SUFeedURL)" ] \
  || fail "the system bundle names a feed; the package manager updates it"
[ "$(readlink "$work/root/usr/bin/nimbara-cli")" = /opt/nimbara/Nimbara.app/Contents/MacOS/nimbara-cli ] \
  || fail "/usr/bin/nimbara-cli does not lead to the bundle's nimbara-cli"
[ -x "$system/Contents/MacOS/nimbara-cli" ] || fail "the system bundle has no nimbara-cli"
[ -s "$work/root/usr/share/man/man1/nimbara-cli.1.gz" ] || fail "nimbara-cli has no manual page"
# From the package, nimbara-cli documents itself, and fails a catalog it cannot reach with status 1.
mkdir -p "$work/home-cli"
cli_env=(env HOME="$work/home-cli" XDG_CONFIG_HOME="$work/home-cli/.config"
  XDG_DATA_HOME="$work/home-cli/.local/share" XDG_CACHE_HOME="$work/home-cli/.cache"
  XDG_STATE_HOME="$work/home-cli/.local/state" XDG_RUNTIME_DIR="$work" LANGUAGE=en
  NIMBARA_MANIFEST_URL=http://127.0.0.1:9/none)
"${cli_env[@]}" "$system/Contents/MacOS/nimbara-cli" --help | grep -q '^Usage: nimbara-cli' \
  || fail "nimbara-cli --help"
status=0
"${cli_env[@]}" "$system/Contents/MacOS/nimbara-cli" status > "$work/cli-status.log" 2>&1 || status=$?
{ [ "$status" = 1 ] && grep -q 'http://127.0.0.1:9/none' "$work/cli-status.log"; } \
  || { cat "$work/cli-status.log"; fail "nimbara-cli status without a catalog ended with $status"; }

# Each form starts, in a home of its own, and draws its first frame. The per-user form, unpacked
# into that home, puts itself into the application menu; the system form leaves that to the
# package's own entry.
run_launcher() { # NAME EXECUTABLE
  local home="$work/home-$1"
  mkdir -p "$home"
  HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    XDG_CACHE_HOME="$home/.cache" XDG_STATE_HOME="$home/.local/state" \
    XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen NIMBARA_SCREENSHOT="$work/$1.png" \
    NIMBARA_MANIFEST_URL=http://127.0.0.1:9/none timeout 60 "$2" \
    > "$work/$1.log" 2>&1 || { cat "$work/$1.log"; fail "the $1 launcher did not run"; }
  [ -s "$work/$1.png" ] || { cat "$work/$1.log"; fail "the $1 launcher drew nothing"; }
}
run_launcher system "$system/Contents/MacOS/nimbara"
[ ! -e "$work/home-system/.local/share/applications/nimbara.desktop" ] \
  || fail "the system form wrote a menu entry of its own"
mkdir -p "$work/home-user/Applications"
mv "$app" "$work/home-user/Applications/"
user_exec="$work/home-user/Applications/Nimbara.app/Contents/MacOS/nimbara"
run_launcher user "$user_exec"
entry="$work/home-user/.local/share/applications/nimbara.desktop"
[ -f "$entry" ] || fail "the per-user form did not add itself to the application menu"
desktop-file-validate --no-hints "$entry" || fail "the per-user menu entry does not validate"
[ "$(sed -n 's/^Exec=//p' "$entry")" = "$user_exec" ] || fail "the per-user menu entry starts another program"
echo "both forms of Nimbara $version check out"
