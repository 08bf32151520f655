#pragma once

#include <QDialog>

#include "deck/CardMemory.h"

class QDoubleSpinBox;
class QSpinBox;

namespace korva::platform {

// 学習の設定: how many new cards a day and how much the learner means to
// remember, each held to the range the deck keeps.
class ScheduleSettingsDialog : public QDialog {
    Q_OBJECT

public:
    explicit ScheduleSettingsDialog(const ScheduleSettings& current, QWidget* parent = nullptr);

    ScheduleSettings getSettings() const;

private:
    QSpinBox* NewCards_ = nullptr;
    QDoubleSpinBox* Retention_ = nullptr;
};

}  // namespace korva::platform
