// Qt's own texts come in Japanese (the test runs in the C locale): a Yes/No/Cancel
// question shows はい/いいえ/キャンセル, without icons on its buttons, and still
// answers by button.
#include <QApplication>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include "platform/QtDialogs.h"
#include "platform/QtTranslation.h"

using korva::platform::MessageButtons;
using korva::platform::MessageResult;

namespace {

// The look of desktops whose themes put icons on dialog buttons.
class IconButtonsStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons) {
            return 1;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

TEST(QtTranslation, QuestionButtonsAreJapanese) {
    QApplication::setStyle(new IconButtonsStyle);
    ASSERT_TRUE(korva::platform::LoadQtTranslation(*qApp));

    QStringList texts;
    bool anyIcon = false;
    QTimer::singleShot(0, [&texts, &anyIcon] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            return;
        }
        for (QAbstractButton* button : box->buttons()) {
            texts << button->text();
            anyIcon = anyIcon || !button->icon().isNull();
        }
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
    EXPECT_FALSE(anyIcon) << "a message box's buttons carry text only";
}
