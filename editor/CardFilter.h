#pragma once

#include <QSortFilterProxyModel>
#include <QString>

namespace korva {

// A text as the search compares it: compatibility forms folded (full-width
// letters and half-width kana match their usual forms) and case folded.
QString SearchKey(const QString& text);

// The cards whose item 1 or item 2 holds the search text, compared as
// SearchKey makes them; every card while the text is empty.
class CardFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setSearchText(const QString& text);
    const QString& getSearchText() const { return Text_; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QString Text_;
    QString Key_;
};

}  // namespace korva
