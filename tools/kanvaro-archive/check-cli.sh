#!/bin/sh
# check-cli.sh TOOL WORKDIR: runs kanvaro-archive on a generated photo and on bad inputs, checking
# exit codes and output. Exits 77 (skipped) when python3, needed to write the photo, is missing.
set -u
tool=$1
work=$2
failures=0
rm -rf "$work" && mkdir -p "$work" || exit 1

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# expect_status WANT COMMAND...: runs the tool with stdout and stderr captured in $work/out, $work/err.
expect_status() {
    want=$1; shift
    "$tool" "$@" >"$work/out" 2>"$work/err"
    got=$?
    [ "$got" -eq "$want" ] || fail "$* exited $got, expected $want; stderr: $(cat "$work/err")"
}
expect_line() { grep -qxF -- "$2" "$work/$1" || fail "missing line in $1: '$2'; got: $(cat "$work/$1")"; }

command -v python3 >/dev/null 2>&1 || { echo "python3 missing: skipped"; exit 77; }

# A 16 x 12 opaque RGB photo whose pixels vary with their position.
python3 - "$work/photo.png" <<'PY'
import struct, sys, zlib
w, h = 16, 12
rows = b''.join(b'\0' + bytes(v for x in range(w) for v in (x * 16, y * 20, (x ^ y) * 8)) for y in range(h))
def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0)) \
    + chunk(b'IDAT', zlib.compress(rows)) + chunk(b'IEND', b'')
open(sys.argv[1], 'wb').write(png)
PY

# Usage errors.
expect_status 64
expect_status 64 info
expect_status 64 render "$work/photo.art"
expect_status 64 frobnicate "$work/photo.png" "$work/x"
expect_status 64 render "$work/photo.art" "$work/x.png" --scale 0
expect_status 64 render "$work/photo.art" "$work/x.png" --scale two
grep -q "usage: kanvaro-archive" "$work/err" || fail "usage text missing"

# A photo painting: made, described, rendered.
expect_status 0 from-photo "$work/photo.png" "$work/photo.art"
[ -s "$work/photo.art" ] || fail "from-photo wrote no archive"
expect_status 0 info "$work/photo.art"
expect_line out "classes: DataModel RawImage Canvas UIColor"
expect_line out "canvas: 1024 x 768"
expect_line out "raw image: 16 x 12, bpp 32, bpc 8, rb 64, orientation 0"
expect_line out "background: 1 1 1 1"
expect_line out "texture: none"
expect_line out "journal: 39 bytes, 0 strokes, engine version 1, starts from the photo"
expect_line out "full photo: 16 x 12, the raw image"
expect_status 0 render "$work/photo.art" "$work/photo-render.png"
# Replayed from its journal at its own size it is the same picture; at twice the size, twice as big.
expect_status 0 render "$work/photo.art" "$work/photo-replay.png" --scale 1
cmp -s "$work/photo-render.png" "$work/photo-replay.png" || fail "--scale 1 differs from the stored painting"
expect_status 0 render "$work/photo.art" "$work/photo-double.png" --scale 2
# At full size: the photo (16 x 12) is smaller than the canvas, so the canvas's own size.
expect_status 0 render "$work/photo.art" "$work/photo-full.png" --full-size
cmp -s "$work/photo-render.png" "$work/photo-full.png" || fail "--full-size of a small photo is not the painting"
python3 - "$work/photo-render.png" <<'PY' || fail "render output is not a 1024 x 768 PNG"
import struct, sys
data = open(sys.argv[1], 'rb').read()
assert data[:8] == b'\x89PNG\r\n\x1a\n' and data[12:16] == b'IHDR'
assert struct.unpack('>II', data[16:24]) == (1024, 768), struct.unpack('>II', data[16:24])
PY
python3 - "$work/photo-double.png" <<'PY' || fail "render --scale 2 is not a 2048 x 1536 PNG"
import struct, sys
data = open(sys.argv[1], 'rb').read()
assert struct.unpack('>II', data[16:24]) == (2048, 1536), struct.unpack('>II', data[16:24])
PY

# The same photo tagged to be turned a quarter clockwise: the painting keeps the photo's own file,
# which gives it upright at full size.
python3 - "$work/photo.png" "$work/turned.png" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
tiff = b'MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0'
chunk = struct.pack('>I', len(tiff)) + b'eXIf' + tiff + struct.pack('>I', zlib.crc32(b'eXIf' + tiff))
open(sys.argv[2], 'wb').write(data[:33] + chunk + data[33:])
PY
expect_status 0 from-photo "$work/turned.png" "$work/turned.art"
expect_status 0 info "$work/turned.art"
expect_line out "raw image: 768 x 1024, bpp 32, bpc 8, rb 3072, orientation 0"
expect_line out "full photo: 12 x 16, from the photo's own file, $(wc -c <"$work/turned.png" | tr -d ' ') bytes"

