#pragma once

#include <QLabel>

namespace korva {

// A label that stands for an address: Tab reaches it, a focus frame shows
// where the keyboard is, Enter or Space opens it as a click does, and the
// accessibility tree names it as a link with its address. A click does not
// take the focus, so the pointer leaves its look as a plain label's.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& text, const QString& address, QWidget* parent);

    const QString& address() const { return Address_; }

    // Registers, once per program, the accessible view of every link label.
    static void InstallAccessibleLinks();

signals:
    void activated();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString Address_;
};

}  // namespace korva
