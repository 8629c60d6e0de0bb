#include "imaging/picture.h"

#include "imaging/decoders.h"

namespace yz::imaging {

PictureFormat sniffFormat(ByteView b) {
    if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M') return PictureFormat::Bmp;
    if (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xD8) return PictureFormat::Jpeg;
    // ICO and CUR share a directory: two zero bytes, type 1 (icon) or 2
    // (cursor), and a non-zero entry count.
    if (b.size() >= 6 && b[0] == 0 && b[1] == 0 && (b[2] == 1 || b[2] == 2) && b[3] == 0 &&
        (b[4] != 0 || b[5] != 0))
        return PictureFormat::Ico;
    if (b.size() >= 6 && b[0] == 'G' && b[1] == 'I' && b[2] == 'F' && b[3] == '8' &&
        (b[4] == '7' || b[4] == '9') && b[5] == 'a')
        return PictureFormat::Gif;
    // PCX has only a one-byte magic, so the version, encoding and depth bytes
    // must look sane too before a file is taken for one.
    if (b.size() >= 128 && b[0] == 0x0A && (b[1] <= 5 && b[1] != 1) && b[2] <= 1 &&
        (b[3] == 1 || b[3] == 2 || b[3] == 4 || b[3] == 8))
        return PictureFormat::Pcx;
    return PictureFormat::Unknown;
}

const char* formatName(PictureFormat format) {
    switch (format) {
        case PictureFormat::Bmp: return "BMP";
        case PictureFormat::Jpeg: return "JPEG";
        case PictureFormat::Ico: return "ICO";
        case PictureFormat::Gif: return "GIF";
        case PictureFormat::Pcx: return "PCX";
        case PictureFormat::Unknown: break;
    }
    return "unknown";
}

bool dimensionsAcceptable(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxDimension && height <= kMaxDimension &&
           static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <= kMaxPixels;
}

DecodeResult decodePicture(ByteView file, RowSink& sink, int targetWidth, int targetHeight) {
    switch (sniffFormat(file)) {
        case PictureFormat::Bmp: return decodeBmp(file, sink);
        case PictureFormat::Jpeg: return decodeJpeg(file, sink, targetWidth, targetHeight);
        case PictureFormat::Ico: return decodeIco(file, sink);
        case PictureFormat::Gif: return decodeGif(file, sink);
        case PictureFormat::Pcx: return decodePcx(file, sink);
        case PictureFormat::Unknown: break;
    }
    return DecodeResult::failure("not a picture format that can be shown (BMP, JPEG, ICO, CUR, GIF or PCX)");
}

}  // namespace yz::imaging
