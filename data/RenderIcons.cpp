// Renders the program's icon into hicolor theme folders at build time, so the
// desktop shows the same picture as the program's own windows.
#include <cstdio>

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include "platform/AppIcon.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: render-icons OUTPUT-FOLDER\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QImage icon = korva::platform::AppIcon().pixmap(32, 32).toImage();
    const QDir out(QFile::decodeName(argv[1]));
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        // Whole multiples keep the hard pixel edges of the 16-colour drawing;
        // the other sizes are smoothed so no line disappears.
        const auto mode = size % 32 == 0 ? Qt::FastTransformation : Qt::SmoothTransformation;
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        if (!out.mkpath(folder) ||
            !icon.scaled(size, size, Qt::IgnoreAspectRatio, mode).save(out.filePath(folder + "/korva.png"))) {
            std::fprintf(stderr, "render-icons: cannot write %s\n", qPrintable(out.filePath(folder)));
            return 1;
        }
    }
    return 0;
}
