#include "ui/controls/file_dialog.h"

#include <QFileDialog>

namespace yz::ui {

namespace {

// "*.ico" gives "ico"; a pattern without a plain extension gives nothing.
QString extensionOfPattern(const QString& pattern) {
    if (!pattern.startsWith(QStringLiteral("*."))) return {};
    const QString extension = pattern.mid(2);
    if (extension.isEmpty() || extension.contains(QLatin1Char('*')) || extension.contains(QLatin1Char('?')))
        return {};
    return extension;
}

// The first pattern of a filter in Qt's syntax: "description (*.a *.b)".
QString firstPatternOf(const QString& qtFilter) {
    const qsizetype open = qtFilter.lastIndexOf(QLatin1Char('('));
    if (open < 0) return {};
    const QString inside = qtFilter.mid(open + 1).chopped(qtFilter.endsWith(QLatin1Char(')')) ? 1 : 0);
    return inside.split(QLatin1Char(' '), Qt::SkipEmptyParts).value(0);
}

}  // namespace

QStringList FileDialog::qtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns << pattern.trimmed();
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

bool FileDialog::show(QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The descriptions already name their patterns; Qt would repeat them.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (kind_ == Kind::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    }
    const QStringList filters = qtNameFilters(filter_);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);

    auto applySuffix = [&dialog, this](const QString& qtFilter) {
        dialog.setDefaultSuffix(defaultExtension_.isEmpty() ? QString() : extensionOfPattern(firstPatternOf(qtFilter)));
    };
    applySuffix(filters.value(0));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, applySuffix);

    if (!fileName_.isEmpty()) dialog.selectFile(fileName_);

    if (dialog.exec() != QDialog::Accepted) return false;
    const QString chosen = dialog.selectedFiles().value(0);
    if (chosen.isEmpty()) return false;
    fileName_ = chosen;
    return true;
}

}  // namespace yz::ui
