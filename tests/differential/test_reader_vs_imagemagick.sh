#!/usr/bin/env bash
# Differential test of the picture reader against ImageMagick's BMP decoder.
#
#   test_reader_vs_imagemagick.sh VUP_ASSETS [REPO_ROOT]
#
# Writes every BMP variant ImageMagick produces (core and info headers; 1, 4,
# 8, 16, 24 and 32 bits; RLE8; bottom-up and top-down rows; the 108- and
# 124-byte header kinds) from the shipped pictures and from synthetic ones of
# odd widths and non-square heights, then decodes each file twice: with the
# show's reader (vup-assets decode FILE OUT.ppm) and with ImageMagick. Every
# file both accept must give the same size and the same pixels, byte for byte.
# Files only one side accepts are listed; they must be exactly the intended
# refusals (the reader takes only 12- and 40-byte headers).
set -u

vup_assets="${1:?usage: $0 VUP_ASSETS [REPO_ROOT]}"
root="${2:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"
convert=/usr/bin/convert
if [ ! -x "$convert" ]; then
    echo "FAIL: ImageMagick's $convert is needed (Debian package imagemagick)" >&2
    exit 1
fi
if [ ! -x "$vup_assets" ]; then
    echo "FAIL: $vup_assets is not an executable (build the vup-assets target)" >&2
    exit 1
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/vup-differential-XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/sources" "$work/files" "$work/decoded"

# --- Source pictures -------------------------------------------------------

