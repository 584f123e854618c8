vesk-view --output renders to a picture file without a person at a screen:
without a DISPLAY on an X server of its own. The demo's scene folder, shown
as `make run` shows it, gives the README's screenshot pixel for pixel, and
nothing is written into the folder; --size 256 gives a thumbnail of 256 x 192.

  $ cp -r "$VESK_SOURCE/demo" demo && env -u DISPLAY vesk-view --output demo.png --from demo && vesk-inspect picture demo.png && ls demo
  {"width":1024,"height":768,"format":0,"bytesPerPixel":3,"fnv1a64":"792998c1fb56683d"}
  Data
  SceneGraph.sg
  make_demo.py
  screenshot.png
  $ vesk-inspect picture "$VESK_SOURCE/demo/screenshot.png"
  {"width":1024,"height":768,"format":0,"bytesPerPixel":3,"fnv1a64":"792998c1fb56683d"}
  $ env -u DISPLAY vesk-view --output thumb.png --size 256 --from demo && vesk-inspect picture thumb.png
  {"width":256,"height":192,"format":0,"bytesPerPixel":3,"fnv1a64":"dba4c443c86ce4ce"}

The demo's four models side by side. A scene the viewer could not draw whole
still gives a picture of what it drew, and status 1. Nothing is left in the
temporary folder, whatever ends the run; a signal ends the viewer with it.

  $ mkdir tmp && env -u DISPLAY TMPDIR=$PWD/tmp vesk-view --up z --output four.png demo/Data/{Crate,Torus,Ball,RedCube}.obj && vesk-inspect picture four.png | cut -c1-34; ls tmp
  {"width":1024,"height":768,"format
  $ env -u DISPLAY TMPDIR=$PWD/tmp vesk-view --output broken.png --from broken 2>&1 | sed 's/^[0-9:]* -> //'; echo "status ${PIPESTATUS[0]}"; ls broken.png tmp
  [ ERROR ] VESK::CObjLoader::loadFromFile Data/Ghost.obj [FAILED] (No such file or directory)
  status 1
  broken.png
  
  tmp:
  $ env -u DISPLAY TMPDIR=$PWD/tmp vesk-view --output absent/four.png demo/Data/Crate.obj; ls tmp
  ! vesk-view: VESK::CPictureLoader::saveToFile absent/four.png [FAILED]
  $ (env -u DISPLAY TMPDIR=$PWD/tmp vesk-view --output signalled.png --from demo & for i in $(seq 100); do [ -n "$(ls tmp/*/memory.log tmp/*/global.log 2>/dev/null)" ] && break; sleep 0.05; done; kill -TERM $!; wait $!; echo "status $?"); ls tmp
  status 143

No X server of vesk-view's outlives it (one would be left to the first process).

  $ pgrep -x -P 1 Xvfb | wc -l
  0
