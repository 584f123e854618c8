A standard error that nobody reads any more does not end vesk-view: it goes
on, writes the whole scene folder, or runs the viewer (here it cannot open a
display) and removes its temporary folder.

  $ vesk-view --scene out warns.obj 2>&1 | true; echo "status ${PIPESTATUS[0]}"; ls out/Data
  status 0
  warns.obj
  $ mkdir tmp && env -u DISPLAY TMPDIR=$PWD/tmp vesk-view warns.obj 2>&1 | true; echo "status ${PIPESTATUS[0]}"; ls tmp
  status 1

The viewer ends with vesk-view, even when vesk-view is killed outright.

  $ mkdir killed && (TMPDIR=$PWD/killed vesk-view plain.obj >/dev/null 2>&1 & for i in $(seq 100); do viewer=$(pgrep -P $! -x vesk-viewer) && [ -n "$(ls killed/*/global.log 2>/dev/null)" ] && break; sleep 0.1; done; kill -KILL $!; for i in $(seq 100); do kill -0 $viewer 2>/dev/null || break; sleep 0.1; done; kill -0 $viewer 2>/dev/null && echo "the viewer runs on" && kill $viewer; echo done) 2>/dev/null
  done

A folder swapped for a symbolic link while vesk-view writes into it does not
send the rest elsewhere: everything lands in the folder that was checked.

  $ awk 'BEGIN { for (i = 0; i < 200000; i++) print "v", i, i % 7, 0; for (i = 1; i < 199999; i++) print "f", i, i + 1, i + 2 }' >scan.obj && mkdir elsewhere && (vesk-view --scene swapped scan.obj & until [ -d swapped/Data ]; do :; done; mv swapped checked && ln -s elsewhere swapped; wait) && ls checked checked/Data elsewhere
  checked:
  Data
  SceneGraph.sg
  
  checked/Data:
  scan.obj
  
  elsewhere:
  ! vesk-view: scan.obj: no normals (vn); smooth normals computed
  ! vesk-view: scan.obj: too large to be seen whole: the viewer draws nothing beyond 10000 units
