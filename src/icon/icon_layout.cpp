#include "icon/icon_layout.h"

namespace yz::icon {

ByteBuffer headerTemplateFor(int size) {
    return size == 16 ? ByteBuffer(iconHeader16.begin(), iconHeader16.end())
                      : ByteBuffer(iconHeader48.begin(), iconHeader48.end());
}

ByteBuffer maskTemplateFor(int size) {
    return size == 16 ? ByteBuffer(iconMask16.begin(), iconMask16.end())
                      : ByteBuffer(iconMask48.begin(), iconMask48.end());
}

std::size_t iconFileLength(int size) {
    return kHeaderLength + pixelBytesFor(size) + (size == 16 ? iconMask16.size() : iconMask48.size());
}

ByteBuffer assembleIconFile(ByteView header, ByteView pixels, ByteView mask) {
    return joinBuffers({header, pixels, mask});
}

}  // namespace yz::icon
