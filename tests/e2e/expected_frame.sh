# Whether a screenshot shows the frame the show should be drawing. The show's
# 800 x 600 area is reduced the way the reference stills in tests/golden/ are
# made from the recorder's frames (100 x 75, each pixel the mean of an 8 x 8
# block) and compared with one of them channel by channel. Sourced by lib.sh
# and by test_windows_wine.sh.
#
# The live show under Xvfb and the Windows build under Wine both read 0.00
# levels from the still of the opening picture, no channel more than 24
# levels off (the recorder's own frame, reduced here, reads the same). With
# the picture drawn upside down they read 49 levels off on average with 51 %
# of the channels far off; mirrored, 22 and 25 %; a plain white square in its
# place, 106 and 65 %; a black screen, 73 and 62 %. The limits allow twice
# what the reference stills allow another build of the rasteriser.
FRAME_MEAN_LIMIT=2     # mean channel difference, levels of 255
FRAME_FAR_LIMIT=0.002  # share of channels more than 24 levels off

# frame_difference SHOT STILL [X Y]: "MEAN FAR" for the 800 x 600 area at X,Y
# (default 0,0) of SHOT against the reference STILL; fails when either
# picture cannot be read or the area is not all on the screenshot.
frame_difference() {
    local x=${3:-0} y=${4:-0} size shot width height
    size=$(identify -format '%wx%h' "$2" 2>/dev/null) || return 1
    shot=$(identify -format '%w %h' "$1" 2>/dev/null) || return 1
    read -r width height <<<"$shot"
    [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + 800)) -le "$width" ] &&
        [ $((y + 600)) -le "$height" ] || return 1
    "${IM_CONVERT:-convert}" "$1" -crop "800x600+$x+$y" +repage -scale "$size!" \
        "$2" -compose difference -composite -depth 8 txt:- 2>/dev/null |
        awk -v size="$size" '
            # "X,Y: (R,G,B)  #RRGGBB  name": the differences, 0 to 255.
            match($0, /\([0-9 ,]+\)/) {
                split(substr($0, RSTART + 1, RLENGTH - 2), d, ",")
                for (c = 1; c <= 3; c++) { sum += d[c]; far += d[c] + 0 > 24; n++ }
            }
            END {
                split(size, s, "x")
                if (n == 0 || n != 3 * s[1] * s[2]) exit 1
                printf "%.2f %.4f\n", sum / n, far / n
            }'
}

# matches_expected_frame SHOT STILL [X Y]: true when the show's area of SHOT
# (800 x 600 from X,Y) is the reference STILL within the limits above; says
# what it measured.
matches_expected_frame() {
    local measured mean far
    if ! measured=$(frame_difference "$@"); then
        echo "could not compare $1 with $2"
        return 1
    fi
    read -r mean far <<<"$measured"
    echo "$(basename "$1") against $(basename "$2"): mean difference $mean levels," \
        "$far of the channels more than 24 levels off"
    awk -v m="$mean" -v f="$far" -v ml="$FRAME_MEAN_LIMIT" -v fl="$FRAME_FAR_LIMIT" \
        'BEGIN { exit !(m <= ml && f <= fl) }'
}
