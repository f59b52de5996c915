# Checks of a picture of the fire, for the end-to-end tests of both front ends. Each reports
# what it measured and calls the caller's fail FAILURE... for what is wrong.

# check_fire FILE WIDTH HEIGHT: the screenshot has the expected size, many hot red-to-yellow
# pixels in its bottom third and a dark top quarter.
check_fire() {
    local file=$1 size hot dark third quarter
    size=$(identify -format '%wx%h' "$file")
    [ "$size" = "$2x$3" ] || fail "screenshot is $size, expected $2x$3"
    third=$(($3 / 3))
    quarter=$(($3 / 4))
    hot=$(convert "$file" -crop "$2x${third}+0+$(($3 - third))" +repage \
        -fx '(r > 0.35 && r >= g && g >= b && r - b > 0.2) ? 1 : 0' -format '%[fx:mean]' info:)
    dark=$(convert "$file" -crop "$2x${quarter}+0+0" +repage -colorspace gray \
        -format '%[fx:mean]' info:)
    echo "$file: hot share of the bottom third $hot, mean brightness of the top $dark"
    awk -v h="$hot" 'BEGIN { exit !(h > 0.10) }' || fail "too few hot pixels at the bottom ($hot)"
    awk -v d="$dark" 'BEGIN { exit !(d < 0.10) }' || fail "the top is not dark ($dark)"
}

# check_blocks FILE: the picture is made of whole 2x2 blocks, as the classic fire size
# stretched to twice its width and height gives: halving by sampling and doubling again gives
# the same picture.
check_blocks() {
    local blocks="${1%.png}-blocks.png" differ
    convert "$1" -sample 50% -sample 200% "$blocks"
    differ=$(compare -metric AE "$1" "$blocks" null: 2>&1)
    echo "pixels that are not part of a 2x2 block: $differ"
    [ "$differ" = 0 ] || fail "the fire is not stretched by whole pixels ($differ pixels differ)"
}
