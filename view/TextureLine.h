#pragma once

#include <string>
#include <vector>

// The picture that the words of an MTL file's map_Kd line name, read as
// other viewers read them: options first (-o 0.1 0.1, -clamp on, ...), then
// the file name, which may hold blanks. The viewer itself takes the first
// word as the name, so such a line, or a name whose extension it does not
// read as written (KAMEN.JPG), needs a name of its own in the scene folder.
// A plain value, made from one line's words.

struct TextureLine {
    explicit TextureLine(const std::vector<std::string>& words);

    // The file name as written (words joined by single blanks); empty when
    // the line names none.
    std::string picture;
    // The options that set how the picture lies on the surface (-o, -s, -t,
    // -clamp), which the viewer cannot follow, in the order written.
    std::vector<std::string> placementOptions;
    // True when the viewer would read the line as written: one word, no
    // option, an extension it reads in the case it reads it.
    bool readAsWritten = false;

    // The name under which the viewer reads the picture: blanks replaced by
    // '_', backslashes by '/', the extension in lower case.
    std::string viewerName() const;
};

// True when the viewer's picture loader reads files with the extension of
// `name`, exactly as written.
bool hasPictureExtension(const std::string& name);