for picture in "$root"/Data/*.bmp; do
    cp "$picture" "$work/sources/data_$(basename "$picture" .bmp).bmp"
done
# ImageMagick's built-in rose photograph at odd widths and non-square heights,
# and a two-colour gradient.
for size in 1x3 3x5 5x2 7x9; do
    "$convert" rose: -resize "${size}!" "$work/sources/rose_$size.png"
done
"$convert" -size 33x17 gradient:'#ff8000-#0040ff' "$work/sources/gradient_33x17.png"

# Each source also quantised once to 256, 16 and 2 colours, kept as MIFF
# (which holds the palette itself), so the palette variants below need no
# quantising of their own: that is where ImageMagick spends its time.
mkdir -p "$work/palettes"
for source in "$work"/sources/*; do
    source_name="$(basename "${source%.*}")"
    for colours in 256 16 2; do
        "$convert" "$source" +dither -colors "$colours" "$work/palettes/$source_name.q$colours.miff"
    done
done

# --- Byte patches for variants ImageMagick cannot be asked for directly ------

# Little-endian 32-bit value as printf escapes.
le32() {
    local v=$(($1 & 0xFFFFFFFF))
    printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) \
        $((v >> 24 & 255))
}
# Overwrites four bytes at an offset.
put_le32() {
    # shellcheck disable=SC2059
    printf "$(le32 "$3")" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
get_le32() {
    od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '
}

# ImageMagick 6 writes 16-bit BMP3 files as bit fields (compression 3) but
# leaves out the three masks that must follow a 40-byte header. The pixels
# are 5-5-5 (RGB555) or 5-6-5 (RGB565); make each file what its pixels are.
as_plain_555() {
    put_le32 "$1" 30 0
}
with_masks() {
    local file="$1" red="$2" green="$3" blue="$4"
    {
        head -c 54 "$file"
        # shellcheck disable=SC2059
        printf "$(le32 "$red")$(le32 "$green")$(le32 "$blue")"
        tail -c +55 "$file"
    } >"$file.tmp" && mv "$file.tmp" "$file"
    put_le32 "$file" 2 $(($(get_le32 "$file" 2) + 12))
    put_le32 "$file" 10 $(($(get_le32 "$file" 10) + 12))
}
# Rows stored top row first: a bottom-up file of the flipped picture with its
# height negated.
as_top_down() {
    local height
    height="$(get_le32 "$1" 22)"
    put_le32 "$1" 22 $((-height))
}

# --- Variants --------------------------------------------------------------
# name | picture (the source, or its palette of 256, 16 or 2 colours) |
# ImageMagick output format | options | patch | expected: read or refused

variants=(
    "bmp3_24|source|BMP3|-type truecolor||read"
    "bmp2_24|source|BMP2|-type truecolor||read"
    "bmp3_8|q256|BMP3|-type palette -compress None||read"
    "bmp3_8_rle8|q256|BMP3|-type palette -compress RLE||read"
    "bmp2_8|q256|BMP2|-type palette||read"
    "bmp3_4|q16|BMP3|-type palette -compress None||read"
    "bmp2_4|q16|BMP2|-type palette||read"
    "bmp3_1|q2|BMP3|-type palette||read"
    "bmp2_1|q2|BMP2|-type palette||read"
    "bmp2_16_555|source|BMP2|-type truecolor -define bmp:subtype=RGB555||read"
    "bmp3_16_555|source|BMP3|-type truecolor -define bmp:subtype=RGB555|as_plain_555|read"
    "bmp3_16_565_fields|source|BMP3|-type truecolor -define bmp:subtype=RGB565|with_masks_565|read"
    "bmp3_32|source|BMP3|-alpha set -channel A -evaluate set 50% +channel -define bmp3:alpha=true||read"
    "bmp3_24_top_down|source|BMP3|-flip -type truecolor|as_top_down|read"
    "bmp4_24|source|BMP|-type truecolor -intent Undefined||refused"
    "bmp5_24|source|BMP|-type truecolor -intent Perceptual||refused"
    "bmp5_8_rle8|q256|BMP|-type palette -compress RLE -intent Perceptual||refused"
)

# ImageMagick 6.9's RLE8 decoder misplaces the runs that its own encoder
# writes over a row's pad bytes when a row is narrower than its padding (a
# 1-pixel-wide picture: the row's 1 pixel and 3 pad bytes encode as one run
# of 1 and one run of 3). Where the RLE8 decodes differ, the reader must
# instead match ImageMagick's decode of the same palette picture written
# uncompressed (bmp3_8): the true pixels.
declare -A truth_variant=([bmp3_8_rle8]=bmp3_8)

with_masks_565() {
    with_masks "$1" 0xF800 0x07E0 0x001F
}

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

compared=0
imagemagick_rle8_differences=0
declare -A compared_by_variant=()
one_sided=()
expected_one_sided=()

for source in "$work"/sources/*; do
    source_name="$(basename "${source%.*}")"

    # Write every variant of this picture.
    decode_args=()
    for variant in "${variants[@]}"; do
        IFS='|' read -r name picture format options patch _ <<<"$variant"
        file="$work/files/$source_name.$name.bmp"
        input="$source"
        if [ "$picture" != source ]; then
            input="$work/palettes/$source_name.$picture.miff"
        fi
        # shellcheck disable=SC2086
        if ! "$convert" "$input" $options "$format:$file" 2>"$work/convert.err"; then
            fail "ImageMagick could not write $name from $source_name: $(cat "$work/convert.err")"
            continue
        fi
        if [ -n "$patch" ]; then
            "$patch" "$file"
        fi
        decode_args+=("$file" -depth 8 -write "ppm:$work/decoded/$source_name.$name.ppm" +delete)
    done
    # ImageMagick decodes them all in one run (its start-up is most of its
    # time); a file it refuses leaves no PPM behind.
    "$convert" "${decode_args[@]}" null: 2>"$work/theirs.err" || true

    for variant in "${variants[@]}"; do
        IFS='|' read -r name _ _ _ _ expected <<<"$variant"
        file="$work/files/$source_name.$name.bmp"
        [ -f "$file" ] || continue
        label="$(basename "$file") (header $(get_le32 "$file" 14))"
        ours="$work/decoded/ours.ppm"
        theirs="$work/decoded/$source_name.$name.ppm"
        rm -f "$ours"
        ours_ok=0
        "$vup_assets" decode "$file" "$ours" 2>"$work/ours.err" && ours_ok=1
        theirs_ok=0
        [ -s "$theirs" ] && theirs_ok=1

        if [ "$expected" = refused ]; then
            expected_one_sided+=("$label")
        fi
        if [ "$ours_ok" = 1 ] && [ "$theirs_ok" = 1 ]; then
            compared=$((compared + 1))
            compared_by_variant[$name]=$((${compared_by_variant[$name]:-0} + 1))
            truth="${truth_variant[$name]:-}"
            if [ -n "$truth" ] && ! cmp -s "$ours" "$theirs" &&
                cmp -s "$ours" "$work/decoded/$source_name.$truth.ppm"; then
                echo "ImageMagick's RLE8 decode of $label differs; the reader matches $truth"
                imagemagick_rle8_differences=$((imagemagick_rle8_differences + 1))
            elif ! cmp -s "$ours" "$theirs"; then
                fail "$label: the reader and ImageMagick decode different pixels" \
                    "(ours $(head -c 20 "$ours" | tr '\n' ' '), theirs $(head -c 20 "$theirs" | tr '\n' ' '))"
            fi
        elif [ "$ours_ok" = 0 ] && [ "$theirs_ok" = 1 ]; then
            one_sided+=("$label")
            echo "only ImageMagick reads $label; the reader says: $(grep -v 'not decoded' "$work/ours.err" | head -1)"
        elif [ "$ours_ok" = 1 ] && [ "$theirs_ok" = 0 ]; then
            fail "only the reader reads $label; ImageMagick says: $(grep -F "$file" "$work/theirs.err" | head -1)"
        else
            fail "neither side reads $label"
        fi
    done
done

echo
echo "compared pixel for pixel, per variant:"
for variant in "${variants[@]}"; do
    IFS='|' read -r name _ <<<"$variant"
    printf '  %-20s %d files\n' "$name" "${compared_by_variant[$name]:-0}"
done
echo "  total                $compared files ($imagemagick_rle8_differences RLE8 files checked against the uncompressed picture)"
echo "read only by ImageMagick: ${#one_sided[@]} files (expected ${#expected_one_sided[@]})"

actual_list="$(printf '%s\n' "${one_sided[@]+"${one_sided[@]}"}" | sort)"
expected_list="$(printf '%s\n' "${expected_one_sided[@]+"${expected_one_sided[@]}"}" | sort)"
if [ "$actual_list" != "$expected_list" ]; then
    fail "the files only ImageMagick reads are not the intended refusals:"
    diff <(echo "$expected_list") <(echo "$actual_list") | sed 's/^/    /'
fi
# Every intended refusal is a header kind the reader does not take.
for label in "${one_sided[@]+"${one_sided[@]}"}"; do
    case "$label" in
        *"(header 108)" | *"(header 124)") ;;
        *) fail "$label is refused although its header is 12 or 40 bytes" ;;
    esac
done
if [ "$compared" -eq 0 ]; then
    fail "no file was compared"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "PASS"
