// The question boxes: the default button as named, Escape and the close box
// give No or Cancel (a Cancel that is never shown for a question that can
// wait), the title is the application's, and there is no icon.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/QtDialogs.h"

using korva::platform::MessageButtons;
using korva::platform::MessageResult;

TEST(QtDialogs, QuestionsHaveTheirDefaultAndEscapeOrTheCloseBoxGivesTheLastAnswer) {
    struct Case {
        MessageButtons buttons;
        QMessageBox::StandardButtons expected;
        QMessageBox::StandardButton defaultButton;
        MessageResult onEscape;
        bool byCloseBox;
    };
    const Case cases[] = {
        {MessageButtons::YesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, MessageResult::No, false},
        {MessageButtons::YesNoCancel, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
         MessageResult::Cancel, false},
        {MessageButtons::YesNoDefaultNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, MessageResult::No, true},
        {MessageButtons::YesNoOrLater, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, MessageResult::Cancel,
         false},
        {MessageButtons::YesNoOrLater, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, MessageResult::Cancel,
         true},
    };
    korva::platform::QtDialogs dialogs;
    for (const Case& c : cases) {
        QMessageBox::StandardButtons shown;
        bool defaultAsNamed = false;
        QString title;
        bool noIcon = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                return;
            }
            for (QAbstractButton* button : box->buttons()) {
                if (button->isVisible()) {
                    shown |= box->standardButton(button);
                }
            }
            defaultAsNamed = box->defaultButton() == box->button(c.defaultButton);
            title = box->windowTitle();
            noIcon = box->icon() == QMessageBox::NoIcon;
            if (c.byCloseBox) {
                box->close();
            } else {
                QTest::keyClick(box, Qt::Key_Escape);
            }
        });
        EXPECT_EQ(dialogs.Message(QStringLiteral("?"), c.buttons), c.onEscape);
        EXPECT_EQ(shown, c.expected);
        EXPECT_TRUE(defaultAsNamed);
        EXPECT_EQ(title, QStringLiteral("KORVA!!"));
        EXPECT_TRUE(noIcon);
    }
}
