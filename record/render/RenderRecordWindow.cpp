// korva-render-record OUT.png [dark]: the record window of a 400-word deck
// studied most days for half a year, passing nine answers in ten, drawn
// without a screen; "dark" draws it in a dark palette.
#include <cstdio>
#include <random>

#include <QApplication>
#include <QDateTime>
#include <QPalette>
#include <QStyleFactory>

#include "platform/Fonts.h"
#include "record/frmRecord.h"
#include "study/DueView.h"

namespace {

using namespace korva;

constexpr int Cards = 400;
constexpr int StudiedDays = 180;
constexpr std::int64_t Day = 86'400'000;

CardData Words() {
    CardData deck;
    deck.encoding = ItemEncoding::Utf8;
    deck.Modes = ImportedModes;
    for (int card = 1; card <= Cards; ++card) {
        deck.Items.push_back({"", "단어 " + std::to_string(card), "単語 " + std::to_string(card)});
        deck.Checks.push_back({False16, False16, False16});
        deck.QuestionItems.push_back(1);
    }
    return deck;
}

// Each day of study, what the schedule asks for, through the same review a
// check makes; a failed card is asked again until it is passed.
void Study(DeckDocument& document, std::int64_t& now, std::mt19937& random) {
    const std::int64_t today = QDateTime::currentMSecsSinceEpoch();
    std::bernoulli_distribution pass(0.9);
    std::bernoulli_distribution skipDay(0.12);
    for (std::int64_t start = today - StudiedDays * Day; start < today; start += Day) {
        if (skipDay(random)) {
            continue;
        }
        now = start;
        const StudyDays days(now, QTimeZone::systemTimeZone());
        DuePasses due = ReadDuePasses(document.getDeck(), days);
        for (int card = 1; card <= due.lastPassing; ++card) {
            while (due.Passes(card)) {
                now += 20'000;
                const bool passed = pass(random);
                document.Review(passed, 1, static_cast<int16_t>(card), -1);
                if (passed) {
                    break;
                }
            }
        }
    }
    now = today;
}

void UseDarkPalette(QApplication& app) {
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::WindowText, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Text, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0xae, 0xe9));
    app.setPalette(dark);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: korva-render-record OUT.png [dark]\n");
        return 2;
    }
    platform::InstallFontSubstitutions();
    if (argc == 3 && QString::fromLocal8Bit(argv[2]) == QStringLiteral("dark")) {
        UseDarkPalette(app);
    }

    auto document = std::make_shared<DeckDocument>(Words());
    document->setFileName(QStringLiteral("korean-400.korva"));
    std::int64_t now = 0;
    document->setClock([&now] { return now; });
    std::mt19937 random(20261210);
    Study(*document, now, random);

    frmRecord window(std::make_shared<DeckSession>(document));
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.resize(window.sizeHint());
    window.show();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "korva-render-record: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
