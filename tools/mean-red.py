#!/usr/bin/env python3
"""Mean red of the bottom quarter of the last frame of a vulkara-render raw stream.

    vulkara-render --width W --height H ... --raw /dev/stdout | tools/mean-red.py W H

The stream is the palette (256 entries of red, green, blue, flags) followed by W*H bytes
per frame; the bottom quarter is the rows from 3H/4 down.
"""
import sys

PALETTE_BYTES = 256 * 4


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    width, height = int(sys.argv[1]), int(sys.argv[2])
    stream = sys.stdin.buffer
    palette = stream.read(PALETTE_BYTES)
    if len(palette) != PALETTE_BYTES:
        sys.exit("mean-red.py: no palette in the stream")
    red = bytes(palette[4 * i] for i in range(256))
    frame_bytes = width * height
    last = None
    while True:
        frame = stream.read(frame_bytes)
        if len(frame) < frame_bytes:
            break
        last = frame
    if last is None:
        sys.exit("mean-red.py: no whole frame in the stream")
    bottom = last[(3 * height // 4) * width:]
    print("%.1f" % (sum(bottom.translate(red)) / len(bottom)))


main()
