#include "ui/controls/look.h"

#include <QApplication>
#include <QPalette>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>

#include "ui/controls/colours.h"

namespace yz::ui {

namespace {

QFont cjkFont(const QStringList& families, QFont::StyleHint hint, int pixelHeight, bool bold) {
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPixelSize(pixelHeight);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

}  // namespace

QFont songFont(int pixelHeight, bool bold) {
    return cjkFont({QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Source Han Serif SC"),
                    QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN")},
                   QFont::Serif, pixelHeight, bold);
}

QFont heiFont(int pixelHeight, bool bold) {
    return cjkFont({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
                    QStringLiteral("SimHei"), QStringLiteral("WenQuanYi Micro Hei")},
                   QFont::SansSerif, pixelHeight, bold);
}

QFont defaultGuiFont() { return heiFont(12, false); }

void setUpApplication(QApplication& app) {
    // A folder that cannot exist: every read finds nothing, every write fails
    // quietly.
    const QString nowhere = QStringLiteral("/dev/null/yzicon-keeps-no-settings");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, nowhere);
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, nowhere);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, nowhere);
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, nowhere);

    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
    QPalette palette = app.style()->standardPalette();
    const QColor face = QColor::fromRgb(kButtonFaceRgb);
    palette.setColor(QPalette::Window, face);
    palette.setColor(QPalette::Button, face);
    app.setPalette(palette);
    app.setFont(defaultGuiFont());
}

}  // namespace yz::ui
