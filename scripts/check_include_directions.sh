#!/usr/bin/env bash
# Checks the include directions the layers rely on:
#   - nothing under src/platform includes the program (any other folder of src);
#   - nothing under src/filelist or src/ftp includes src/filemanager;
#   - no front end includes another front end (frontends/script is the shared script
#     language and frontends/launcher picks a front end, so both are exempt).
# Usage: check_include_directions.sh [ROOT]   (ROOT defaults to the repository)
#        check_include_directions.sh --self-test   (each rule must catch a planted include)
set -uo pipefail

# Prints "FILE: includes FOLDER/..." for every quoted include in the files under DIR whose
# first path component is one of the given folders.
includes_of() {
    local dir=$1
    shift
    [[ -d $dir ]] || return 0
    local pattern
    pattern=$(printf '%s|' "$@")
    pattern=${pattern%|}
    grep -rnE --include='*.h' --include='*.cpp' --include='*.in' \
        "^[[:space:]]*#[[:space:]]*include[[:space:]]+\"($pattern)/" "$dir" |
        sed -E 's/^([^:]+:[0-9]+):.*"([^"]+)".*/\1: includes \2/'
}

check() {
    local root=$1
    local found=""
    local program=() frontends=()
    local folder
    for folder in "$root"/src/*/; do
        folder=$(basename "$folder")
        [[ $folder == platform ]] || program+=("$folder")
    done
    for folder in "$root"/frontends/*/; do
        folder=$(basename "$folder")
        [[ $folder == script || $folder == launcher ]] || frontends+=("$folder")
    done

    if ((${#program[@]})); then
        found+=$(includes_of "$root/src/platform" "${program[@]}")$'\n'
    fi
    found+=$(includes_of "$root/src/filelist" filemanager)$'\n'
    found+=$(includes_of "$root/src/ftp" filemanager)$'\n'
    local frontend others
    for frontend in "${frontends[@]}"; do
        others=()
        for folder in "${frontends[@]}"; do
            [[ $folder == "$frontend" ]] || others+=("$folder")
        done
        if ((${#others[@]})); then
            found+=$(includes_of "$root/frontends/$frontend" "${others[@]}")$'\n'
        fi
    done

    found=$(grep -v '^$' <<<"$found")
    if [[ -n $found ]]; then
        echo "Includes against the layer directions:"
        echo "$found"
        return 1
    fi
    return 0
}

self_test() {
    local tree
    tree=$(mktemp -d)
    trap 'rm -rf "$tree"' RETURN
    mkdir -p "$tree"/src/{platform/ui,app,filelist,filemanager,ftp} \
        "$tree"/frontends/{headless,qt,script,launcher}
    echo '#include "platform/ui/window.h"' >"$tree/src/platform/ui/ok.h"
    echo '#include "filelist/path_box.h"' >"$tree/src/filemanager/ok.cpp"
    echo '#include "script/script.h"' >"$tree/frontends/qt/ok.cpp"
    echo '#include "headless/run_script.h"' >"$tree/frontends/launcher/ok.cpp"
    echo '#include "qt/gui_run.h"' >>"$tree/frontends/launcher/ok.cpp"
    if ! check "$tree" >/dev/null; then
        echo "self-test: a clean tree was reported"
        return 1
    fi
    local planted
    for planted in 'src/platform/ui/bad.cpp:app/globals.h' \
        'src/filelist/bad.cpp:filemanager/file_manager_dlg.h' \
        'src/ftp/bad.h:filemanager/file_manager_dlg.h' \
        'frontends/qt/bad.cpp:headless/headless_frontend.h' \
        'frontends/headless/bad.cpp:qt/qt_frontend.h'; do
        local file=${planted%%:*} header=${planted#*:}
        echo "#include \"$header\"" >"$tree/$file"
        if check "$tree" >/dev/null; then
            echo "self-test: $file including $header was not caught"
            return 1
        fi
        rm "$tree/$file"
    done
    echo "self-test: every rule caught its planted include"
}

if [[ ${1:-} == --self-test ]]; then
    self_test
else
    check "${1:-$(cd "$(dirname "$0")/.." && pwd)}"
fi
