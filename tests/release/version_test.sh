#!/usr/bin/env bash
# The version and the changes, as a release names them, in a repository of
# its own: cmake/Version.cmake against each kind of tag (none, on the tag,
# after it, not a version), a source tarball's VERSION file and
# SOURCE_DATE_EPOCH; scripts/changelog picking a version's section, the
# Debian changelog Debian's own parser reads, and refusing what it lacks.
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$repo/tests/support/skip_or_fail.sh"
command -v dpkg-parsechangelog >/dev/null || { skip_check "dpkg-parsechangelog (dpkg-dev)"; finish_checks nothing; }
work=$(mktemp -d /tmp/vup-version-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
expect() {  # what wanted got
    [ "$2" = "$3" ] || fail "$1: wanted '$2', got '$3'"
}

mkdir -p "$work/vup/cmake" "$work/vup/scripts"
cp "$repo/cmake/Version.cmake" "$work/vup/cmake/"
cp "$repo/scripts/changelog" "$work/vup/scripts/"
cd "$work/vup" || exit 1
git init -q . && git config user.email t@t.example && git config user.name t
commit() { GIT_COMMITTER_DATE="@$1 +0000" git commit -q --allow-empty -m "at $1"; }
version() { env -u SOURCE_DATE_EPOCH cmake -P cmake/Version.cmake 2>&1 | tr '\n' ' '; }

commit 1000 && commit 2000
expect "two commits, no tag" "VUP_VERSION=0.0.0+2.g$(git rev-parse --short=8 HEAD) SOURCE_DATE_EPOCH=2000 " "$(version)"
git tag -a v1.2.0 -m 1.2.0
expect "on the tag" "VUP_VERSION=1.2.0 SOURCE_DATE_EPOCH=2000 " "$(version)"
commit 3000 && commit 4000 && commit 5000
expect "three after it" "VUP_VERSION=1.2.0+3.g$(git rev-parse --short=8 HEAD) SOURCE_DATE_EPOCH=5000 " "$(version)"
expect "the environment's date" "SOURCE_DATE_EPOCH=77" \
    "$(SOURCE_DATE_EPOCH=77 cmake -P cmake/Version.cmake | tail -n 1)"
SOURCE_DATE_EPOCH=soon cmake -P cmake/Version.cmake >/dev/null 2>&1 &&
    fail "SOURCE_DATE_EPOCH=soon was taken"
git tag -a v1.3-beta -m beta
[[ $(version) == *"not a version"* ]] || fail "the tag v1.3-beta was taken: $(version)"
git tag -d v1.3-beta >/dev/null
printf 'VUP_VERSION=9.9.9\nSOURCE_DATE_EPOCH=42\n' >VERSION
expect "a source tarball's file VERSION" "VUP_VERSION=9.9.9 SOURCE_DATE_EPOCH=42 " "$(version)"
rm VERSION

cat >CHANGELOG.md <<'EOF'
# Changelog

## Unreleased

- Made it faster,
  and smaller.

## 1.2.0 (2026-11-02)

- First.
EOF
notes=$(scripts/changelog notes 1.2.0+3.gabc | tr '\n' '|')
expect "a snapshot's notes" "## Changes since 1.2.0||- Made it faster,|  and smaller.|" "$notes"
scripts/changelog debian 1.2.0+3.gabc 5000 "V <v@v.example>" >debian.changelog
entry() { dpkg-parsechangelog -l debian.changelog --offset "$1" --count 1 -S "$2"; }
expect "the Debian changelog's entries" "1.2.0+3.gabc 5000 1.2.0 $(date -u -d 2026-11-02 +%s)" \
    "$(entry 0 Version) $(entry 0 Timestamp) $(entry 1 Version) $(entry 1 Timestamp)"
expect "the latest entry's changes" "  * Made it faster,|    and smaller.|" \
    "$(sed -n 3,4p debian.changelog | tr '\n' '|')"
scripts/changelog notes 1.3.0 >/dev/null 2>&1 && fail "notes for 1.3.0, which has no section"
sed -i '/^- Made/,/smaller/d' CHANGELOG.md
scripts/changelog notes 1.2.0+3.gabc >/dev/null 2>&1 && fail "notes from an empty section"

[ "$failures" = 0 ] || exit 1
finish_checks "versions from git and a tarball, changes from CHANGELOG.md"
