#!/usr/bin/env bash
# Runs one transcript: a text whose lines "  $ COMMAND" are run in turn by
# bash, in a fresh folder holding a copy of the transcript's own folder (the
# file's name without .t), with the programs' folders first on PATH. Each
# command's standard output follows it, indented by two blanks, then its
# standard error, each line after "  ! ", then its status in brackets when it
# is not 0; the folder's path reads as WORK. Other lines are comments. The
# transcript passes when the run reproduces it exactly; with
# TRANSCRIPT_UPDATE=1 the run is written over it instead.
# Arguments: the transcript, then the folders of the programs.
set -u
transcript=$(realpath "$1")
shift
for folder in "$@"; do PATH="$(realpath "$folder"):$PATH"; done
export PATH
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -d "${transcript%.t}" ] && cp -a "${transcript%.t}/." "$work/"
cd "$work"
while IFS= read -r line; do
    case $line in
    '  $ '*)
        printf '%s\n' "$line"
        bash -c "${line#  \$ }" >"$work/.out" 2>"$work/.err" </dev/null
        status=$?
        sed -e "s|$work|WORK|g" -e 's/^/  /' "$work/.out"
        sed -e "s|$work|WORK|g" -e 's/^/  ! /' "$work/.err"
        [ "$status" -eq 0 ] || printf '  [%d]\n' "$status"
        ;;
    '  '*) ;;
    *) printf '%s\n' "$line" ;;
    esac
done <"$transcript" >"$work/.actual"
if [ "${TRANSCRIPT_UPDATE:-0}" = 1 ]; then
    cp "$work/.actual" "$transcript"
else
    diff -u "$transcript" "$work/.actual"
fi
