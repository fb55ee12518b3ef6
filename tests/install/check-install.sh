#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a desktop and a shell find
# there: the file list, the desktop entry, the AppStream metadata, the icons, the manual
# pages and the bash completion.
#   check-install.sh <build dir> <source dir> <check>
# check: files | desktop | metainfo | icons | man | completion | version
set -euo pipefail
build=$1 src=$2 check=$3
id=io.github.quorvex.Quorvex
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
usr=$root/usr
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

# Every option of the batch tool's help text, e.g. --output-dir, --no-names.
help_options() { grep -oE -- '--[a-z][a-z-]*' "$src/resources/batch-help.txt" | sort -u; }
# The words a value option accepts, from its help line: "-t, --type TYPE  jpeg, bmp, ...".
help_words() {
    grep -E -- "$1 [A-Z]" "$src/resources/batch-help.txt" | head -1 | sed -E 's/.*[A-Z]{2,}[[:space:]]+//; s/^[^:]*: //' |
        grep -oE '[a-z]+' | tr '\n' ' ' | sed 's/ $//'
}

case $check in
files)
    expected=(
        bin/quorvex
        bin/quorvex-batch
        share/applications/$id.desktop
        share/bash-completion/completions/quorvex-batch
        share/doc/quorvex/changelog
        share/doc/quorvex/copyright
        share/man/man1/quorvex-batch.1
        share/man/man1/quorvex.1
        share/metainfo/$id.metainfo.xml
        share/icons/hicolor/scalable/apps/$id.svg
    )
    for size in 16 24 32 48 64 128 256; do
        expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
    done
    diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$usr" && find . -type f -o -type l | sed 's|^\./||' | sort) ||
        fail "installed files differ from the expected list (< expected, > installed)"
    for exe in bin/quorvex bin/quorvex-batch; do
        [[ -x $usr/$exe ]] || fail "$exe is not executable"
    done
    # A directory the installer creates must be usable by everyone.
    bad=$(find "$usr" -type d ! -perm -0755)
    [[ -z $bad ]] || fail "directories without 0755: $bad"
    ;;
desktop)
    out=$(desktop-file-validate "$usr/share/applications/$id.desktop" 2>&1) || fail "desktop-file-validate failed"
    [[ -z $out ]] || fail "desktop-file-validate: $out"
    # The entry starts the installed program with the file and names the installed icon.
    declare -A want=([Exec]="quorvex %f" [Icon]=$id [MimeType]="text/csv;" [Categories]="Office;Finance;")
    for key in "${!want[@]}"; do
        got=$(sed -n "s/^$key=//p" "$usr/share/applications/$id.desktop")
        [[ $got == "${want[$key]}" ]] || fail "$key=$got, expected ${want[$key]}"
    done
    for key in 'Name\[ja\]' 'Comment\[ja\]' Name Comment; do
        grep -q "^$key=" "$usr/share/applications/$id.desktop" || fail "no $key in the desktop entry"
    done
    [[ -x $usr/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$usr/share/applications/$id.desktop") ]] ||
        fail "Exec names no installed program"
    ;;
metainfo)
    out=$(appstreamcli validate --no-net --no-color "$usr/share/metainfo/$id.metainfo.xml" 2>&1) ||
        fail "appstreamcli validate failed: $out"
    if grep -qE '^[EWI]: ' <<<"$out"; then fail "appstreamcli: $out"; fi
    meta=$usr/share/metainfo/$id.metainfo.xml
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$meta" || fail "launchable"
    for bin in quorvex quorvex-batch; do
        grep -q "<binary>$bin</binary>" "$meta" || fail "<binary>$bin</binary> missing"
        [[ -x $usr/bin/$bin ]] || fail "provided binary $bin not installed"
    done
    version=$("$usr/bin/quorvex-batch" --version | awk '{print $2}')
    grep -q "<release version=\"$version\"" "$meta" || fail "no release entry for version $version"
    ;;
icons)
    # Every fixed size is a PNG of exactly that many pixels (width and height from IHDR).
    for size in 16 24 32 48 64 128 256; do
        png=$usr/share/icons/hicolor/${size}x${size}/apps/$id.png
        [[ $(head -c 8 "$png" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] || fail "$png is no PNG"
        wh=$(od -An -j16 -N8 -tu1 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
        [[ $wh == "${size}x${size}" ]] || fail "$png is $wh"
    done
    grep -q '<svg' "$usr/share/icons/hicolor/scalable/apps/$id.svg" || fail "scalable icon is no SVG"
    ;;
man)
    export LANG=C.UTF-8 MANWIDTH=80
    for page in quorvex quorvex-batch; do
        file=$usr/share/man/man1/$page.1
        err=$( { man --warnings -l "$file" >"$root/$page.txt"; } 2>&1) || fail "man -l $page failed"
        [[ -z $err ]] || fail "man -l $page: $err"
        grep -q "^名前" "$root/$page.txt" || fail "$page: no 名前 section"
        head -1 "$root/$page.txt" | grep -q "^${page^^}(1)" || fail "$page: header $(head -1 "$root/$page.txt")"
    done
    # The batch tool's page documents every option of its help text.
    while read -r opt; do
        grep -qF -- "$opt" "$root/quorvex-batch.txt" || fail "quorvex-batch(1) lacks $opt"
    done < <(help_options)
    ;;
completion)
    script=$usr/share/bash-completion/completions/quorvex-batch
    complete_words() { # <words...>: what completing the last word offers
        bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
                 COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}; _quorvex_batch; echo "${COMPREPLY[*]}"' _ "$script" "$@"
    }
    # Value options complete the words their help line lists.
    for pair in -t:--type -s:--separator --centre-line:--centre-line --ratio-position:--ratio-position; do
        words=$(help_words "${pair#*:}")
        [[ -n $words ]] || { fail "no value words for ${pair#*:} in the help text"; continue; }
        for opt in "${pair%%:*}" "${pair#*:}"; do
            got=$(complete_words quorvex-batch "$opt" "")
            [[ $got == "$words" ]] || fail "$opt completes '$got', the help lists '$words'"
        done
    done
    got=$(complete_words quorvex-batch -t p)
    [[ $got == "png pdf" ]] || fail "-t p completes '$got'"
    # Every option of the help text is offered after "--".
    offered=$(complete_words quorvex-batch --)
    while read -r opt; do
        grep -qw -- "$opt" <<<"${offered// /$'\n'}" || fail "-- does not offer $opt"
    done < <(help_options)
    # The file argument: folders and CSV files only.
    mkdir -p "$root/w/sub" && touch "$root/w/a.csv" "$root/w/B.CSV" "$root/w/c.txt"
    got=$(cd "$root/w" && complete_words quorvex-batch "")
    [[ $(tr ' ' '\n' <<<"$got" | sort | tr '\n' ' ') == "B.CSV a.csv sub " ]] || fail "file completion '$got'"
    # With the bash-completion library loaded, as an interactive shell has it.
    if [[ -f /usr/share/bash-completion/bash_completion ]]; then
        got=$(bash -c 'source /usr/share/bash-completion/bash_completion; source "$1"
                       COMP_WORDS=(quorvex-batch --type ""); COMP_CWORD=2; COMP_LINE="quorvex-batch --type "
                       COMP_POINT=${#COMP_LINE}; _quorvex_batch; echo "${COMPREPLY[*]}"' _ "$script")
        [[ $got == "$(help_words --type)" ]] || fail "with bash-completion, --type completes '$got'"
    fi
    ;;
*)
    fail "unknown check $check"
    ;;
esac
exit $status
