vesk-view --scene writes a scene folder that the viewer reads as the models'
authors meant: links to the files the viewer reads as they are, and copies
of those it would not. A model without normals gets a copy with smooth ones
(its numbers read back as the very floats of the model); an MTL file whose
map_Kd lines name pictures with options, blanks, a name leading out of the
folder or an extension in capitals gets a copy that names links to them,
and says which options that place pictures are left out. The user's files
are never changed. What the viewer will still miss is said once each.

  $ vesk-view --up z --scene out a/chair.obj b/chair.obj
  ! vesk-view: a/chair.obj: no normals (vn); smooth normals computed
  ! vesk-view: a/chair.obj: picture anim.gif: the viewer reads only the extensions bmp dds jpg jpeg jpe png ppm tga pgm; drawn untextured
  ! vesk-view: a/chair.obj: picture anim.gif not found as a/mats/anim.gif or a/anim.gif; drawn untextured
  ! vesk-view: a/chair.obj: picture gone.png not found as a/mats/gone.png or a/gone.png; drawn untextured
  ! vesk-view: a/chair.obj: mats/chair.mtl: the viewer cannot place pictures as the map_Kd options -clamp -o -s ask; they are left out
  ! vesk-view: b/chair.obj: MTL file b/missing.mtl not found; drawn in the default material
  $ cd out && find . | sort | while read -r f; do printf '%s %s\n' "$f" "$(readlink "$f")"; done
  . 
  ./Data 
  ./Data/C: 
  ./Data/C:/Users 
  ./Data/C:/Users/me 
  ./Data/C:/Users/me/wood.png WORK/a/mats/wood.png
  ./Data/Wood.png WORK/a/mats/Wood.Png
  ./Data/chair-2.obj WORK/b/chair.obj
  ./Data/chair.obj 
  ./Data/mats 
  ./Data/mats/chair.mtl 
  ./Data/old_wood.png WORK/a/mats/old wood.png
  ./Data/photo.jpg WORK/a/mats/photo.JPG
  ./Data/stone.png WORK/a/mats/stone.png
  ./Data/sub 
  ./Data/sub/stone.png WORK/a/sub/stone.png
  ./Data/up.png WORK/a/up.png
  ./Data/wood.png WORK/a/mats/wood.png
  ./SceneGraph.sg 
  $ cat out/Data/mats/chair.mtl
  newmtl Wood
  map_Kd wood.png
  newmtl Photo
  map_Kd photo.jpg
  newmtl Anim
  map_Kd anim.gif
  newmtl Gone
  map_Kd gone.png
  newmtl Up
  map_Kd up.png
  newmtl Stone
  map_Kd sub\stone.png
  newmtl Options
  Kd 1 1 1
  map_Kd Wood.png
  newmtl Blanks
  map_Kd old_wood.png
  newmtl Absolute
  map_Kd stone.png
  newmtl Windows
  map_Kd C:\Users\me\wood.png
  $ vesk-inspect mesh a/chair.obj
  {"vertexStride":20,"indexSize":4,"vertexCount":4,"indexCount":9,"elementCount":3,"elements":[[0,3,1,0],[12,2,4,0],[0,0,0,0]],"vertices":[-1,0.100000001,-1,0.25,-0.75,1,-0,-1,1,-0,1,1.17549435e-38,1,1,-1,-1,3.33333325,1,0.25,-0.75],"indices":[0,1,2,0,2,3,0,2,3],"subMeshes":[{"name":"Wood","textureName":"wood.png","firstIndex":0,"triangleCount":2,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[0.699999988,0.699999988,0.699999988,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10},{"name":"Photo","textureName":"photo.JPG","firstIndex":6,"triangleCount":0,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[0.699999988,0.699999988,0.699999988,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10},{"name":"Anim","textureName":"anim.gif","firstIndex":6,"triangleCount":0,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[0.699999988,0.699999988,0.699999988,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10},{"name":"Gone","textureName":"gone.png","firstIndex":6,"triangleCount":0,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[0.699999988,0.699999988,0.699999988,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10},{"name":"Up","textureName":"../up.png","firstIndex":6,"triangleCount":0,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[0.699999988,0.699999988,0.699999988,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10},{"name":"Stone","textureName":"sub\\stone.png","firstIndex":6,"triangleCount":0,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[0.699999988,0.699999988,0.699999988,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10},{"name":"Options","textureName":"-o","firstIndex":6,"triangleCount":1,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[1,1,1,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10},{"name":"Blanks","textureName":"-blendu","firstIndex":9,"triangleCount":0,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[0.699999988,0.699999988,0.699999988,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10},{"name":"Absolute","textureName":"/nowhere/at/all/stone.png","firstIndex":9,"triangleCount":0,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[0.699999988,0.699999988,0.699999988,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10},{"name":"Windows","textureName":"C:\\Users\\me\\wood.png","firstIndex":9,"triangleCount":0,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[0.699999988,0.699999988,0.699999988,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10}]}
  $ vesk-inspect mesh out/Data/chair.obj
  {"vertexStride":32,"indexSize":4,"vertexCount":4,"indexCount":9,"elementCount":4,"elements":[[0,3,1,0],[12,3,2,0],[24,2,4,0],[0,0,0,0]],"vertices":[-1,0.100000001,-1,-0.608633399,-0.539674938,0.581649661,0.25,-0.75,1,-0,-1,-0.049937617,-0.998752356,0,1,-0,1,1.17549435e-38,1,-0.608633399,-0.539674938,0.581649661,1,-1,-1,3.33333325,1,-0.659251511,-0.395550907,0.639473975,0.25,-0.75],"indices":[0,1,2,0,2,3,0,2,3],"subMeshes":[{"name":"Wood","textureName":"wood.png","firstIndex":0,"triangleCount":2,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[0.699999988,0.699999988,0.699999988,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10},{"name":"Photo","textureName":"photo.jpg","firstIndex":6,"triangleCount":0,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[0.699999988,0.699999988,0.699999988,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10},{"name":"Anim","textureName":"anim.gif","firstIndex":6,"triangleCount":0,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[0.699999988,0.699999988,0.699999988,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10},{"name":"Gone","textureName":"gone.png","firstIndex":6,"triangleCount":0,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[0.699999988,0.699999988,0.699999988,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10},{"name":"Up","textureName":"up.png","firstIndex":6,"triangleCount":0,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[0.699999988,0.699999988,0.699999988,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10},{"name":"Stone","textureName":"sub\\stone.png","firstIndex":6,"triangleCount":0,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[0.699999988,0.699999988,0.699999988,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10},{"name":"Options","textureName":"Wood.png","firstIndex":6,"triangleCount":1,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[1,1,1,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10},{"name":"Blanks","textureName":"old_wood.png","firstIndex":9,"triangleCount":0,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[0.699999988,0.699999988,0.699999988,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10},{"name":"Absolute","textureName":"stone.png","firstIndex":9,"triangleCount":0,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[0.699999988,0.699999988,0.699999988,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10},{"name":"Windows","textureName":"C:\\Users\\me\\wood.png","firstIndex":9,"triangleCount":0,"ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[0.699999988,0.699999988,0.699999988,1],"specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10}]}
  $ vesk-inspect scene out/SceneGraph.sg
  {"allMeshNames":["chair","chair-2"],"root":{"meshNames":[],"transform":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"children":[{"meshNames":["chair"],"transform":[1,0,0,0,0,1,0,0,0,0,1,0,-0.718581259,0,4.15568686,1],"children":[]},{"meshNames":["chair-2"],"transform":[1,0,0,0,0,1,0,0,0,0,1,0,0.718581259,0,5.32235336,1],"children":[]}]}}

Names that lead out of the folder or clash with one linked already, a model
too large for the far plane, and a file name that is no word ("Model").

  $ vesk-view --scene more a/chair.obj 'c/a b.obj' 'c/{.obj' 2>&1 | grep -v 'a/chair.obj'
  vesk-view: c/a b.obj: ../out.mtl leads out of the scene folder; not linked
  vesk-view: c/a b.obj: cannot write Data/a_b.obj/m.mtl: Not a directory
  vesk-view: c/{.obj: Data/mats/chair.mtl is WORK/a/mats/chair.mtl already; WORK/c/mats/chair.mtl is not used
  vesk-view: c/a b.obj: too large to be seen whole: the viewer draws nothing beyond 10000 units
  vesk-view: c/{.obj: too large to be seen whole: the viewer draws nothing beyond 10000 units
  $ cd more/Data && find . -type l | sort
  ./C:/Users/me/wood.png
  ./Model.obj
  ./Wood.png
  ./a_b.obj
  ./old_wood.png
  ./photo.jpg
  ./stone.png
  ./sub/stone.png
  ./up.png
  ./wood.png

The same MTL file under two names, and a mtllib line continued on the next:
the viewer reads both files, and so both are linked, once each. A model file
named .OBJ is linked as .obj. The MTL files of a model whose own folder has a
backslash in its name are found.

  $ vesk-view --scene dup d/dup.obj && ls dup/Data
  dup.obj
  m.mtl
  n.mtl
  $ cp d/dup.obj d/UPPER.OBJ && vesk-view --scene upper d/UPPER.OBJ && ls upper/Data
  UPPER.obj
  m.mtl
  n.mtl
  $ mkdir 'e\f' && cp d/* 'e\f' && vesk-inspect mesh 'e\f/dup.obj' --summary | grep -o '"name":"[A-Z]*"'
  "name":"M"
  "name":"N"

Two MTL files of one model, both copied: one with a map_Kd line that names
no picture and one, its last, without a line feed; one whose only change is
an extension. A second model naming the first MTL file finds its copy
there. A model file named ".obj" only gets a mesh name all the same.

  $ vesk-view --scene two f/two.obj f/again.obj f/.obj && cat two/Data/one.mtl && echo && cat two/Data/two.mtl && ls two/Data && grep Frame two/SceneGraph.sg
  newmtl A
  Kd 1 0 0
  map_Kd 
  newmtl B
  map_Kd pic.png
  
  newmtl C
  map_Kd PIC.png
  Model.obj
  PIC.png
  again.obj
  one.mtl
  pic.png
  two.mtl
  two.obj
  Frame two {
    FrameTransformMatrix {
  Frame again {
    FrameTransformMatrix {
  Frame Model {
    FrameTransformMatrix {
  ! vesk-view: f/two.obj: one.mtl: the viewer cannot place pictures as the map_Kd options -clamp -s ask; they are left out
  ! vesk-view: f/again.obj: one.mtl: the viewer cannot place pictures as the map_Kd options -clamp -s ask; they are left out
  ! vesk-view: f/.obj: one.mtl: the viewer cannot place pictures as the map_Kd options -clamp -s ask; they are left out

A model whose file has normals but whose faces name none is linked as it
is: the viewer draws it so, and it is said to be drawn unshaded.

  $ vesk-view --scene flat flat.obj && ls flat/Data
  flat.obj
  ! vesk-view: flat.obj: its faces name no normals (vn); the light cannot shade it

Two models of the same 251-byte name: the second is made unique within the
255 bytes a file name may have.

  $ n=$(printf '%0251d' 0) && mkdir p q && cp b/chair.obj p/$n.obj && cp b/chair.obj q/$n.obj && vesk-view --scene long p/$n.obj q/$n.obj 2>/dev/null; ls long/Data | awk '{ print length($0) }'
  255
  255

A model may name millions of files that are not there: each kind of absence
is said ten times, then counted.

  $ printf 'mtllib %s\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 1//1 2//1 3//1\n' "$(seq -f 'm%g.mtl' 13 | tr '\n' ' ')" >many.obj && vesk-view --scene many many.obj 2>&1 | tail -2
  vesk-view: many.obj: MTL file m10.mtl not found; drawn in the default material
  vesk-view: many.obj: and 3 more MTL files not found
