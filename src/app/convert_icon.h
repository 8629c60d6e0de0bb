#pragma once

// One picture file's bytes to one icon file's bytes, by the path the
// program's "生成" takes with the hint hidden.

#include <string>

#include "app/convert_options.h"
#include "imaging/byte_buffer.h"

namespace yz::convert {

struct Conversion {
    bool ok = false;
    ByteBuffer icon;    // the whole .ico file image when ok
    std::string error;  // why not, when !ok
};

// A picture that cannot be drawn gives no icon: the program would show the
// bare button face and make an icon of it, which nobody asking for a
// conversion wants.
Conversion convertPicture(ByteView pictureFile, const IconSettings& settings);

}  // namespace yz::convert
