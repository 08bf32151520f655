#include "study/DueView.h"

#include <QDateTime>

namespace korva {

DuePasses ReadDuePasses(const KorvaDeck& deck, const StudyDays& days) {
    DuePasses due;
    due.passes.assign(deck.cardIds.size(), 0);
    const DueCards cards = DueToday(deck, days);
    for (const std::vector<int>* list : {&cards.reviews, &cards.fresh}) {
        for (const int card : *list) {
            due.passes[static_cast<std::size_t>(card)] = 1;
            due.lastPassing = std::max(due.lastPassing, card);
        }
    }
    return due;
}

std::string NothingDueMessage(const KorvaDeck& deck, const StudyDays& days, const QTimeZone& zone) {
    std::string text = "今日学習するカードはもうありません。";
    if (const auto next = NextStudyTime(deck, days)) {
        const QString when = QDateTime::fromMSecsSinceEpoch(*next, zone).toString(QStringLiteral("yyyy/MM/dd HH:mm"));
        text += "\r\n次のカードは" + when.toStdString() + "から学習できます。";
    } else {
        text += "\r\n新しいカードは[機能]-[学習の設定]で1日の枚数を決めると学習できます。";
    }
    return text;
}

}  // namespace korva
