// Qt's own texts come in Japanese (the test runs in the C locale): a Yes/No/Cancel
// question shows はい/いいえ/キャンセル and still answers by button.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include "platform/QtDialogs.h"
#include "platform/QtTranslation.h"

using korva::platform::MessageButtons;
using korva::platform::MessageResult;

TEST(QtTranslation, QuestionButtonsAreJapanese) {
    ASSERT_TRUE(korva::platform::LoadQtTranslation(*qApp));

    QStringList texts;
    QTimer::singleShot(0, [&texts] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        for (QAbstractButton* button : box->buttons())
            texts << button->text();
        box->button(QMessageBox::No)->click();
    });
    korva::platform::QtDialogs dialogs;
    const MessageResult answer =
        dialogs.Message(QStringLiteral("deck.krv\r\n が編集されています。保存しますか。"), MessageButtons::YesNoCancel);

    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    texts.sort();
    QStringList expected = {QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)"), QStringLiteral("キャンセル")};
    expected.sort();
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(answer, MessageResult::No);
}