# Its time-lapse: 5 seconds of 30 frames at 1080 x 810, or at a size asked for; bad lengths and
# sizes are usage errors.
expect_status 0 timelapse "$work/photo.art" "$work/photo.mp4" --seconds 5
expect_line out "$work/photo.mp4: 1080 x 810, 150 frames at 30 per second"
expect_status 0 timelapse "$work/photo.art" "$work/small.mp4" --size 101 --seconds 5
expect_line out "$work/small.mp4: 100 x 74, 150 frames at 30 per second"
expect_status 64 timelapse "$work/photo.art" "$work/x.mp4" --seconds 4
expect_status 64 timelapse "$work/photo.art" "$work/x.mp4" --size
expect_status 64 timelapse "$work/photo.art" "$work/x.mp4" --speed 2
[ ! -e "$work/x.mp4" ] || fail "a refused time-lapse wrote a file"

# The photo painted automatically: paper and medium by name (any case), the same seed paints the
# same picture; options it does not know are usage errors.
expect_status 0 paint "$work/photo.png" "$work/painted.art" --medium Pastel --paper Canvas --seed 4
expect_status 0 info "$work/painted.art"
expect_line out "texture: Canvas"
expect_status 0 render "$work/painted.art" "$work/painted.png"
cmp -s "$work/painted.png" "$work/photo-render.png" && fail "paint left the canvas blank"
expect_status 0 paint "$work/photo.png" "$work/again.art" --seed 4 --paper canvas --medium pastel
expect_status 0 render "$work/again.art" "$work/again.png"
cmp -s "$work/painted.png" "$work/again.png" || fail "the same seed painted another picture"
for bad in "--medium Crayon" "--paper Silk" "--seed -1" "--seed 4294967296" "--medium" "--colour red"; do
    # shellcheck disable=SC2086 # the option and its value are two words
    expect_status 64 paint "$work/photo.png" "$work/unwanted.art" $bad
done
[ ! -e "$work/unwanted.art" ] || fail "paint with a bad option wrote a file"

# A saved painting with paper colour and texture: the texture comes from the bundle
# (KANVARO_RESOURCES), so rendering without it gives a different picture.
seed="$(dirname "$0")/../../fuzz/corpus/data_model/photo_16x12.art"
expect_status 0 info "$seed"
expect_line out "texture: Brick"
expect_line out "background: 0.9 0.8 0.3 1"
expect_line out "journal: none"
# Opened, it starts a journal from its pixels, so its time-lapse starts there.
expect_status 0 timelapse "$seed" "$work/pixels.mp4" --seconds 5 --size 64
expect_line out "$work/pixels.mp4: 64 x 48, 150 frames at 30 per second"
expect_status 0 render "$seed" "$work/textured.png"
KANVARO_RESOURCES="$work/no-resources" "$tool" render "$seed" "$work/untextured.png" 2>/dev/null \
    || fail "render without resources failed"
cmp -s "$work/textured.png" "$work/untextured.png" && fail "the texture made no difference"

# Files that are not paintings: exit 2 and one line naming the file.
: >"$work/empty.art"
head -c 4096 /dev/urandom >"$work/random.art"
head -c 300 "$work/photo.art" >"$work/truncated.art"
cp "$work/photo.png" "$work/picture.art"
for bad in missing.art empty.art random.art truncated.art picture.art .; do
    expect_status 2 info "$work/$bad"
    grep -q "^kanvaro-archive: $work/$bad is not a painting: ." "$work/err" || fail "no reason for $bad: $(cat "$work/err")"
    [ "$(wc -l <"$work/err")" -eq 1 ] || fail "reason for $bad is not one line: $(cat "$work/err")"
    expect_status 2 render "$work/$bad" "$work/bad.png"
    expect_status 2 timelapse "$work/$bad" "$work/bad.mp4"
done
[ ! -e "$work/bad.png" ] || fail "render of a bad archive wrote a file"

# Photos the application cannot use.
for bad in random.art missing.png; do
    expect_status 2 from-photo "$work/$bad" "$work/bad.art"
    expect_line err "The photo you selected is in an unsupported format. Please select another photo."
    expect_status 2 paint "$work/$bad" "$work/bad.art"
    expect_line err "The photo you selected is in an unsupported format. Please select another photo."
done
[ ! -e "$work/bad.art" ] || fail "from-photo of a bad photo wrote a file"

# A named pipe is refused at once, not waited on.
if mkfifo "$work/pipe.art" 2>/dev/null; then
    timeout 10 "$tool" info "$work/pipe.art" >"$work/out" 2>"$work/err"
    got=$?
    [ "$got" -eq 2 ] || fail "info on a named pipe exited $got, expected 2"
    grep -q "is not a painting: .*not a regular file" "$work/err" || fail "no reason for the pipe: $(cat "$work/err")"
fi

# A save that fails (here on a file-size limit, as `ulimit -f` sets) exits 1 with the reason and
# leaves the old archive and no temporary file.
cp "$work/photo.art" "$work/kept.art"
(ulimit -f 1 && exec "$tool" from-photo "$work/photo.png" "$work/kept.art") >"$work/out" 2>"$work/err"
got=$?
[ "$got" -eq 1 ] || fail "a save over the file-size limit exited $got, expected 1"
grep -q "^kanvaro-archive: cannot write $work/kept.art: .*File too large" "$work/err" || fail "no reason for the failed save: $(cat "$work/err")"
cmp -s "$work/photo.art" "$work/kept.art" || fail "the failed save changed the old archive"
ls "$work" | grep -q '\.tmp-' && fail "the failed save left a temporary file"

[ "$failures" -eq 0 ] && echo "all checks passed"
exit "$((failures > 0))"
