#include "platform/WordListChoice.h"

#include <algorithm>

#include "deck/DeckError.h"

namespace korva::platform {

namespace {

// A column is named by its number and the first record's text there; a long
// text is cut so that the drop-down stays beside its label.
constexpr int ColumnNameLength = 24;

// A directive's name for the column, else the first record's text there.
QString ColumnName(const WordList& shape, int column) {
    const auto index = static_cast<size_t>(column - 1);
    const bool named = index < shape.columnNames.size() && !shape.columnNames[index].empty();
    const std::string none;
    const std::string& name = named                              ? shape.columnNames[index]
                              : index < shape.firstRecord.size() ? shape.firstRecord[index]
                                                                 : none;
    QString text = QString::fromStdString(name).simplified();
    if (text.isEmpty()) {
        return QStringLiteral("%1列目").arg(column);  // as pandas heads its index column
    }
    if (text.size() > ColumnNameLength) {
        text = text.left(ColumnNameLength) + QStringLiteral("…");
    }
    return QStringLiteral("%1列目: %2").arg(column).arg(text);
}

void Attempt(WordListSource& source, const ReadProgress& progress, WordListChoice& choice) {
    try {
        choice.list = source.Read(choice.options, progress);
    } catch (const DeckError& error) {
        choice.list.reset();
        choice.error = error.detail();
    }
}

// Offers the shape's columns, and puts a chosen column it lacks back.
void LearnColumns(const WordList& shape, WordListChoice& choice) {
    const int fields = std::min(std::max(shape.fields, static_cast<int>(shape.firstRecord.size())),
                                static_cast<int>(WordList::NamedColumns));
    if (fields > 0 && choice.options.itemColumn1 > fields) {
        choice.options.itemColumn1 = 1;
    }
    if (fields > 0 && choice.options.itemColumn2 > fields) {
        choice.options.itemColumn2 = 2;
    }
    // Column 2 is there even in a list of single words, whose answers are
    // then empty.
    const int offered = fields > 0 ? std::max(fields, 2) : 0;
    choice.columnsLearnt = true;
    for (int column = 1; column <= offered; ++column) {
        choice.columns.push_back(ColumnName(shape, column));
    }
}

}  // namespace

WordListChoice ReadWordListChoice(WordListSource& source, const WordListOptions& options, bool fieldsChanged,
                                  const ReadProgress& progress) {
    WordListChoice choice;
    choice.options = options;
    Attempt(source, progress, choice);
    if (!fieldsChanged) {
        return choice;
    }
    const int column1 = choice.options.itemColumn1;
    const int column2 = choice.options.itemColumn2;
    if (choice.list) {
        LearnColumns(*choice.list, choice);
    } else {
        // The first field always exists; reading with it alone tells the
        // fields the file has. While that fails there is nothing to choose
        // from, and the choices wait.
        WordListOptions firstOnly = options;
        firstOnly.itemColumn1 = 1;
        firstOnly.itemColumn2 = 1;
        WordList shape;
        try {
            shape = source.Read(firstOnly, progress);
        } catch (const DeckError&) {
            // the read with the choice says why
        }
        LearnColumns(shape, choice);
    }
    if (choice.options.itemColumn1 != column1 || choice.options.itemColumn2 != column2) {
        Attempt(source, progress, choice);
    }
    return choice;
}

}  // namespace korva::platform
