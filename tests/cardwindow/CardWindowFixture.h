#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <QMdiArea>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "cardwindow/frmCard.h"
#include "shell/CardWindowManager.h"
#include "tests/support/FakeCardWindowHost.h"
#include "tests/support/FakeDialogs.h"

// Readable failure output for Qt texts.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace korva::test {

struct CardText {
    std::string item1;  // UTF-8
    std::string item2;
};

// A card window on the fake dialogs, with a folder for its deck files.
class CardWindowTest : public ::testing::Test {
protected:
    void SetUp() override;

    // A fresh window whose deck holds these cards (no file behind it),
    // in the given modes, started and not shown.
    frmCard& MakeWindow(const std::vector<CardText>& cards, uint8_t turnMode = TurnNormal,
                        uint8_t answerMode = AnswerNormal, uint8_t viewKind = ViewAll);
    // Shows the window and makes it the active one, so focus moves happen.
    void ShowActive(frmCard& card);

    // Deck files in the temporary folder; both return the full path.
    QString WriteDeckFile(const QString& name, const std::vector<CardText>& cards);
    QString WriteCsvFile(const QString& name, const std::vector<CardText>& cards);
    QString WriteBytes(const QString& name, const QByteArray& bytes);
    QByteArray ReadBytes(const QString& path) const;

    // What the open or save dialog answers next.
    void ChooseForOpen(const QString& path);
    void ChooseForSave(const QString& path);
    void CancelOpen() { dialogs.openAnswers.push_back(std::nullopt); }
    void CancelSave() { dialogs.saveAnswers.push_back(std::nullopt); }

    QString Question(const frmCard& card) const;
    QString Answer(const frmCard& card) const;

    QTemporaryDir dir;
    FakeDialogs dialogs;
    FakeCardWindowHost host;
    std::unique_ptr<frmCard> window;
};

// Card windows opened inside a shown main-window area, as the program opens
// them.
class CardAreaTest : public CardWindowTest {
protected:
    void SetUp() override;

    // Closed sub-windows are deleted later; lets that happen first.
    int OpenWindows();

    QMdiArea area;
    CardWindowManager windows{area, dialogs, host, nullptr};
};

CardData MakeDeck(const std::vector<CardText>& cards, uint8_t turnMode = TurnNormal, uint8_t answerMode = AnswerNormal,
                  uint8_t viewKind = ViewAll);
std::string Utf8Item(const frmCard& card, int16_t item, int16_t cardIndex);

}  // namespace korva::test
