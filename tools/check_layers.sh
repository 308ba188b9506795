#!/usr/bin/env bash
# Fails, naming file and line, when a folder includes a header from a folder
# above it. The layers, bottom to top; the folders of one line may include
# each other and anything below. An entry may name a single file: the
# Renderer seam lives in render/ but sits with the base, so that a level's
# load can hand its texture and fog colour to it. The build reads this list
# too (cmake/layers.cmake): each line below the top is one or more libraries
# that see only the headers of their line and the lines beneath.
LAYERS=(
    "platform glide2"
    "files platform/sdl"
    "game render/renderer.h render/screen_vertex.h render/renderer.cpp"
    "levels sim"
    "render"
    "records screens"
    "shell"
    "apps tools tests benchmarks fuzz"
)
cd "$(dirname "$0")/.." || exit 2

# Sets layer to the line of the path's longest matching entry; empty for none
# (generated headers, system-like paths).
layerOf() {
    local path=$1 i entry longest=0
    layer=""
    for i in "${!LAYERS[@]}"; do
        for entry in ${LAYERS[i]}; do
            if [[ $path == "$entry" || $path == "$entry"/* ]] && ((${#entry} > longest)); then
                layer=$i
                longest=${#entry}
            fi
        done
    done
}

# Every folder below the top line; the top may include anything.
folders=$(printf '%s\n' ${LAYERS[@]:0:${#LAYERS[@]}-1} | cut -d/ -f1 | sort -u)
status=0
includeLine='^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)"'
while IFS=: read -r file line text; do
    [[ $text =~ $includeLine ]] || continue
    target=${BASH_REMATCH[1]}
    # A path relative to the including file's folder counts from there.
    if [[ -e $(dirname "$file")/$target ]]; then
        target=$(realpath -m --relative-to=. "$(dirname "$file")/$target")
    fi
    layerOf "$file"
    from=$layer
    layerOf "$target"
    if [[ -n $from && -n $layer ]] && ((layer > from)); then
        echo "$file:$line: includes \"$target\", but \"${LAYERS[layer]}\" lies above \"${LAYERS[from]}\""
        status=1
    fi
done < <(grep -rnE --include='*.h' --include='*.cpp' --include='*.c' --include='*.inc' "$includeLine" $folders)
if ((status == 0)); then
    echo "check_layers: every include looks down"
fi
exit $status
