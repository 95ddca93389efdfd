#!/usr/bin/env bash
# The Debian package and the web site, the two builds most exposed to the
# machine they are made on, built a second time from a copy of this tree in
# another folder under another time zone, locale, umask and host name
# (scripts/lib/vary.sh): they must be the same bytes as the fixture tests'
# builds (build.deb, build.web). A change that lets a path, a time, a locale
# or an umask into either fails here, and diffoscope shows where.
# (scripts/release --check does the same for every file of a release.)
# VUP_RENDER_TUNE names the tune renderer both site builds use.
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$repo/tests/support/skip_or_fail.sh"
. "$repo/scripts/lib/vary.sh"

deb=$(ls "$repo"/build-deb/vup_*.deb 2>/dev/null | head -n 1)
site=$repo/build-web/site
if [ -z "$deb" ] || [ ! -f "$site/index.html" ] || [ ! -x "${VUP_RENDER_TUNE:-}" ]; then
    skip_check "reproducibility: no package, site or tune renderer (ctest -R 'build.deb|build.web')"
    finish_checks "nothing"
fi

work=$(mktemp -d /tmp/vup-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT
# The tree as it is, committed or not, without its builds; with no .git, its
# version and date come from the file VERSION, as in a source tarball.
copy=$work/somewhere/else/vup
mkdir -p "$copy"
(cd "$repo" && git ls-files -z --cached --others --exclude-standard |
    tar --null --files-from=- --ignore-failed-read -cf -) | tar -xf - -C "$copy"
(cd "$repo" && cmake -P cmake/Version.cmake) >"$copy/VERSION"

started=$SECONDS
vup_varied "$work" env -C "$copy" VUP_NO_INSTALL=1 bash scripts/build-deb.sh >/dev/null ||
    { echo "FAIL: the second package build"; exit 1; }
echo "the package built again in $((SECONDS - started)) s"
vup_varied "$work" env -C "$copy" VUP_NO_INSTALL=1 bash scripts/build-web.sh >/dev/null ||
    { echo "FAIL: the second site build"; exit 1; }
echo "both built again in $((SECONDS - started)) s"

status=0
compare() {  # what first second
    if [ -d "$2" ] && diff -r -q "$2" "$3" >/dev/null; then
        return
    elif [ -f "$2" ] && cmp -s "$2" "$3"; then
        return
    fi
    echo "FAIL: $1 differs between the two builds"
    if command -v diffoscope >/dev/null; then
        diffoscope --no-progress --max-report-size 200000 "$2" "$3"
    else
        skip_check "showing how: diffoscope is not installed"
        diff -r "$2" "$3" | head -n 20
    fi
    status=1
}
compare "the package $(basename "$deb")" "$deb" "$copy/build-deb/$(basename "$deb")"
compare "the web site" "$site" "$copy/build-web/site"
[ $status = 0 ] || exit 1
finish_checks "$(basename "$deb") and the web site: the same bytes from another folder, time zone, locale, umask and host"
