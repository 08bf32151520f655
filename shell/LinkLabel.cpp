#include "shell/LinkLabel.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace korva {

namespace {

// Screen readers take a link's role, its text as the name and its address
// as the description, and can press it.
class AccessibleLink : public QAccessibleWidget {
public:
    explicit AccessibleLink(LinkLabel* link) : QAccessibleWidget(link, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override {
        const auto* link = static_cast<const LinkLabel*>(widget());
        switch (kind) {
            case QAccessible::Name: return link->text();
            case QAccessible::Description: return link->address();
            default: return QAccessibleWidget::text(kind);
        }
    }
    QStringList actionNames() const override { return QAccessibleWidget::actionNames() << pressAction(); }
    void doAction(const QString& action) override {
        if (action == pressAction()) {
            emit static_cast<LinkLabel*>(widget())->activated();
            return;
        }
        QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* LinkFactory(const QString& className, QObject* object) {
    auto* link = qobject_cast<LinkLabel*>(object);
    if (className != QLatin1String(LinkLabel::staticMetaObject.className()) || !link) {
        return nullptr;
    }
    return new AccessibleLink(link);
}

}  // namespace

LinkLabel::LinkLabel(const QString& text, const QString& address, QWidget* parent)
    : QLabel(text, parent), Address_(address) {
    setFocusPolicy(Qt::TabFocus);
    InstallAccessibleLinks();
}

void LinkLabel::InstallAccessibleLinks() {
    static const bool installed = [] {
        QAccessible::installFactory(LinkFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        // Holding the key down opens the address once.
        if (!event->isAutoRepeat()) {
            emit activated();
        }
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

void LinkLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) {
        return;
    }
    QPainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    // Only the keyboard gives a link the focus, and some styles draw the
    // frame only for focus that came from it.
    frame.state |= QStyle::State_KeyboardFocusChange;
    frame.backgroundColor = palette().color(backgroundRole());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
}

}  // namespace korva
