#!/usr/bin/env bash
# Builds SDL2 and SDL2_mixer for the browser from Debian's own source packages,
# once: the libraries land in OUT/prefix and later runs only check them.
# The sources come through a private apt configuration in OUT (the machine's
# own sources list is neither read for deb-src nor changed).
set -euo pipefail
OUT=${1:?usage: build_sdl.sh OUT_FOLDER}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
PREFIX=$OUT/prefix
if [ -f "$PREFIX/.complete" ]; then
    exit 0
fi
export NODE_PATH=/usr/share/nodejs EMSDK_PYTHON=/usr/bin/python3

# The same mirror and suite as the machine's own Debian sources.
mirror=http://deb.debian.org/debian
suite=bookworm
if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    uri=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources)
    s=$(awk '/^Suites:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources)
    [ -n "$uri" ] && mirror=$uri
    [ -n "$s" ] && suite=$s
elif [ -f /etc/apt/sources.list ]; then
    read -r mirror suite < <(awk '$1 == "deb" && $2 !~ /^\[/ {print $2, $3; exit}' /etc/apt/sources.list)
fi
APT=$OUT/apt
mkdir -p "$APT/lists/partial" "$OUT/src"
echo "deb-src $mirror $suite main" >"$APT/sources.list"
aptopts=(-o "Dir::Etc::SourceList=$APT/sources.list" -o Dir::Etc::SourceParts=/nonexistent
         -o "Dir::State::Lists=$APT/lists" -o Debug::NoLocking=1)
if ! ls "$OUT"/src/libsdl2_*.dsc >/dev/null 2>&1 || ! ls "$OUT"/src/libsdl2-mixer_*.dsc >/dev/null 2>&1; then
    echo "web: fetching Debian's SDL2 and SDL2_mixer sources" >&2
    apt-get "${aptopts[@]}" update >&2
    (cd "$OUT/src" && apt-get "${aptopts[@]}" source --download-only libsdl2 libsdl2-mixer >&2)
fi
cd "$OUT/src"
for dsc in libsdl2_*.dsc libsdl2-mixer_*.dsc; do
    dir=$(basename "$dsc" .dsc | sed 's/_/-/; s/-[0-9]*$//; s/+dfsg$//')
    [ -d "$dir" ] || dpkg-source --no-check -x "$dsc" "$dir" >&2
done
sdl_src=$(ls -d "$OUT"/src/libsdl2-[0-9]* | head -1)
mixer_src=$(ls -d "$OUT"/src/libsdl2-mixer-[0-9]* | head -1)

emcmake cmake -S "$sdl_src" -B "$OUT/sdl2-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF >&2
cmake --build "$OUT/sdl2-build" -j "${JOBS:-2}" >&2
cmake --install "$OUT/sdl2-build" >&2

emcmake cmake -S "$mixer_src" -B "$OUT/mixer-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_PREFIX_PATH="$PREFIX" -DCMAKE_FIND_ROOT_PATH="$PREFIX" \
    -DSDL2_DIR="$PREFIX/lib/cmake/SDL2" -DBUILD_SHARED_LIBS=OFF -DSDL2MIXER_VENDORED=OFF \
    -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_WAVE=ON -DSDL2MIXER_VORBIS=STB -DSDL2MIXER_MIDI=OFF \
    -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF -DSDL2MIXER_OPUS=OFF \
    -DSDL2MIXER_CMD=OFF -DSDL2MIXER_GME=OFF -DSDL2MIXER_WAVPACK=OFF >&2
cmake --build "$OUT/mixer-build" -j "${JOBS:-2}" >&2
cmake --install "$OUT/mixer-build" >&2
touch "$PREFIX/.complete"
