#include "editor/CardFilter.h"

#include "editor/CardTableModel.h"

namespace korva {

QString SearchKey(const QString& text) { return text.normalized(QString::NormalizationForm_KC).toCaseFolded(); }

void CardFilter::setSearchText(const QString& text) {
    if (text == Text_) {
        return;
    }
    Text_ = text;
    Key_ = SearchKey(text);
    invalidateRowsFilter();
}

bool CardFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (Key_.isEmpty()) {
        return true;
    }
    const QAbstractItemModel* model = sourceModel();
    for (const int column : {CardTableModel::ColumnItem1, CardTableModel::ColumnItem2}) {
        const QString text = model->index(sourceRow, column, sourceParent).data(Qt::DisplayRole).toString();
        if (SearchKey(text).contains(Key_)) {
            return true;
        }
    }
    return false;
}

}  // namespace korva
