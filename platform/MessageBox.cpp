#include "platform/MessageBox.h"

#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QIcon>
#include <QMessageBox>

#include "platform/DialogWindow.h"
#include "platform/Fonts.h"

namespace korva::platform {

namespace {

// The buttons a window manager sets beside the title (window menu, minimise,
// maximise, close; some add more, whatever the window asks for), and the
// title's margins, each about a title bar's height wide.
constexpr int TitleBarSquares = 5;
constexpr int TitleBarPadding = 4;  // above and below the title's line

// The messages are written with CR LF line breaks; a label shows only LF.
QString DisplayText(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

// Window managers draw the title in their own font, bold as a rule: the
// desktop's title or interface font, or one of their own no larger. The
// widest of those and the window's own font counts.
int TitleBarWidth(const QString& title, const QFont& windowFont) {
    int width = 0;
    for (QFont font : {windowFont, QApplication::font(), QFontDatabase::systemFont(QFontDatabase::TitleFont)}) {
        font.setBold(true);
        const QFontMetrics metrics(font);
        const int squares = TitleBarSquares * (metrics.height() + 2 * TitleBarPadding);
        width = std::max(width, metrics.horizontalAdvance(title) + squares);
    }
    return width;
}

// QMessageBox takes its layout's least width when it is shown, so a strut
// across the text's row is enough to widen it.
void KeepTitleWhole(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) {
        return;
    }
    const QMargins margins = grid->contentsMargins();
    const int strut = TitleBarWidth(box.windowTitle(), box.font()) - margins.left() - margins.right();
    grid->addItem(new QSpacerItem(strut, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), 0, 0, 1, grid->columnCount());
}

void SetButtons(QMessageBox& box, MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case MessageButtons::YesNo:
        case MessageButtons::YesNoDefaultNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(buttons == MessageButtons::YesNo ? QMessageBox::Yes : QMessageBox::No);
            box.setEscapeButton(QMessageBox::No);
            break;
        case MessageButtons::YesNoOrLater:
            // Escape and the close box press a Cancel button that is never
            // shown: QMessageBox would otherwise take them for No.
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.button(QMessageBox::Cancel)->hide();
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case MessageButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    }
}

}  // namespace

void PrepareMessageBox(QMessageBox& box, const QString& text, MessageButtons buttons, const QString& title) {
    box.setWindowFlags(DialogWindowFlags);
    box.setFont(WindowFont());
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(DisplayText(text));
    SetButtons(box, buttons);
    // Message boxes carry no icon, their buttons included, whatever icons
    // the desktop's theme would put on them.
    for (QAbstractButton* button : box.buttons()) {
        button->setIcon(QIcon());
    }
    KeepTitleWhole(box);
}

}  // namespace korva::platform
