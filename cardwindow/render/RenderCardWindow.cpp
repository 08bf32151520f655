// korva-render-card OUT.png: a picture of a card window in the middle of a
// study session, drawn without a screen.
#include <cstdio>

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QTemporaryDir>

#include "cardwindow/CardWindowHost.h"
#include "cardwindow/frmCard.h"
#include "cardwindow/render/SampleDeck.h"
#include "platform/AppIcon.h"
#include "platform/Fonts.h"
#include "platform/Twips.h"
#include "shell/CardWindowManager.h"

namespace {

using namespace korva;

class NoHost : public CardWindowHost {
public:
    void OpenCardWindow() override {}
    void NewCardWindow() override {}
    void ExitProgram() override {}
    void ShowHelp() override {}
    void OpenSampleDeck() override {}
    void ShowVersion() override {}
    void OpenCardEditor(frmCard& /*card*/) override {}
    void OpenRecordWindow(frmCard& /*card*/) override {}
};

const char* const Animals =
    "犬,いぬ（dog）\r\n猫,ねこ（cat）\r\n狐,きつね（fox）\r\n狸,たぬき（raccoon dog）\r\n鶴,つる（crane）\r\n";

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: korva-render-card OUT.png\n");
        return 2;
    }
    platform::InstallFontSubstitutions();

    QTemporaryDir dir;
    const QString deck = dir.filePath(QStringLiteral("animals.csv"));
    if (!dir.isValid() || !render::WriteSampleDeck(deck, Animals)) {
        std::fprintf(stderr, "korva-render-card: cannot write the sample deck\n");
        return 1;
    }

    QMainWindow frame;
    frame.setWindowIcon(platform::AppIcon());
    frame.setFont(platform::WindowFont());
    auto* area = new QMdiArea(&frame);
    frame.setCentralWidget(area);
    frame.resize(platform::TwipsToPixels(9000), platform::TwipsToPixels(7400));

    render::SampleDeckDialogs dialogs(deck, QStringLiteral("日本の動物.csv"));
    NoHost host;
    CardWindowManager windows(*area, dialogs, host, nullptr);
    frmCard* card = windows.Open();
    if (!card) {
        return 1;
    }
    for (QMenu* menu : card->MenuBarMenus()) {
        frame.menuBar()->addMenu(menu);
    }
    frame.show();

    // Second card, checked earlier, with its answer revealed.
    card->cmdOpen_Click();
    card->cmdRecheck_Click();
    card->setCheck(true, 1, card->getShowCardIndex());
    card->cmdOpen_Click();

    if (!frame.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "korva-render-card: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
