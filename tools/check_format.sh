#!/usr/bin/env bash
# Fails, naming each file, when a C++ file of the tree is not laid out as
# .clang-format says. To lay out the whole tree:
#   tools/check_format.sh --apply
cd "$(dirname "$0")/.." || exit 2
if ! command -v clang-format >/dev/null; then
    echo "check_format: clang-format is not installed (make deps installs it)"
    exit 1
fi
mapfile -t files < <(find . -path ./.git -prune -o -path './build*' -prune -o \
    \( -name '*.cpp' -o -name '*.h' \) -print | sort)
if [[ ${1:-} == --apply ]]; then
    clang-format -i --style=file "${files[@]}"
    exit
fi
unformatted=0
for file in "${files[@]}"; do
    if ! clang-format --style=file --dry-run --Werror "$file" >/dev/null 2>&1; then
        echo "check_format: ${file#./} is not laid out as .clang-format says"
        unformatted=$((unformatted + 1))
    fi
done
if ((unformatted > 0)); then
    echo "check_format: $unformatted of ${#files[@]} files; tools/check_format.sh --apply lays them out"
    exit 1
fi
echo "check_format: all ${#files[@]} files laid out as .clang-format says"
