vesk-view when the machine fails it: a folder that cannot be made or read,
a file that cannot be opened, written or closed, a link that cannot be
made, no process to be had, a read that breaks off. Each is said with its
cause. When the model's own file or the scene file cannot be written, the
status is 1 and nothing vesk-view wrote is left; an MTL file or a picture
that cannot be is left out, as a missing one is, and no copy is left half
written.
The library $VESK_FAILING_CALL, preloaded, fails one call of the C library:
VESK_FAIL="CALL N ERRNO" fails the Nth call of CALL with the error ERRNO
(5 EIO, 11 EAGAIN, 12 ENOMEM, 24 EMFILE, 28 ENOSPC).

Writing the scene folder of a model without normals, whose MTL file needs a
copy: the folder Data/, the copy with normals, the MTL copy (its close is
the third, after the MTL file read), the link to the picture, the scene
file; the link to a model with normals.

  $ ! LD_PRELOAD=$VESK_FAILING_CALL VESK_FAIL='mkdirat 1 28' vesk-view --scene out1 tri.obj && test ! -e out1
  ! vesk-view: tri.obj: cannot write Data/tri.obj: No space left on device
  $ ! LD_PRELOAD=$VESK_FAILING_CALL VESK_FAIL='openat 1 24' vesk-view --scene out2 tri.obj && test ! -e out2
  ! vesk-view: tri.obj: cannot write Data/tri.obj: Too many open files
  $ ! LD_PRELOAD=$VESK_FAILING_CALL VESK_FAIL='openat 2 24' vesk-view --scene out3 tri.obj && test ! -e out3
  ! vesk-view: tri.obj: cannot write Data/tri.obj: Too many open files
  $ ! LD_PRELOAD=$VESK_FAILING_CALL VESK_FAIL='fdopen 1 12' vesk-view --scene out4 tri.obj && test ! -e out4
  ! vesk-view: tri.obj: cannot write Data/tri.obj: Cannot allocate memory
  $ ! LD_PRELOAD=$VESK_FAILING_CALL VESK_FAIL='fwrite 1 28' vesk-view --scene out5 tri.obj && test ! -e out5
  ! vesk-view: tri.obj: cannot write Data/tri.obj: No space left on device
  $ ! LD_PRELOAD=$VESK_FAILING_CALL VESK_FAIL='fclose 1 5' vesk-view --scene out6 tri.obj && test ! -e out6
  ! vesk-view: tri.obj: cannot write Data/tri.obj: Input/output error
  $ LD_PRELOAD=$VESK_FAILING_CALL VESK_FAIL='fclose 3 5' vesk-view --scene out7 tri.obj 2>&1 | grep 'cannot write'; ls out7/Data
  vesk-view: tri.obj: cannot write Data/tri.mtl: Input/output error
  red.png
  tri.obj
  $ LD_PRELOAD=$VESK_FAILING_CALL VESK_FAIL='symlinkat 1 28' vesk-view --scene out8 tri.obj 2>&1 | grep 'cannot write'; ls out8/Data
  vesk-view: tri.obj: cannot write Data/red.png: No space left on device
  tri.mtl
  tri.obj
  $ ! LD_PRELOAD=$VESK_FAILING_CALL VESK_FAIL='fclose 4 28' vesk-view --scene out9 tri.obj && test ! -e out9
  ! vesk-view: tri.obj: no normals (vn); smooth normals computed
  ! vesk-view: tri.obj: picture gone.png not found as gone.png; drawn untextured
  ! vesk-view: tri.obj: tri.mtl: the viewer cannot place pictures as the map_Kd options -s ask; they are left out
  ! vesk-view: cannot write SceneGraph.sg: No space left on device
  $ ! LD_PRELOAD=$VESK_FAILING_CALL VESK_FAIL='symlinkat 1 28' vesk-view --scene out10 scene/Data/plain.obj && test ! -e out10
  ! vesk-view: scene/Data/plain.obj: cannot write Data/plain.obj: No space left on device
  $ ! LD_PRELOAD=$VESK_FAILING_CALL VESK_FAIL='fdopendir 1 24' vesk-view --scene out11 tri.obj && test ! -e out11
  ! vesk-view: cannot read out11: Too many open files

