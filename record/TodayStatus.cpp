#include "record/TodayStatus.h"

#include <QTimeZone>

#include "study/Schedule.h"

namespace korva {

TodayStatus::TodayStatus(QWidget* parent) : QLabel(parent) { setObjectName(QStringLiteral("todayStatus")); }

TodayStatus::~TodayStatus() { Watch(nullptr); }

void TodayStatus::Watch(std::shared_ptr<DeckDocument> document) {
    if (Document_ != document) {
        if (Document_) {
            Document_->RemoveListener(*this);
        }
        Document_ = std::move(document);
        if (Document_) {
            Document_->AddListener(*this);
        }
    }
    // Counted afresh even for the same deck: the day may have turned.
    Fresh();
}

void TodayStatus::Fresh() {
    if (!Document_ || Document_->getCardData().encoding != ItemEncoding::Utf8) {
        clear();
        return;
    }
    const TodayCounts today =
        CountToday(Document_->getDeck(), StudyDays(Document_->Now(), QTimeZone::systemTimeZone()));
    setText(QStringLiteral("復習 %1枚・新規 %2枚").arg(today.reviews).arg(today.NewToday()));
}

}  // namespace korva
