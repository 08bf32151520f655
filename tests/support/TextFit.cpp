#include "tests/support/TextFit.h"

#include <algorithm>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStyle>
#include <QStyleOptionButton>

#include "platform/Fonts.h"
#include "platform/MessageBox.h"

namespace korva::test {

namespace {

QSize LineSize(const QFont& font, const QString& text) { return QFontMetrics(font).size(Qt::TextShowMnemonic, text); }

struct Misfits {
    void Fit(const QString& text, QSize needed, QSize box) {
        if (needed.width() > box.width() || needed.height() > box.height()) {
            found << QStringLiteral("\"%1\" needs %2x%3 in %4x%5")
                         .arg(text)
                         .arg(needed.width())
                         .arg(needed.height())
                         .arg(box.width())
                         .arg(box.height());
        }
    }

    // Its lines, wrapped if it wraps, and where its alignment puts them,
    // against the other controls beside it.
    void Label(const QLabel& label) {
        const QRect box = label.contentsRect();
        const QSize needed = label.wordWrap()
                                 ? QFontMetrics(label.font()).boundingRect(box, Qt::TextWordWrap, label.text()).size()
                                 : LineSize(label.font(), label.text());
        Fit(label.text(), needed, box.size());
        const QRect lines =
            QStyle::alignedRect(Qt::LeftToRight, label.alignment(), needed, box).translated(label.pos());
        for (const QWidget* other : label.parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other != &label && !other->isWindow() && !other->isHidden() && other->geometry().intersects(lines)) {
                found << QStringLiteral("\"%1\" runs into a %2").arg(label.text(), other->metaObject()->className());
            }
        }
    }

    void Button(const QAbstractButton& button) {
        QStyleOptionButton option;
        option.initFrom(&button);
        const QRect box = button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
        Fit(button.text(), LineSize(button.font(), button.text()), box.size());
    }

    // The caption's letters stand in the strip above the controls inside.
    void Frame(const QGroupBox& frame) {
        int strip = frame.height();
        for (const QWidget* control : frame.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            strip = std::min(strip, control->y());
        }
        const QFontMetrics metrics(frame.font());
        Fit(frame.title(),
            QSize(metrics.horizontalAdvance(frame.title()), metrics.tightBoundingRect(frame.title()).height()),
            QSize(frame.width(), strip));
    }

    template <typename Bar>
    void Items(const Bar& bar) {
        for (QAction* action : bar.actions()) {
            if (!action->isSeparator()) {
                Fit(action->text(), LineSize(bar.font(), action->text()), bar.actionGeometry(action).size());
            }
            if (action->menu()) {
                Items(*action->menu());
            }
        }
    }

    QStringList found;
};

}  // namespace

DesktopFont::DesktopFont(int points) : Saved_(QApplication::font()) {
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), points));
}

DesktopFont::~DesktopFont() { QApplication::setFont(Saved_); }

QStringList TextsOutsideTheirBoxes(const QWidget& window) {
    Misfits misfits;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) {
            misfits.Label(*label);
        }
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        misfits.Button(*button);
    }
    for (const QGroupBox* frame : window.findChildren<QGroupBox*>()) {
        misfits.Frame(*frame);
    }
    for (const QMenuBar* bar : window.findChildren<QMenuBar*>()) {
        misfits.Items(*bar);
    }
    // Submenus are reached through the menus that hold them. Qt's own popups
    // below the window's controls (a text box's, the menu bar's overflow)
    // are laid out by Qt for whatever font they have.
    for (const QMenu* menu : window.findChildren<QMenu*>()) {
        const bool submenu = qobject_cast<const QMenu*>(menu->parent());
        if (!submenu) {
            misfits.Items(*menu);
        }
        if ((submenu || menu->parent() == &window) && menu->font() != window.font()) {
            misfits.found << QStringLiteral("menu \"%1\" in another font than its window").arg(menu->title());
        }
    }
    return misfits.found;
}

QStringList MessageBoxMisfits(const QString& text, platform::MessageButtons buttons, const QString& title) {
    QMessageBox box;
    platform::PrepareMessageBox(box, text, buttons, title);
    box.show();
    Misfits misfits{TextsOutsideTheirBoxes(box)};
    if (box.font() != platform::WindowFont()) {
        misfits.found << QStringLiteral("the desktop's font");
    }
    if (box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)) {
        misfits.found << QStringLiteral("a minimise or maximise button");
    }
    // Openbox sets the window menu, minimise, maximise and close beside the
    // title of every dialog, each a square of the title bar's height, and
    // draws the title in bold.
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const QFontMetrics metrics(titleFont);
    misfits.Fit(title, QSize(metrics.horizontalAdvance(title) + 4 * (metrics.height() + 6), 0), box.size());
    return misfits.found;
}

}  // namespace korva::test
