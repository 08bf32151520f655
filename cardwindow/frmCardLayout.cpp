#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>

#include "cardwindow/CaptionFrame.h"
#include "cardwindow/frmCard.h"
#include "platform/GrowToText.h"
#include "platform/Twips.h"

namespace korva {

namespace {

using platform::TwipsToPixels;

QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

// The frames' captions stand in the strip above their controls.
constexpr int CaptionBandTwips = 180;

template <typename Control>
Control* Place(Control* control, int left, int top, int width, int height) {
    control->setGeometry(TwipsRect(left, top, width, height));
    return control;
}

CaptionFrame* MakeFrame(const QString& caption, QWidget* parent) {
    return new CaptionFrame(caption, TwipsToPixels(CaptionBandTwips), parent);
}

QPlainTextEdit* MakeItemBox(QWidget* frame) {
    // The program only ever writes into the item boxes; reading is all the user does there.
    auto* box = Place(new QPlainTextEdit(frame), 180, 180, 2415, 2655);
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setFocusPolicy(Qt::StrongFocus);
    return box;
}

void StyleCheckLabel(QLabel* label) {
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"), 18, QFont::Bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    palette.setColor(QPalette::Window, QColor(255, 192, 192));
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

}  // namespace

// Controls are created in tab order, so the focus chain is that order; the
// controls are placed, never laid out, so resizing the window moves nothing.
void frmCard::BuildControls() {
    cmdOpen = Place(new QPushButton(QStringLiteral("表示"), this), 3060, 2580, 1695, 435);
    cmdCheck = Place(new QPushButton(QStringLiteral("チェック && 次へ"), this), 1740, 3240, 1995, 435);
    cmdRecheck = Place(new QPushButton(QStringLiteral("チェック解除 && 次へ"), this), 4080, 3240, 1995, 435);

    frmTestMode = Place(MakeFrame(QStringLiteral("TESTモード"), this), 480, 4020, 6975, 1275);
    lblUserAnswer = Place(new QLabel(QStringLiteral("解答入力(&A)"), frmTestMode), 180, 600, 1215, 315);
    txtAnswer = Place(new QLineEdit(frmTestMode), 1260, 540, 3255, 375);
    lblUserAnswer->setBuddy(txtAnswer);
    cmdAnswer = Place(new QPushButton(QStringLiteral("答える(&S)"), frmTestMode), 5040, 540, 1575, 315);

    lblCheck = Place(new QLabel(QStringLiteral("チェック中"), this), 3120, 1080, 1590, 360);
    StyleCheckLabel(lblCheck);

    Frame1[0] = Place(MakeFrame(QStringLiteral("問題"), this), 300, 180, 2715, 2955);
    txtItem[0] = MakeItemBox(Frame1[0]);
    Frame1[1] = Place(MakeFrame(QStringLiteral("答え"), this), 4800, 180, 2715, 2955);
    txtItem[1] = MakeItemBox(Frame1[1]);

    lblCount = Place(new QLabel(this), 3750, 480, 120, 240);
    Label1 = Place(new QLabel(QStringLiteral("↑　；　キーでも可"), this), 2040, 3720, 1365, 180);
    Label2 = Place(new QLabel(QStringLiteral("↑　：　キーでも可"), this), 4320, 3720, 1365, 180);
    Label3 = Place(new QLabel(QStringLiteral("↓どのボタンでもOK"), this), 3120, 2340, 1515, 180);
    // In the window font the hints and the check label run a few pixels
    // past their boxes; they grow from their top left corners instead.
    for (QLabel* label : {Label1, Label2, Label3, lblCheck, lblUserAnswer}) {
        platform::GrowToText(*label);
    }

    QWidget::setTabOrder(cmdOpen, cmdCheck);
    QWidget::setTabOrder(cmdCheck, cmdRecheck);
    QWidget::setTabOrder(cmdRecheck, txtAnswer);
    QWidget::setTabOrder(txtAnswer, cmdAnswer);
    QWidget::setTabOrder(cmdAnswer, txtItem[0]);
    QWidget::setTabOrder(txtItem[0], txtItem[1]);
}

}  // namespace korva
