#!/bin/sh
# Installs the build into a fresh prefix, checks the manual pages, the desktop
# entry and the thumbnailer installed with the programs, and runs the installed
# programs from there: each tells its version; vesk-view writes a scene folder
# for a demo model that vesk-inspect reads back; started without --scene, it
# runs the viewer installed beside it until it is told to end, and leaves no
# temporary folder behind.
# Arguments: the build folder, the source folder and the project's version.
set -eu
build=$1
source=$2
version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAILED: $*"; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
for file in bin/vesk-viewer bin/vesk-view bin/vesk-inspect share/doc/vesk/README.md \
            share/man/man1/vesk-viewer.1 share/man/man1/vesk-view.1 share/man/man1/vesk-inspect.1 \
            share/applications/vesk-view.desktop share/thumbnailers/vesk-view.thumbnailer; do
    [ -f "prefix/$file" ] || fail "prefix/$file not installed"
done
for program in vesk-viewer vesk-view vesk-inspect; do
    name=$(sed -n '/^\.SH NAME$/{n;p;q;}' "prefix/share/man/man1/$program.1")
    case $name in "$program \\- "?*) ;; *) fail "NAME line of $program.1: $name" ;; esac
    [ "$(prefix/bin/$program --version)" = "$program $version" ] || fail "$program --version"
done

prefix/bin/vesk-view --up z --scene scene "$source/demo/Data/Crate.obj" || fail "vesk-view --scene"
prefix/bin/vesk-inspect scene scene/SceneGraph.sg >scene.json 2>errors.txt || fail "vesk-inspect scene"
grep -q '^{"allMeshNames":\["Crate"\],' scene.json || fail "scene read back: $(cat scene.json)"
[ ! -s errors.txt ] || fail "vesk-inspect wrote on standard error: $(cat errors.txt)"
[ "$(readlink scene/Data/crate.png)" = "$source/demo/Data/crate.png" ] || fail "picture link"

mkdir tmp
TMPDIR="$work/tmp" prefix/bin/vesk-view "$source/demo/Data/Crate.obj" &
view=$!
tries=0
until [ -n "$(ls tmp/*/global.log 2>/dev/null)" ]; do
    tries=$((tries + 1))
    [ "$tries" -le 200 ] || { kill "$view"; fail "the installed viewer did not start"; }
    sleep 0.1
done
kill -TERM "$view"
status=0
wait "$view" || status=$?
[ "$status" -eq 143 ] || fail "vesk-view ended with $status, not the viewer's 128 + SIGTERM"
[ -z "$(ls -A tmp)" ] || fail "temporary folder left: $(ls tmp)"
echo "installed programs run from $work/prefix"