A folder vesk-view did not make is left, emptied of what it wrote.

  $ mkdir kept && LD_PRELOAD=$VESK_FAILING_CALL VESK_FAIL='fclose 4 28' vesk-view --scene kept tri.obj 2>/dev/null; ls -A kept

Running the viewer: its path, a process for it, and for the X server that
vesk-view starts when there is no display; the scene folder of --from.
The temporary folder is gone after each.

  $ LD_PRELOAD=$VESK_FAILING_CALL VESK_FAIL='readlink 1 12' vesk-view tri.obj
  ! vesk-view: vesk-viewer not found beside this program
  [1]
  $ mkdir tmp && (TMPDIR=$PWD/tmp LD_PRELOAD=$VESK_FAILING_CALL VESK_FAIL='fork 1 11' vesk-view scene/Data/plain.obj; echo "status $?") 2>&1 | sed 's| /.*/| |'; ls -A tmp
  vesk-view: cannot run vesk-viewer: Resource temporarily unavailable
  status 127
  $ env -u DISPLAY LD_PRELOAD=$VESK_FAILING_CALL VESK_FAIL='pipe2 1 24' vesk-view --output x.png scene/Data/plain.obj
  ! vesk-view: cannot start Xvfb: Too many open files
  [1]
  $ env -u DISPLAY LD_PRELOAD=$VESK_FAILING_CALL VESK_FAIL='fork 1 11' vesk-view --output x.png scene/Data/plain.obj
  ! vesk-view: cannot start Xvfb: Resource temporarily unavailable
  [1]
  $ ! TMPDIR=$PWD/tmp LD_PRELOAD=$VESK_FAILING_CALL VESK_FAIL='symlinkat 2 28' vesk-view --from scene && ls -A tmp
  ! vesk-view: cannot link WORK/scene/Data/: No space left on device

A model that cannot be read.

  $ LD_PRELOAD=$VESK_FAILING_CALL VESK_FAIL='read 1 5' vesk-inspect mesh tri.obj
  ! VESK::CObjLoader::loadFromFile tri.obj [FAILED] (Input/output error)
  [1]

A viewer that fails without showing a window: its status is vesk-view's,
no picture is written, and of the failures it logs, all but those of
pictures that vesk-view reported missing already are said. One that ends
well without a window gives no picture either.

  $ mkdir bin && cp "$(command -v vesk-view)" bin/ && cp viewer bin/vesk-viewer && bin/vesk-view tri.obj
  ! vesk-view: tri.obj: no normals (vn); smooth normals computed
  ! vesk-view: tri.obj: picture gone.png not found as gone.png; drawn untextured
  ! vesk-view: tri.obj: tri.mtl: the viewer cannot place pictures as the map_Kd options -s ask; they are left out
  ! VESK::CPictureLoader::loadFromFile Data/red.png [FAILED]
  [3]
  $ bin/vesk-view --output x.png tri.obj 2>/dev/null; echo "status $?"; ls x.png
  status 3
  ! ls: cannot access 'x.png': No such file or directory
  [2]
  $ VIEWER_STATUS=0 bin/vesk-view --output x.png tri.obj 2>&1 | grep -v '^vesk-view: tri.obj'
  vesk-view: the viewer ended without showing a finished frame; no picture written
  VESK::CPictureLoader::loadFromFile Data/red.png [FAILED]


A display that cannot take key events is refused before the viewer starts.

  $ Xvfb -displayfd 1 -extension XTEST -nolisten tcp >number 2>/dev/null & for i in $(seq 100); do [ -s number ] && break; sleep 0.1; done; DISPLAY=:$(cat number) vesk-view --output x.png scene/Data/plain.obj 2>&1 | sed 's/display :[0-9]*/display :N/'; kill $! && wait $!
  vesk-view: cannot use the X display :N (it must take key events: XTest)
