#include "record/frmRecord.h"

#include <cmath>

#include <QDateTime>
#include <QLabel>
#include <QTimeZone>
#include <QVBoxLayout>

#include "platform/AppIcon.h"
#include "record/CalendarView.h"
#include "record/ForecastView.h"
#include "study/Schedule.h"

namespace korva {

namespace {

QLabel* Heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QString Percent(double share) { return QString::number(share * 100, 'f', 1) + QStringLiteral("%"); }

QString DirectionLine(const QString& name, const DirectionCounts& counts) {
    return QStringLiteral("%1: 新規 %2枚・学習中 %3枚・習得済み %4枚")
        .arg(name)
        .arg(counts.fresh)
        .arg(counts.learning)
        .arg(counts.learnt);
}

}  // namespace

frmRecord::frmRecord(std::shared_ptr<DeckSession> session, QWidget* parent)
    : QWidget(parent), Session_(std::move(session)) {
    setObjectName(QStringLiteral("frmRecord"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(platform::AppIcon());
    Calendar_ = new CalendarView(this);
    Calendar_->setAccessibleName(QStringLiteral("1年間の復習"));
    Forecast_ = new ForecastView(this);
    Forecast_->setAccessibleName(QStringLiteral("これから30日の復習"));
    Streak_ = new QLabel(this);
    Retention_ = new QLabel(this);
    Today_ = new QLabel(this);
    Directions_ = new QLabel(this);
    for (QLabel* label : {Streak_, Retention_, Today_, Directions_}) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    Streak_->setObjectName(QStringLiteral("streak"));
    Retention_->setObjectName(QStringLiteral("retention"));
    Today_->setObjectName(QStringLiteral("today"));
    Directions_->setObjectName(QStringLiteral("directions"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Heading(QStringLiteral("1年間の復習"), this));
    layout->addWidget(Calendar_);
    layout->addWidget(Streak_);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addWidget(Heading(QStringLiteral("これから30日の復習"), this));
    layout->addWidget(Forecast_);
    layout->addWidget(Today_);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addWidget(Heading(QStringLiteral("直近30日の正答率"), this));
    layout->addWidget(Retention_);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addWidget(Heading(QStringLiteral("カード"), this));
    layout->addWidget(Directions_);
    layout->addStretch();

    Session_->getDocument().AddListener(*this);
    Fresh();
}

frmRecord::~frmRecord() { Session_->getDocument().RemoveListener(*this); }

void frmRecord::Fresh() {
    const DeckDocument& document = Session_->getDocument();
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const StudyDays days(document.Now(), zone);
    const KorvaDeck& deck = document.getDeck();
    const ScheduleSummary schedule = SummarizeSchedule(deck, days);
    RecordSummary record = SummarizeRecord(deck, days);

    setWindowTitle(QStringLiteral("学習の記録 - ") + Session_->getDisplayName());
    Calendar_->setDays(QDateTime::fromMSecsSinceEpoch(days.TodayStart(), zone).date(), std::move(record.calendar));
    Streak_->setText(QStringLiteral("連続学習日数: %1日").arg(record.streak));
    Forecast_->setForecast(schedule.forecast);
    Today_->setText(
        QStringLiteral("今日: 復習 %1枚・新規 %2枚").arg(schedule.today.reviews).arg(schedule.today.NewToday()));
    const QString target = QStringLiteral("（目標 %1）").arg(Percent(deck.settings.desiredRetention));
    Retention_->setText(std::isnan(record.retention) ? QStringLiteral("復習はまだありません") + target
                                                     : Percent(record.retention) + target);
    Directions_->setText(DirectionLine(QStringLiteral("項目1を出題"), schedule.directions[0]) + QStringLiteral("\n") +
                         DirectionLine(QStringLiteral("項目2を出題"), schedule.directions[1]));
}

}  // namespace korva
