// Writes the application icon as PNG for the desktop's icon theme, which
// takes PNG and not ICO. Run by the build, not installed.
//
//   yzicon_app_icon_png resources/yzicon.ico yzicon.png

#include <QImage>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ICON.ico OUT.png\n", argv[0]);
        return 2;
    }
    QImage icon;
    if (!icon.load(QString::fromLocal8Bit(argv[1]), "ICO")) {
        std::fprintf(stderr, "%s: cannot read the icon\n", argv[1]);
        return 1;
    }
    if (!icon.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write\n", argv[2]);
        return 1;
    }
    return 0;
}
