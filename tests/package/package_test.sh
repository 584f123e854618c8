#!/bin/sh
# Builds the Debian package from the build folder with the configuration CMake
# wrote for it (CPackConfig.cmake) and checks what it holds and declares: the
# installed files under /usr and nothing else, the libraries the programs link
# among its Depends, xvfb recommended. Then runs the packaged thumbnailer's
# command as a file manager does, and reads back the thumbnail it writes. It
# runs without DISPLAY, on vesk-view's own Xvfb: on the tests' shared display
# it could take another test's viewer window for its own.
# Arguments: the build folder, the source folder and the project's version.
set -eu
build=$1
source=$2
version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAILED: $*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work" >cpack.log 2>&1 || { cat cpack.log; fail "cpack"; }
package=vesk_${version}_$(dpkg --print-architecture).deb
[ -f "$package" ] || fail "$package not built: $(ls)"

dpkg-deb --contents "$package" | awk '$1 !~ /^d/ { print $6, $1, $2 }' >contents
cat >expected <<LIST
./usr/bin/vesk-inspect -rwxr-xr-x root/root
./usr/bin/vesk-view -rwxr-xr-x root/root
./usr/bin/vesk-viewer -rwxr-xr-x root/root
./usr/share/applications/vesk-view.desktop -rw-r--r-- root/root
./usr/share/doc/vesk/README.md -rw-r--r-- root/root
./usr/share/man/man1/vesk-inspect.1 -rw-r--r-- root/root
./usr/share/man/man1/vesk-view.1 -rw-r--r-- root/root
./usr/share/man/man1/vesk-viewer.1 -rw-r--r-- root/root
./usr/share/thumbnailers/vesk-view.thumbnailer -rw-r--r-- root/root
LIST
LC_ALL=C sort contents | diff expected - || fail "package contents"

field() { dpkg-deb --field "$package" "$1"; }
[ "$(field Package) $(field Version) $(field Section)" = "vesk $version graphics" ] || fail "$(dpkg-deb --field "$package" Package Version Section)"
[ "$(field Recommends)" = xvfb ] || fail "Recommends: $(field Recommends)"
field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' >depends
for library in libopengl0 libglx0 libglu1-mesa libglut3.12 libglew2.2 libdevil1c2 libx11-6 libxtst6; do
    grep -qx "$library" depends || fail "$library not in Depends: $(field Depends)"
done

dpkg-deb --extract "$package" root
command=$(sed -n 's/^Exec=//p' root/usr/share/thumbnailers/vesk-view.thumbnailer)
set --
for word in $command; do
    case $word in
    %o) word=$work/thumbnail.png ;;
    %s) word=128 ;;
    %i) word=$source/demo/Data/Crate.obj ;;
    esac
    set -- "$@" "$word"
done
PATH="$work/root/usr/bin:$PATH" env -u DISPLAY "$@" || fail "thumbnailer: $*"
root/usr/bin/vesk-inspect picture thumbnail.png | grep -q '^{"width":128,"height":96,' || fail "thumbnail size"
echo "$package holds and declares what it should"
