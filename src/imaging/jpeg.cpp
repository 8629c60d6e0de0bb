// JPEG through libjpeg's 6-series interface, scanline by scanline.
//
// libjpeg reports fatal errors through error_exit, which must not return;
// ours jumps back into decodeWithLibjpeg. Nothing with a destructor may live
// in the frames that jump crosses, so every buffer sits in JpegSession, owned
// by decodeJpeg, and the callbacks only write into plain fields.

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "imaging/decoders.h"

namespace yz::imaging {

namespace {

// Past this many corrupt-data warnings the picture is garbage, not a picture
// with a blemish.
constexpr long kMaxCorruptWarnings = 4;
// A progressive file can repeat scans over the whole picture; real encoders
// write about ten. Each scan costs a pass over every coefficient, so this
// bounds the time a hostile file can take.
constexpr int kMaxScans = 100;
// Progressive and multi-scan files are buffered whole by libjpeg as DCT
// coefficients (two bytes per sample). Beyond this the library fails with
// "backing store not supported" instead of allocating.
constexpr long kMaxLibjpegMemory = 512L * 1024 * 1024;

struct ErrorManager {
    jpeg_error_mgr pub;  // first, so libjpeg's pointer to it is one to us
    std::jmp_buf escape;
    long corruptWarnings;
    bool dataEnded;  // the source ran dry and libjpeg made up an end marker
    char message[JMSG_LENGTH_MAX];
};

ErrorManager& errorManagerOf(j_common_ptr cinfo) { return *reinterpret_cast<ErrorManager*>(cinfo->err); }

[[noreturn]] void escapeWith(j_common_ptr cinfo) {
    ErrorManager& err = errorManagerOf(cinfo);
    err.pub.format_message(cinfo, err.message);
    std::longjmp(err.escape, 1);
}

[[noreturn]] void escapeAsCutShort(j_common_ptr cinfo) {
    cinfo->err->msg_code = JWRN_JPEG_EOF;
    escapeWith(cinfo);
}

void onFatalError(j_common_ptr cinfo) { escapeWith(cinfo); }

void onSilentOutput(j_common_ptr) {}

// Level -1 is a warning, higher levels are trace messages.
//
// A file cut short would be drawn grey where its data ran out; it is refused
// instead. Running out of bytes alone does not prove that: the Huffman
// decoders read ahead, so a file that lacks only its end marker also runs
// dry, after every pixel is known. What proves it is that decoding then still
// needed data: a Huffman decoder reporting a premature end of its segment, or
// any other damage, once the source has run dry. Arithmetic decoders take
// running into a marker as normal, so for them running dry is the proof.
void onMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return;
    ErrorManager& err = errorManagerOf(cinfo);
    switch (err.pub.msg_code) {
        case JWRN_JPEG_EOF:
            err.dataEnded = true;
            if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->arith_code) escapeAsCutShort(cinfo);
            return;
        // Harmless: junk between segments (some writers pad them), odd
        // JFIF versions, unknown Adobe transforms, damaged ICC chunks.
        case JWRN_EXTRANEOUS_DATA:
        case JWRN_JFIF_MAJOR:
        case JWRN_ADOBE_XFORM:
        case JWRN_BOGUS_ICC: return;
        default:
            if (err.dataEnded) escapeAsCutShort(cinfo);
            if (++err.corruptWarnings > kMaxCorruptWarnings) escapeWith(cinfo);
    }
}

struct ProgressMonitor {
    jpeg_progress_mgr pub;  // first, as for ErrorManager
};

void onProgress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    const auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (dinfo->input_scan_number > kMaxScans) {
        ErrorManager& err = errorManagerOf(cinfo);
        std::snprintf(err.message, sizeof err.message, "more than %d scans", kMaxScans);
        std::longjmp(err.escape, 1);
    }
}

struct JpegSession {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    ProgressMonitor progress{};
    const char* refusal = nullptr;  // our own reason to stop, as opposed to libjpeg's
    std::vector<JSAMPLE> scanline;
    std::vector<Rgba> pixels;
};

// The smallest DCT scaling M/8 whose output still covers the target in both
// directions, so a large photo shown small is decoded small.
void chooseScale(jpeg_decompress_struct& cinfo, int targetWidth, int targetHeight) {
    cinfo.scale_denom = 8;
    for (unsigned m = 1; m <= 8; ++m) {
        cinfo.scale_num = m;
        jpeg_calc_output_dimensions(&cinfo);
        if (cinfo.output_width >= static_cast<JDIMENSION>(targetWidth) &&
            cinfo.output_height >= static_cast<JDIMENSION>(targetHeight))
            return;
    }
}

