#include "app/app_state.h"

#include "icon/icon_layout.h"

namespace yz {

void selectIconSize(AppState& state, int size) {
    state.headerTemplate = icon::headerTemplateFor(size);
    state.maskTemplate = icon::maskTemplateFor(size);
    state.iconSize = size == 16 ? 16 : 48;
}

void assembleIcon(AppState& state) {
    if (state.pixelSize == 0 || state.pixelSize == state.iconSize) {
        state.iconBytes = icon::assembleIconFile(state.headerTemplate, state.pixelBuffer, state.maskTemplate);
        return;
    }
    state.iconBytes = icon::assembleIconFile(icon::headerTemplateFor(state.pixelSize), state.pixelBuffer,
                                             icon::maskTemplateFor(state.pixelSize));
}

bool storeGeneration(AppState& state, ByteBuffer snapshot, bool automaticKey) {
    const int n = state.iconSize;
    if (snapshot.size() != icon::kSnapshotHeaderLength + 3u * n * n) return false;
    icon::KeyedPixels keyed = icon::keyPixels(snapshot, state.keyColour, state.tolerance, automaticKey);
    state.snapshotBytes = std::move(snapshot);
    state.pixelBuffer = std::move(keyed.pixels);
    if (automaticKey) state.keyColour = keyed.key;
    state.pixelSize = n;
    assembleIcon(state);
    return true;
}

}  // namespace yz
