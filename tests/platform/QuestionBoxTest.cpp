// The two question boxes: Yes is the default, Escape gives the last answer
// (No or Cancel), the title is the application's, and there is no icon.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/QtDialogs.h"

using korva::platform::MessageButtons;
using korva::platform::MessageResult;

TEST(QtDialogs, QuestionsDefaultToYesAndEscapeGivesTheLastAnswer) {
    struct Case {
        MessageButtons buttons;
        QMessageBox::StandardButtons expected;
        MessageResult onEscape;
    };
    const Case cases[] = {
        {MessageButtons::YesNo, QMessageBox::Yes | QMessageBox::No, MessageResult::No},
        {MessageButtons::YesNoCancel, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, MessageResult::Cancel},
    };
    korva::platform::QtDialogs dialogs;
    for (const Case& c : cases) {
        QMessageBox::StandardButtons shown;
        bool yesIsDefault = false;
        QString title;
        bool noIcon = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                return;
            }
            shown = box->standardButtons();
            yesIsDefault = box->defaultButton() == box->button(QMessageBox::Yes);
            title = box->windowTitle();
            noIcon = box->icon() == QMessageBox::NoIcon;
            QTest::keyClick(box, Qt::Key_Escape);
        });
        EXPECT_EQ(dialogs.Message(QStringLiteral("?"), c.buttons), c.onEscape);
        EXPECT_EQ(shown, c.expected);
        EXPECT_TRUE(yesIsDefault);
        EXPECT_EQ(title, QStringLiteral("KORVA!!"));
        EXPECT_TRUE(noIcon);
    }
}
