# The Debian package as a user gets it: built by the fixture test build.deb
# (scripts/build-deb.sh), its control data, its files unpacked into a fresh
# root without touching the machine, and the unpacked vup started from /
# playing the installed pictures until Escape. The argument (the build
# tree's vup) is not used.
. "$(dirname "$0")/lib.sh"
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# --- the package -----------------------------------------------------------
deb=$(ls -t "$repo"/build-deb/vup_*_"$(dpkg --print-architecture)".deb 2>/dev/null | head -n 1)
if [ -z "$deb" ]; then
    skip_check "the Debian package: build-deb/ holds none (ctest -R build.deb makes it)"
    finish_checks "nothing"
fi
echo "the package: $deb"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = vup ] || fail "package name is '$(field Package)'"
[ -n "$(field Maintainer)" ] || fail "no maintainer"
[ -n "$(field Description)" ] || fail "no description"
depends=$(field Depends)
# Each library the programs use, SDL's run-time libGL, and a General MIDI
# SoundFont in SF2 form for the tune.
for needed in libsdl2-2.0-0 libgl1 libglu1-mesa libegl1 libfluidsynth3 \
    "timgm6mb-soundfont | fluid-soundfont-gm"; do
    case ", $depends," in
        *", $needed"[\ ,]*) ;;
        *) fail "Depends lacks $needed: $depends" ;;
    esac
done
case "$(field Recommends)" in
    *ffmpeg*) ;;
    *) fail "ffmpeg is not recommended (for vup-record's videos)" ;;
esac

# --- its files, in a root of their own --------------------------------------
root="$E2E_TMP/root"
mkdir "$root"
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x failed"
for file in usr/bin/vup usr/bin/vup-record usr/bin/vup-assets \
    usr/share/vup/Data/Greetz.bmp usr/share/vup/Data/Main.bmp usr/share/vup/Data/VOLVO.bmp \
    usr/share/vup/Data/klump.bmp usr/share/vup/data/tulmor.mid \
    usr/share/applications/vup.desktop usr/share/man/man6/vup.6.gz \
    usr/share/man/man1/vup-record.1.gz usr/share/man/man1/vup-assets.1.gz; do
    [ -f "$root/$file" ] || fail "the package lacks /$file"
done
# Nothing in the package may lean on the checkout it was built from.
if grep -r -q -F "$repo" "$root"; then
    fail "the package names the build checkout $repo"
fi
for size in 48 256; do
    icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/vup.png"
    file "$icon" | grep -q "PNG image data, $size x $size" ||
        fail "icon ${size}x${size}: $(file "$icon")"
    # Made from the title picture: bright, not an empty square.
    is_above "$(mean_brightness "$icon")" 0.1 || fail "icon ${size}x${size} is dark"
done
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/vup.desktop" ||
        fail "the desktop entry does not validate"
else
    skip_check "the desktop entry: desktop-file-validate is not installed"
fi
if command -v man >/dev/null; then
    warnings=$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man6/vup.6.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
else
    skip_check "the manual page: man is not installed"
fi
"$root/usr/bin/vup-assets" check "$root/usr/share/vup" >"$E2E_TMP/check.out" 2>&1 ||
    fail "vup-assets check of the installed files: $(cat "$E2E_TMP/check.out")"
# One version and one date: the package's, the program's and the changelog's
# latest entry's, dated by the source (cmake/Version.cmake).
version=$(field Version)
[ "$("$root/usr/bin/vup" --version)" = "vup $version" ] ||
    fail "vup --version says '$("$root/usr/bin/vup" --version)', the package $version"
source_date=$(cd "$repo" && cmake -P cmake/Version.cmake | sed -n 's/^SOURCE_DATE_EPOCH=//p')
latest() { zcat "$root/usr/share/doc/vup/changelog.gz" | dpkg-parsechangelog -l - -S "$1"; }
entry="$(latest Version) $(latest Timestamp)"
[ "$entry" = "$version $source_date" ] ||
    fail "the changelog's latest entry is '$entry', not '$version $source_date'"

# Debian's own checks: nothing down to the info level (a tag the package
# keeps would be overridden, with its reason beside it).
if command -v lintian >/dev/null; then
    lintian --display-info "$deb" >"$E2E_TMP/lintian.out" 2>&1
    grep -v "running with root privileges" "$E2E_TMP/lintian.out"
    if grep -qE "^[EWI]: " "$E2E_TMP/lintian.out"; then
        fail "lintian reports tags"
    fi
else
    skip_check "Debian's own checks: lintian is not installed"
fi

# --- the unpacked show, started where there are no pictures -----------------
start_xvfb 800x600
cd / || fail "cannot change to /"
start_vup "$root/usr/bin/vup"
id=$(wait_window Vup 30) || fail "no window titled Vup: $(cat "$E2E_TMP/vup.err")"
sleep 2
screenshot "$E2E_TMP/opening.png"
# Without the installed pictures there would be no window at all.
expect_opening_picture "$E2E_TMP/opening.png"

press "$id" Escape
wait_exit 5
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS after Escape"
finish_checks "$(basename "$deb") unpacked, its vup played the installed pictures from /"
