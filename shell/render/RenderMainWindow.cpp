// korva-render-main OUT.png: a picture of the main window with a card window
// open in it and the version window in front, its mail link lit as under the
// pointer, drawn without a screen.
#include <cstdio>

#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>

#include "cardwindow/render/SampleDeck.h"
#include "platform/Fonts.h"
#include "shell/frmMain.h"
#include "shell/frmVersion.h"

namespace {

using namespace korva;

const char* const Fruit = "りんご,apple\r\nみかん,mandarin orange\r\nぶどう,grape\r\n";

// Where the version window stands over the main window: below the card
// window's buttons and their key hints.
QPoint VersionPlace(const QWidget& window, const QWidget& version) {
    return {window.width() - version.width() - 36, window.height() - version.height() - 54};
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: korva-render-main OUT.png\n");
        return 2;
    }
    platform::InstallFontSubstitutions();

    QTemporaryDir dir;
    const QString deck = dir.filePath(QStringLiteral("tango.csv"));
    if (!dir.isValid() || !render::WriteSampleDeck(deck, Fruit)) {
        std::fprintf(stderr, "korva-render-main: cannot write the sample deck\n");
        return 1;
    }

    render::SampleDeckDialogs dialogs(deck, QStringLiteral("tango.csv"));
    frmMain window(dialogs);
    window.show();
    window.mnuFileOpen_Click();
    if (window.CardWindows().isEmpty()) {
        return 1;
    }
    // The main window is drawn before the version window opens, while the
    // card window is still the active one.
    QImage picture = window.grab().toImage();

    frmVersion version(dialogs, &window);
    version.show();
    version.lblMail_MouseMove();
    QPainter painter(&picture);
    painter.drawPixmap(VersionPlace(window, version), version.grab());
    painter.end();

    if (!picture.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "korva-render-main: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
