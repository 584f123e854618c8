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
