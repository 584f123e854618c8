vesk-view refuses, before it writes anything or starts the viewer: a usage
error says what was wrong, then the usage (status 2); a model the engine's
reader refuses, with the reader's message (status 1); a model with no finite
vertex; a scene folder to write that is not empty, not a folder or a symbolic
link; a scene folder to show without a scene file.

  $ vesk-view
  ! vesk-view: no model given
  ! usage: vesk-view [--up y|z] [--scene DIR | --output FILE [--size N]] MODEL.obj...
  !        vesk-view [--output FILE [--size N]] --from DIR
  !        vesk-view --help | --version
  [2]
  $ vesk-view --up x good.obj
  ! vesk-view: --up takes y or z
  ! usage: vesk-view [--up y|z] [--scene DIR | --output FILE [--size N]] MODEL.obj...
  !        vesk-view [--output FILE [--size N]] --from DIR
  !        vesk-view --help | --version
  [2]
  $ vesk-view good.obj --scene
  ! vesk-view: --scene takes a folder
  ! usage: vesk-view [--up y|z] [--scene DIR | --output FILE [--size N]] MODEL.obj...
  !        vesk-view [--output FILE [--size N]] --from DIR
  !        vesk-view --help | --version
  [2]
  $ vesk-view --look good.obj
  ! vesk-view: unknown option --look
  ! usage: vesk-view [--up y|z] [--scene DIR | --output FILE [--size N]] MODEL.obj...
  !        vesk-view [--output FILE [--size N]] --from DIR
  !        vesk-view --help | --version
  [2]
  $ vesk-view --output '' good.obj
  ! vesk-view: --output takes a file
  ! usage: vesk-view [--up y|z] [--scene DIR | --output FILE [--size N]] MODEL.obj...
  !        vesk-view [--output FILE [--size N]] --from DIR
  !        vesk-view --help | --version
  [2]
  $ vesk-view --size 0 --output out.png good.obj
  ! vesk-view: --size takes a number of pixels from 1 to 16384
  ! usage: vesk-view [--up y|z] [--scene DIR | --output FILE [--size N]] MODEL.obj...
  !        vesk-view [--output FILE [--size N]] --from DIR
  !        vesk-view --help | --version
  [2]
  $ vesk-view --size 64 good.obj
  ! vesk-view: --size scales the picture of --output
  ! usage: vesk-view [--up y|z] [--scene DIR | --output FILE [--size N]] MODEL.obj...
  !        vesk-view [--output FILE [--size N]] --from DIR
  !        vesk-view --help | --version
  [2]
  $ vesk-view --from full good.obj
  ! vesk-view: --from shows a scene folder instead of models
  ! usage: vesk-view [--up y|z] [--scene DIR | --output FILE [--size N]] MODEL.obj...
  !        vesk-view [--output FILE [--size N]] --from DIR
  !        vesk-view --help | --version
  [2]
  $ vesk-view --scene out --output out.png good.obj
  ! vesk-view: --scene writes a folder and shows nothing: not with --from or --output
  ! usage: vesk-view [--up y|z] [--scene DIR | --output FILE [--size N]] MODEL.obj...
  !        vesk-view [--output FILE [--size N]] --from DIR
  !        vesk-view --help | --version
  [2]
  $ for arguments in 'good.obj --up' 'good.obj --size' '--size 12x --output a.png good.obj' '--size 16385 --output a.png good.obj' '--scene s --from full'; do vesk-view $arguments 2>&1 | head -1; done
  vesk-view: --up takes y or z
  vesk-view: --size takes a number of pixels from 1 to 16384
  vesk-view: --size takes a number of pixels from 1 to 16384
  vesk-view: --size takes a number of pixels from 1 to 16384
  vesk-view: --scene writes a folder and shows nothing: not with --from or --output
  $ vesk-view --version
  vesk-view 1.0.0
  $ vesk-view --help | head -2
  usage: vesk-view [--up y|z] [--scene DIR | --output FILE [--size N]] MODEL.obj...
         vesk-view [--output FILE [--size N]] --from DIR
  $ vesk-view missing.obj
  ! VESK::CObjLoader::loadFromFile missing.obj [FAILED] (No such file or directory)
  [1]
  $ vesk-view good.txt
  ! VESK::CObjLoader::loadFromFile good.txt [FAILED] (not a .obj file name)
  [1]
  $ vesk-view -- --help
  ! VESK::CObjLoader::loadFromFile --help [FAILED] (not a .obj file name)
  [1]
  $ for model in '' - ab; do vesk-view "$model"; done
  ! VESK::CObjLoader::loadFromFile  [FAILED] (not a .obj file name)
  ! VESK::CObjLoader::loadFromFile - [FAILED] (not a .obj file name)
  ! VESK::CObjLoader::loadFromFile ab [FAILED] (not a .obj file name)
  [1]
  $ vesk-view good.obj bad.obj
  ! VESK::CObjLoader::loadFromFile bad.obj [FAILED] (line 2: position index 2 beyond the 1 read)
  [1]
  $ vesk-view nan.obj
  ! vesk-view: nan.obj: no vertex has finite coordinates; the model cannot be placed
  [1]
  $ vesk-view huge.obj
  ! vesk-view: huge.obj: too large to be placed: its coordinates reach beyond 32-bit floats
  [1]
  $ vesk-view --scene full good.obj
  ! vesk-view: full is not an empty folder
  [1]
  $ vesk-view --scene full/file good.obj
  ! vesk-view: full/file is not an empty folder
  [1]
  $ vesk-view --scene full/file/sub good.obj
  ! vesk-view: cannot create full/file/sub: Not a directory
  [1]
  $ vesk-view --from full/file
  ! vesk-view: full/file/SceneGraph.sg not found: not a scene folder
  [1]
  $ ln -s empty linked && mkdir empty && vesk-view --scene linked good.obj; ls empty
  ! vesk-view: linked is a symbolic link; name the folder itself

Nothing was left in the temporary folder either.

  $ mkdir tmp && TMPDIR=$PWD/tmp vesk-view good.obj bad.obj; ls tmp
  ! VESK::CObjLoader::loadFromFile bad.obj [FAILED] (line 2: position index 2 beyond the 1 read)

Without the viewer beside it, a temporary folder or, for a picture without a
display, Xvfb, nothing is started either.

  $ cp "$(command -v vesk-view)" alone && ./alone good.obj
  ! vesk-view: vesk-viewer not found beside this program
  [1]
  $ TMPDIR=$PWD/absent vesk-view good.obj
  ! vesk-view: cannot create a temporary folder
  [1]
  $ env -u DISPLAY PATH=/nonexistent "$(command -v vesk-view)" --output out.png good.obj
  ! vesk-view: good.obj: MTL file good.mtl not found; drawn in the default material
  ! vesk-view: cannot start Xvfb (drawing without a display needs it: Debian's package xvfb)
  [1]
