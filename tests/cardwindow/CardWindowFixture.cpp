#include "tests/cardwindow/CardWindowFixture.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>

#include "deck/Cp932Text.h"
#include "deck/CsvRows.h"
#include "deck/DeckFile.h"
#include "platform/Fonts.h"

namespace korva::test {

namespace {

std::string Cp932(const std::string& utf8) {
    auto bytes = Utf8ToCp932(utf8);
    if (!bytes) {
        throw std::logic_error("test text without a code page 932 form");
    }
    return *bytes;
}

}  // namespace

CardData MakeDeck(const std::vector<CardText>& cards, uint8_t turnMode, uint8_t answerMode, uint8_t viewKind) {
    CardData deck;
    for (size_t i = 0; i < cards.size(); ++i) {
        const auto card = static_cast<int16_t>(i + 1);
        SetItemText(deck, Cp932(cards[i].item1), 1, card);
        SetItemText(deck, Cp932(cards[i].item2), 2, card);
    }
    ResetCardState(deck);
    deck.Modes = {turnMode, ImportedModes.ReservedMode, viewKind, answerMode};
    return deck;
}

std::string Utf8Item(const frmCard& card, int16_t item, int16_t cardIndex) {
    return Cp932ToUtf8(card.getItem(item, cardIndex));
}

void CardWindowTest::SetUp() {
    platform::InstallFontSubstitutions();
    ASSERT_TRUE(dir.isValid());
}

frmCard& CardWindowTest::MakeWindow(const std::vector<CardText>& cards, uint8_t turnMode, uint8_t answerMode,
                                    uint8_t viewKind) {
    window = std::make_unique<frmCard>(dialogs, host);
    window->getDocument().Replace(MakeDeck(cards, turnMode, answerMode, viewKind));
    window->setRandomSeed(7);
    window->Start();
    return *window;
}

void CardWindowTest::ShowActive(frmCard& card) {
    card.show();
    QApplication::setActiveWindow(&card);
}

QString CardWindowTest::WriteDeckFile(const QString& name, const std::vector<CardText>& cards) {
    QString path = dir.filePath(name);
    SaveCardFile(path.toStdString(), MakeDeck(cards));
    return path;
}

QString CardWindowTest::WriteCsvFile(const QString& name, const std::vector<CardText>& cards) {
    std::string text;
    for (const auto& card : cards) {
        text += Cp932(card.item1) + "," + Cp932(card.item2) + "\r\n";
    }
    return WriteBytes(name, QByteArray::fromStdString(text));
}

QString CardWindowTest::WriteBytes(const QString& name, const QByteArray& bytes) {
    QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write test file");
    }
    return path;
}

QByteArray CardWindowTest::ReadBytes(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

void CardWindowTest::ChooseForOpen(const QString& path) {
    dialogs.openAnswers.push_back(platform::FileDialogResult{path, QFileInfo(path).fileName()});
}

void CardWindowTest::ChooseForSave(const QString& path) {
    dialogs.saveAnswers.push_back(platform::FileDialogResult{path, QFileInfo(path).fileName()});
}

QString CardWindowTest::Question(const frmCard& card) const { return card.txtItem[0]->toPlainText(); }
QString CardWindowTest::Answer(const frmCard& card) const { return card.txtItem[1]->toPlainText(); }

void CardAreaTest::SetUp() {
    CardWindowTest::SetUp();
    area.resize(900, 700);
    area.show();
    QApplication::setActiveWindow(&area);
}

int CardAreaTest::OpenWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return static_cast<int>(area.subWindowList().size());
}

}  // namespace korva::test