// CMYK samples come out of libjpeg as stored. Adobe's writers (nearly every
// CMYK JPEG there is) store them inverted, 255 meaning no ink.
Rgba fromCmyk(const JSAMPLE* p, bool inverted) {
    int c = p[0], m = p[1], y = p[2], k = p[3];
    if (!inverted) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
    }
    return {static_cast<std::uint8_t>(c * k / 255), static_cast<std::uint8_t>(m * k / 255),
            static_cast<std::uint8_t>(y * k / 255), 255};
}

void convertScanline(const JpegSession& s, std::vector<Rgba>& out) {
    const JSAMPLE* p = s.scanline.data();
    switch (s.cinfo.out_color_space) {
        case JCS_GRAYSCALE:
            for (Rgba& px : out) {
                px = {p[0], p[0], p[0], 255};
                p += 1;
            }
            break;
        case JCS_CMYK:
            for (Rgba& px : out) {
                px = fromCmyk(p, s.cinfo.saw_Adobe_marker);
                p += 4;
            }
            break;
        default:
            for (Rgba& px : out) {
                px = {p[0], p[1], p[2], 255};
                p += 3;
            }
            break;
    }
}

// Runs libjpeg; false when it or we gave up. Between setjmp and the end
// nothing here owns memory, so the jump leaks nothing.
bool decodeWithLibjpeg(JpegSession& s, ByteView file, RowSink& sink, int targetWidth, int targetHeight) {
    jpeg_decompress_struct& cinfo = s.cinfo;
    if (setjmp(s.err.escape)) return false;

    // Creating the decompressor allocates, and so can fail through
    // error_exit too; it clears every field but err, hence progress after.
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &s.progress.pub;
    jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
    cinfo.mem->max_memory_to_use = kMaxLibjpegMemory;
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        s.refusal = "no image in the stream";
        return false;
    }
    if (!dimensionsAcceptable(cinfo.image_width, cinfo.image_height)) {
        s.refusal = "picture size out of range";
        return false;
    }

    switch (cinfo.jpeg_color_space) {
        case JCS_GRAYSCALE: cinfo.out_color_space = JCS_GRAYSCALE; break;
        case JCS_CMYK:
        case JCS_YCCK: cinfo.out_color_space = JCS_CMYK; break;
        default: cinfo.out_color_space = JCS_RGB; break;
    }
    if (targetWidth > 0 && targetHeight > 0) chooseScale(cinfo, targetWidth, targetHeight);

    jpeg_start_decompress(&cinfo);
    const int width = static_cast<int>(cinfo.output_width);
    const int height = static_cast<int>(cinfo.output_height);
    if (!dimensionsAcceptable(cinfo.output_width, cinfo.output_height)) {
        s.refusal = "output size out of range";
        return false;
    }
    const int components = cinfo.output_components;
    if (components != (cinfo.out_color_space == JCS_GRAYSCALE ? 1 : cinfo.out_color_space == JCS_CMYK ? 4 : 3)) {
        s.refusal = "unexpected colour layout";
        return false;
    }
    s.scanline.resize(static_cast<std::size_t>(width) * components);
    s.pixels.resize(static_cast<std::size_t>(width));

    sink.begin(width, height);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        JSAMPROW row = s.scanline.data();
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) {
            s.refusal = "no scanline delivered";
            return false;
        }
        convertScanline(s, s.pixels);
        sink.row(y, s.pixels);
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

}  // namespace

DecodeResult decodeJpeg(ByteView file, RowSink& sink, int targetWidth, int targetHeight) {
    if (file.empty()) return DecodeResult::failure("jpeg: empty file");
    JpegSession s;
    s.cinfo.err = jpeg_std_error(&s.err.pub);
    s.err.pub.error_exit = onFatalError;
    s.err.pub.output_message = onSilentOutput;
    s.err.pub.emit_message = onMessage;
    s.progress.pub.progress_monitor = onProgress;

    const bool ok = decodeWithLibjpeg(s, file, sink, targetWidth, targetHeight);
    // Safe after any failure, even one inside jpeg_create_decompress.
    jpeg_destroy_decompress(&s.cinfo);
    if (ok) return DecodeResult::success();
    return DecodeResult::failure(std::string("jpeg: ") + (s.refusal ? s.refusal : s.err.message));
}

}  // namespace yz::imaging
