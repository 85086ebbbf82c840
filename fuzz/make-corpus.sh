#!/usr/bin/env bash
# Writes the seed corpus of the image decoder fuzzer: tiny images of every channel count and
# bit depth that the decoder meets, a few of the other formats that stb_image also reads,
# copies of the game's own PNG images, and the fuzzer's earlier finds (as find-*, without an
# extension: the tests take every *.png seed for an image that must decode). The 600 × 600
# background is left out: decoding it under the sanitizers is slow enough to cut the fuzzer's
# pace tenfold, and the small JPEGs reach the same decoder. Needs ImageMagick (Debian package
# imagemagick).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/fuzz/corpus"
mkdir -p "$out"
# The real ImageMagick, not a wrapper that may stand in front of it on PATH.
convert=$(command -v convert-im6.q16 || command -v convert)
# -strip: no time stamps or profiles, so that the files are the same on every run.
make() { "$convert" "$@"; }

colours=(-size 8x6 gradient:'#ff2040-#20a0ff')
grey=(-size 7x5 gradient:black-white -colorspace Gray)
alpha=(-size 6x6 gradient:'#ff000000-#00ff00ff')

make "${grey[@]}" -strip -define png:color-type=0 -depth 8 "$out/grey8.png"
make "${grey[@]}" -strip -define png:color-type=0 -depth 16 "$out/grey16.png"
make "${grey[@]}" -threshold 50% -strip -define png:color-type=0 -define png:bit-depth=1 "$out/grey1.png"
make "${alpha[@]}" -strip -colorspace Gray -define png:color-type=4 -depth 8 "$out/grey-alpha8.png"
make "${colours[@]}" -strip "PNG24:$out/rgb8.png"
make "${colours[@]}" -strip "PNG48:$out/rgb16.png"
make "${alpha[@]}" -strip "PNG32:$out/rgba8.png"
make "${alpha[@]}" -strip "PNG64:$out/rgba16.png"
make "${colours[@]}" -strip -colors 5 "PNG8:$out/palette.png"
make "${colours[@]}" -strip -colors 5 -define png:bit-depth=4 "PNG8:$out/palette4.png"
make "${alpha[@]}" -strip -colors 6 "PNG8:$out/palette-transparent.png"
make -size 9x9 pattern:checkerboard -strip -interlace PNG "PNG24:$out/interlaced.png"

make "${colours[@]}" -strip -quality 90 -sampling-factor 1x1 "$out/rgb444.jpg"
make -size 17x13 gradient:'#ff2040-#20a0ff' -strip -quality 80 -sampling-factor 2x2 "$out/rgb420.jpg"
make -size 16x16 gradient:'#804020-#20a0ff' -strip -interlace JPEG "$out/progressive.jpg"
make "${grey[@]}" -strip "$out/grey.jpg"
make "${colours[@]}" -strip -colorspace CMYK "$out/cmyk.jpg"

make "${colours[@]}" -strip "BMP3:$out/rgb.bmp"
make "${alpha[@]}" -strip "$out/rgba.tga"
make "${colours[@]}" -strip -colors 4 "$out/palette.gif"
make "${alpha[@]}" -strip "$out/rgba.psd"
make "${colours[@]}" -strip "$out/rgb.hdr"
make "${colours[@]}" -strip "$out/rgb.ppm"
make "${grey[@]}" -strip "$out/grey.pgm"

for image in "$root"/assets/*.png; do
    [ -e "$image" ] && cp "$image" "$out/asset-$(basename "$image")"
done
for find in "$root"/tests/gl/render/data/*; do
    [ -e "$find" ] && cp "$find" "$out/find-$(basename "${find%.*}")"
done
