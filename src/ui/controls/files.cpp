#include "ui/controls/files.h"

#include <QFile>

#include "app/file_io.h"

namespace yz::ui {

namespace {

// File names in the encoding the system uses for them, as Qt itself opens
// files.
std::string localName(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

ByteBuffer readWholeFile(const QString& path) {
    if (path.isEmpty()) return {};
    return readRegularFile(localName(path), kMaxFileBytes).bytes;
}

bool writeWholeFile(const QString& path, ByteView bytes) {
    if (path.isEmpty()) return false;
    return writeFileAtomically(localName(path), bytes).empty();
}

}  // namespace yz::ui
