#include "app/convert_icon.h"

#include "app/app_state.h"
#include "icon/generation.h"

namespace yz::convert {

Conversion convertPicture(ByteView pictureFile, const IconSettings& settings) {
    Conversion out;
    const imaging::Rendering capture = icon::sourceBoxRendering(pictureFile, settings.background);
    if (!capture.drawn) {
        out.error = capture.error.empty() ? "the picture cannot be drawn" : capture.error;
        return out;
    }
    // A fresh record per picture, set up as the program's controls would
    // leave it: the chosen size, the slider's tolerance, and the picked
    // colour when the automatic key is off.
    AppState state;
    selectIconSize(state, settings.size);
    state.tolerance = settings.tolerance;
    state.keyColour = settings.key;
    if (!storeGeneration(state, icon::snapshotOf(capture.image, settings.size), settings.automaticKey)) {
        out.error = "the reduced picture has the wrong size";
        return out;
    }
    out.icon = std::move(state.iconBytes);
    out.ok = true;
    return out;
}

}  // namespace yz::convert
