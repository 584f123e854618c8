vesk-inspect loads one file as the viewer loads it and prints it as JSON: a
mesh (with or without its arrays), a picture, a scene. A file the engine
refuses ends with its message and status 1; a usage error with the usage and
status 2. It writes nothing where it runs.

  $ vesk-inspect mesh in/tri.obj
  {"vertexStride":32,"indexSize":4,"vertexCount":3,"indexCount":3,"elementCount":4,"elements":[[0,3,1,0],[12,3,2,0],[24,2,4,0],[0,0,0,0]],"vertices":[0,0,0,0,0,1,0,-1,1,0,0,0,0,1,0,-1,0,1,0,0,0,1,0,-1],"indices":[0,1,2],"subMeshes":[{"name":"A","textureName":"\"a\\b\".png","firstIndex":0,"triangleCount":1,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[1,0.5,0,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10}]}
  $ vesk-inspect mesh in/tri.obj --summary
  {"vertexStride":32,"indexSize":4,"vertexCount":3,"indexCount":3,"elementCount":4,"elements":[[0,3,1,0],[12,3,2,0],[24,2,4,0],[0,0,0,0]],"subMeshes":[{"name":"A","textureName":"\"a\\b\".png","firstIndex":0,"triangleCount":1,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[1,0.5,0,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10}]}
  $ printf 'v nan -nan inf\nv -inf 0 1\nvn 0 0 1\nf 1//1 2//1 1//1\n' >odd.obj && vesk-inspect mesh odd.obj | grep -o '"vertices":[^]]*]'
  "vertices":["nan","-nan","inf",0,0,1,"-inf",0,1,0,0,1]
  $ vesk-inspect mesh in/missing.obj
  ! VESK::CObjLoader::loadFromFile in/missing.obj [FAILED] (No such file or directory)
  [1]
  $ vesk-inspect mesh in/bad.obj --summary
  ! VESK::CObjLoader::loadFromFile in/bad.obj [FAILED] (line 2: position index 2 beyond the 1 read)
  [1]

Only the OBJ loader's extension gives a mesh; nothing else is loaded.

  $ vesk-inspect mesh in/tri.png
  ! VESK::CObjLoader::loadFromFile in/tri.png [FAILED]
  [1]
  $ vesk-inspect mesh in/tri
  ! VESK::CObjLoader::loadFromFile in/tri [FAILED]
  [1]
  $ vesk-inspect picture in/small.bmp
  {"width":3,"height":2,"format":0,"bytesPerPixel":3,"fnv1a64":"94033443c03943ba"}
  $ vesk-inspect picture in/grey.pgm
  {"width":2,"height":1,"format":2,"bytesPerPixel":1,"fnv1a64":"089c4407b545986a"}
  $ vesk-inspect picture in/missing.png
  ! VESK::CPictureLoader::loadFromFile in/missing.png [FAILED]
  [1]
  $ vesk-inspect picture in/cut.bmp
  ! VESK::CPictureLoader::loadFromFile in/cut.bmp [FAILED]
  [1]
  $ vesk-inspect picture in/tri.obj
  ! VESK::CPictureLoader::loadFromFile in/tri.obj [FAILED]
  [1]
  $ vesk-inspect scene in/SceneGraph.sg
  {"allMeshNames":["Cube","\"Odd\\Name\u0001"],"root":{"meshNames":[],"transform":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"children":[{"meshNames":[],"transform":[-0,0.5,"inf",0,0,1,0,0,0,0,1,0,0,0,0.100000001,1],"children":[{"meshNames":["Cube"],"transform":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"children":[]},{"meshNames":["\"Odd\\Name\u0001"],"transform":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"children":[]},{"meshNames":["Cube"],"transform":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"children":[]}]}]}}
  $ vesk-inspect scene in/absent.sg
  ! SceneGraph file not found!
  [1]

100,000 nested frames inside the root, written without recursion.

  $ for i in $(seq 100000); do echo 'Frame {'; done >deep.sg && vesk-inspect scene deep.sg | wc -c
  7600104

The message is appended to what a file opened with 2>> holds, or follows
standard output with 2>&1.

  $ echo kept >errors.txt && vesk-inspect scene in/absent.sg 2>>errors.txt; cat errors.txt
  kept
  SceneGraph file not found!
  $ vesk-inspect scene in/absent.sg 2>&1
  SceneGraph file not found!
  [1]
  $ vesk-inspect --version
  vesk-inspect 1.0.0
  $ mkdir viewer && cd viewer && vesk-viewer --version && vesk-viewer --help | head -1
  vesk-viewer 1.0.0
  usage: vesk-viewer
  $ vesk-inspect --help | sed -n '1,6p;/^Exit status/p'
  usage: vesk-inspect mesh FILE [--summary]
         vesk-inspect picture FILE
         vesk-inspect scene FILE
         vesk-inspect --help
         vesk-inspect --version
  
  Exit status: 0 when FILE was loaded; 1 when it could not be, with the
  $ vesk-inspect
  ! usage: vesk-inspect mesh FILE [--summary]
  !        vesk-inspect picture FILE
  !        vesk-inspect scene FILE
  !        vesk-inspect --help
  !        vesk-inspect --version
  [2]
  $ vesk-inspect --version in/tri.obj
  ! usage: vesk-inspect mesh FILE [--summary]
  !        vesk-inspect picture FILE
  !        vesk-inspect scene FILE
  !        vesk-inspect --help
  !        vesk-inspect --version
  [2]
  $ vesk-inspect mesh
  ! usage: vesk-inspect mesh FILE [--summary]
  !        vesk-inspect picture FILE
  !        vesk-inspect scene FILE
  !        vesk-inspect --help
  !        vesk-inspect --version
  [2]
  $ vesk-inspect mesh in/tri.obj --full
  ! usage: vesk-inspect mesh FILE [--summary]
  !        vesk-inspect picture FILE
  !        vesk-inspect scene FILE
  !        vesk-inspect --help
  !        vesk-inspect --version
  [2]
  $ vesk-inspect model in/tri.obj
  ! usage: vesk-inspect mesh FILE [--summary]
  !        vesk-inspect picture FILE
  !        vesk-inspect scene FILE
  !        vesk-inspect --help
  !        vesk-inspect --version
  [2]
  $ vesk-inspect scene a.sg extra
  ! usage: vesk-inspect mesh FILE [--summary]
  !        vesk-inspect picture FILE
  !        vesk-inspect scene FILE
  !        vesk-inspect --help
  !        vesk-inspect --version
  [2]
  $ ls
  deep.sg
  errors.txt
  in
  odd.obj
  viewer
