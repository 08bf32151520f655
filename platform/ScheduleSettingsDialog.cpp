#include "platform/ScheduleSettingsDialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "platform/DialogWindow.h"

namespace korva::platform {

ScheduleSettingsDialog::ScheduleSettingsDialog(const ScheduleSettings& current, QWidget* parent)
    : QDialog(parent, DialogWindowFlags) {
    setWindowTitle(QStringLiteral("学習の設定"));
    NewCards_ = new QSpinBox(this);
    NewCards_->setObjectName(QStringLiteral("newCards"));
    NewCards_->setRange(MinNewCardsPerDay, MaxNewCardsPerDay);
    NewCards_->setSuffix(QStringLiteral(" 枚"));
    NewCards_->setValue(current.newCardsPerDay);
    // Shown as a percentage, as learners read it; kept as a share.
    Retention_ = new QDoubleSpinBox(this);
    Retention_->setObjectName(QStringLiteral("retention"));
    Retention_->setDecimals(0);
    Retention_->setRange(MinDesiredRetention * 100, MaxDesiredRetention * 100);
    Retention_->setSuffix(QStringLiteral(" %"));
    Retention_->setValue(current.desiredRetention * 100);

    auto* note = new QLabel(QStringLiteral("覚えている割合を高くするほど、復習の間隔は短くなります。"), this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("1日の新しいカード(&N):"), NewCards_);
    form->addRow(QStringLiteral("覚えている割合の目標(&R):"), Retention_);
    form->addRow(note);
    form->addRow(buttons);
}

ScheduleSettings ScheduleSettingsDialog::getSettings() const {
    return {.newCardsPerDay = NewCards_->value(), .desiredRetention = Retention_->value() / 100};
}

}  // namespace korva::platform
