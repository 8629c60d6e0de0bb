// A press and an undo in the pixel editor each rebuild the whole icon file
// and hand it to the picture box, which decodes and redraws all of it. Both
// should feel instant: the goal is well under a millisecond each, with an
// empty history and with a long one.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>
#include <memory>

#include "app/app_state.h"
#include "imaging/render.h"
#include "ui/controls/look.h"
#include "ui/controls/picture_box.h"
#include "ui/editor/editor_window.h"
#include "ui/editor/painting.h"

namespace {

using namespace yz;

struct Editor {
    AppState app;
    EditorState editorState;
    std::unique_ptr<editor::EditorWindow> window;

    Editor(int size, int history) {
        selectIconSize(app, size);
        imaging::RgbImage picture(size, size, {0, 0, 0});
        for (std::size_t i = 0; i < picture.rgb.size(); ++i) picture.rgb[i] = static_cast<std::uint8_t>(i * 7);
        app.tolerance = 35;
        storeGeneration(app, imaging::snapshotBmp(picture), true);
        window = std::make_unique<editor::EditorWindow>(app, editorState);
        window->show();
        QApplication::processEvents();
        window->setDrawingColour(ui::colourRef(255, 0, 0));
        for (int i = 0; i < history; ++i) press(i);
    }

    // A press on a cell that changes from one press to the next, then the
    // redraw that the event loop would do.
    void press(int i) {
        const int cell = 240 / (app.pixelSize == 16 ? 16 : 48);
        editor::snapCursor(*window, (i * cell) % 240, (i / 7 * cell) % 240);
        editor::paintCell(*window);
    }
    void redraw() { window->图片框1->repaint(); }
};

// Arguments: icon size, entries already in the history.
void BM_Press(benchmark::State& state) {
    Editor e(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    int i = 0;
    for (auto _ : state) {
        e.press(i++);
        e.redraw();
        state.PauseTiming();
        editor::undoEdit(*e.window);  // keeps the history at its length
        state.ResumeTiming();
    }
    state.counters["history"] = static_cast<double>(e.window->列表框3->count());
}

void BM_Undo(benchmark::State& state) {
    Editor e(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        e.press(i++);
        state.ResumeTiming();
        editor::undoEdit(*e.window);
        e.redraw();
    }
    state.counters["history"] = static_cast<double>(e.window->列表框3->count());
}

BENCHMARK(BM_Press)->Args({48, 0})->Args({48, 20000})->Args({16, 0})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Undo)->Args({48, 0})->Args({48, 20000})->Args({16, 0})->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::setUpApplication(app);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
