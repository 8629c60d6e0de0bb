// A 6000x4000 quality-92 photo (~7 MB) drawn into the 128x128 source box,
// against the floor: libjpeg itself decoding the same file at 1/8 scale
// with djpeg's settings and doing nothing with the rows. The goal is to stay
// within 1.15x of the floor. bench/compare measures the same at the level of
// whole processes, with peak memory, against other tools.

#include <benchmark/benchmark.h>

#include <csetjmp>

#include "app/convert_icon.h"
#include "imaging/render.h"
#include "test_photo.h"

namespace {

const std::vector<std::uint8_t>& bigPhoto() {
    static const std::vector<std::uint8_t> photo = bench::makePhotoJpeg(6000, 4000, 92);
    return photo;
}

struct ErrorExit {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void BM_LibjpegEighthScale(benchmark::State& state) {
    const auto& photo = bigPhoto();
    for (auto _ : state) {
        jpeg_decompress_struct cinfo{};
        ErrorExit error{};
        // Declared before setjmp so that a longjmp never skips its destructor.
        std::vector<JSAMPLE> line;
        cinfo.err = jpeg_std_error(&error.manager);
        error.manager.error_exit = [](j_common_ptr c) { std::longjmp(reinterpret_cast<ErrorExit*>(c->err)->jump, 1); };
        if (setjmp(error.jump)) {
            jpeg_destroy_decompress(&cinfo);
            state.SkipWithError("libjpeg failed");
            return;
        }
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, photo.data(), static_cast<unsigned long>(photo.size()));
        jpeg_read_header(&cinfo, TRUE);
        cinfo.scale_num = 1;
        cinfo.scale_denom = 8;
        cinfo.out_color_space = JCS_RGB;
        jpeg_start_decompress(&cinfo);
        line.resize(static_cast<std::size_t>(cinfo.output_width) * cinfo.output_components);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = line.data();
            jpeg_read_scanlines(&cinfo, &row, 1);
            benchmark::DoNotOptimize(line.data());
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
    }
    state.counters["file_MB"] = static_cast<double>(photo.size()) / 1e6;
}
BENCHMARK(BM_LibjpegEighthScale)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_RenderPicture128(benchmark::State& state) {
    const auto& photo = bigPhoto();
    for (auto _ : state) {
        const auto rendering = yz::imaging::renderPicture(photo, 128, 128);
        if (!rendering.drawn) {
            state.SkipWithError(("not drawn: " + rendering.error).c_str());
            return;
        }
        benchmark::DoNotOptimize(rendering.image.rgb.data());
    }
    state.counters["file_MB"] = static_cast<double>(photo.size()) / 1e6;
}
BENCHMARK(BM_RenderPicture128)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The converter's whole path from bytes to icon bytes: drawing, snapshot,
// keying, assembly.
void BM_ConvertPicture48(benchmark::State& state) {
    const auto& photo = bigPhoto();
    const yz::convert::IconSettings settings;
    for (auto _ : state) {
        const auto icon = yz::convert::convertPicture(photo, settings);
        if (!icon.ok) {
            state.SkipWithError(("no icon: " + icon.error).c_str());
            return;
        }
        benchmark::DoNotOptimize(icon.icon.data());
    }
}
BENCHMARK(BM_ConvertPicture48)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
