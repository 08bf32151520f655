#pragma once

#include <QDialog>

#include "platform/Dialogs.h"

class QLabel;

namespace korva {

class LinkLabel;

// The version window: product name, version and two link labels that light
// up under the pointer and open their address when clicked, or from the
// keyboard once Tab has reached them.
class frmVersion : public QDialog {
    Q_OBJECT
public:
    frmVersion(platform::Dialogs& dialogs, QWidget* parent);

    // Both link labels back to their normal colour.
    void FormatColor();

    void Form_MouseMove();
    void lblHtml_MouseMove();
    void lblMail_MouseMove();
    void lblHtml_Click();
    void lblMail_Click();

protected:
    void showEvent(QShowEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* AddLabel(const char* name, const QString& text, int left, int top, int width, int height);
    LinkLabel* AddLink(const char* name, const QString& text, const QString& address, int left, int top, int width,
                       int height);
    template <typename Label>
    Label* Place(Label* label, const char* name, int left, int top, int width, int height);
    QColor LinkNormalColor() const;
    QColor LinkHoverColor() const;
    void ResetLabelColors();
    void SetLinkColor(QLabel* label, const QColor& color);

    platform::Dialogs& Dialogs_;
    LinkLabel* lblHtml_ = nullptr;
    LinkLabel* lblMail_ = nullptr;
    // The link whose next button release ends a double click.
    QObject* DoubleClicked_ = nullptr;
};

}  // namespace korva
