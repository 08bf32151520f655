#include "shell/frmVersion.h"

#include <QLabel>
#include <QMouseEvent>

#include "platform/Contrast.h"
#include "platform/DialogWindow.h"
#include "platform/Fonts.h"
#include "platform/GrowToText.h"
#include "platform/Twips.h"
#include "shell/LinkLabel.h"
#include "shell/Maker.h"
#include "shell/OpenBrowser.h"

namespace korva {

using platform::TwipsToPixels;

namespace {

const QColor PureBlue(0x00, 0x00, 0xFF);

QFont LabelFont(const QString& family, qreal points, bool bold, bool italic) {
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

const QString Mincho = QStringLiteral("ＭＳ Ｐ明朝");
const QString Gothic = QStringLiteral("ＭＳ Ｐゴシック");

}  // namespace

frmVersion::frmVersion(platform::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, platform::DialogWindowFlags), Dialogs_(dialogs) {
    setWindowTitle(QStringLiteral("バージョン情報"));
    setFont(platform::WindowFont());
    setFixedSize(TwipsToPixels(5715), TwipsToPixels(2535));
    setModal(true);
    // Moves without a pressed button must arrive for the hover colours.
    setMouseTracking(true);

    AddLabel("Label1", QStringLiteral("バージョン情報"), 1140, 180, 2970, 435)
        ->setFont(LabelFont(Mincho, 21.75, true, true));
    AddLabel("Label2", QStringLiteral("KORVA!!"), 600, 840, 2115, 315)->setFont(LabelFont(Mincho, 14.25, true, true));
    AddLabel("Label3", QStringLiteral("Version 1.0"), 3420, 1140, 1380, 285)
        ->setFont(LabelFont(Gothic, 14.25, false, false));
    AddLabel("Label4", QStringLiteral("(C) ") + MakerName, 2820, 2280, 2895, 195);

    lblMail_ = AddLink("lblMail",
                       QStringLiteral("開発団体　") + MakerName + QStringLiteral(" ") + QStringLiteral("　") +
                           QStringLiteral("（") + MakerMailAddress + QStringLiteral("）"),
                       QStringLiteral("mailto:") + MakerMailAddress, 240, 1620, 3870, 240);
    lblHtml_ = AddLink("lblHtml", QStringLiteral("URL　") + MakerWebPage, MakerWebPage, 240, 1920, 2850, 180);
    connect(lblMail_, &LinkLabel::activated, this, &frmVersion::lblMail_Click);
    connect(lblHtml_, &LinkLabel::activated, this, &frmVersion::lblHtml_Click);
    for (QLabel* link : {lblMail_, lblHtml_}) {
        QFont font = LabelFont(Gothic, 9, false, false);
        font.setUnderline(true);
        link->setFont(font);
        link->setCursor(Qt::PointingHandCursor);
    }
    // The substituted Japanese fonts run larger than the ones the boxes were
    // drawn for; a label grows, within the window, rather than cut its text.
    for (QLabel* label : findChildren<QLabel*>()) {
        platform::GrowToText(*label, width());
    }
    ResetLabelColors();
}

QLabel* frmVersion::AddLabel(const char* name, const QString& text, int left, int top, int width, int height) {
    return Place(new QLabel(text, this), name, left, top, width, height);
}

LinkLabel* frmVersion::AddLink(const char* name, const QString& text, const QString& address, int left, int top,
                               int width, int height) {
    return Place(new LinkLabel(text, address, this), name, left, top, width, height);
}

template <typename Label>
Label* frmVersion::Place(Label* label, const char* name, int left, int top, int width, int height) {
    label->setObjectName(QLatin1String(name));
    label->setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
    label->setMouseTracking(true);
    label->installEventFilter(this);
    return label;
}

// Labels start in the button-text colour, as the platform draws captions:
// black on a light desktop, light on a dark one.
QColor frmVersion::LinkNormalColor() const { return palette().color(QPalette::ButtonText); }

// Pure blue under the pointer where it can be read on the window's
// background; where it is too dark for that, as on a dark desktop, the
// desktop's own link colour.
QColor frmVersion::LinkHoverColor() const {
    if (platform::ContrastRatio(PureBlue, palette().color(QPalette::Window)) >= platform::ReadableContrast) {
        return PureBlue;
    }
    return palette().color(QPalette::Link);
}

void frmVersion::ResetLabelColors() {
    for (QLabel* label : findChildren<QLabel*>()) {
        SetLinkColor(label, LinkNormalColor());
    }
}

// A link lit when the window closed is no longer under the pointer when the
// window opens again.
void frmVersion::showEvent(QShowEvent* event) {
    ResetLabelColors();
    QDialog::showEvent(event);
    // The window itself holds the focus when it opens, so that no link shows
    // a focus frame before the first Tab.
    setFocus(Qt::OtherFocusReason);
}

void frmVersion::SetLinkColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

void frmVersion::FormatColor() {
    SetLinkColor(lblHtml_, LinkNormalColor());
    SetLinkColor(lblMail_, LinkNormalColor());
}

void frmVersion::Form_MouseMove() { FormatColor(); }

void frmVersion::lblHtml_MouseMove() {
    FormatColor();
    SetLinkColor(lblHtml_, LinkHoverColor());
}

void frmVersion::lblMail_MouseMove() {
    FormatColor();
    SetLinkColor(lblMail_, LinkHoverColor());
}

void frmVersion::lblHtml_Click() { OpenBrowser(Dialogs_, lblHtml_->address()); }

void frmVersion::lblMail_Click() { OpenBrowser(Dialogs_, lblMail_->address()); }

void frmVersion::mouseMoveEvent(QMouseEvent* event) {
    Form_MouseMove();
    event->accept();
}

bool frmVersion::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        if (watched == lblHtml_) {
            lblHtml_MouseMove();
        }
        if (watched == lblMail_) {
            lblMail_MouseMove();
        }
        // Moves over the other labels change nothing; they must not reach the
        // window's background handler either.
        return true;
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        DoubleClicked_ = watched;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        // A double click is one click: the release that ends it opens nothing
        // more.
        const bool endsDoubleClick = watched == DoubleClicked_;
        DoubleClicked_ = nullptr;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const auto* label = static_cast<QWidget*>(watched);
        // A click is a release of the left button over the label it began on.
        if (!endsDoubleClick && mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint())) {
            if (watched == lblHtml_) {
                lblHtml_Click();
            }
            if (watched == lblMail_) {
                lblMail_Click();
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace korva
