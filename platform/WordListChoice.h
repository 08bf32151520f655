#pragma once

#include <optional>
#include <vector>

#include <QString>

#include "deck/DeckError.h"
#include "deck/WordListSource.h"

namespace korva::platform {

// What the preview reads for one choice of the user's: the list or why it
// cannot be read, and, when the fields may have changed, the columns to
// offer. Plain data, made on a worker thread and shown on the window's.
struct WordListChoice {
    WordListOptions options;  // as chosen, a column the file no longer has put back to 1 or 2
    std::optional<WordList> list;
    DeckErrorDetail error;         // why the list cannot be read, when it cannot
    bool columnsLearnt = false;    // columns below is what to offer now
    std::vector<QString> columns;  // column n's name at n - 1; none while the file cannot be read
};

// Reads the source with options. With fieldsChanged, learns the fields too:
// at most the first NamedColumns are offered (a line of a million fields
// would fill the drop-downs for minutes), and a chosen column past them
// goes back to 1 or 2. The list read with the choice tells the fields when
// it reads; else a read of column 1 alone does.
WordListChoice ReadWordListChoice(WordListSource& source, const WordListOptions& options, bool fieldsChanged,
                                  const ReadProgress& progress);

}  // namespace korva::platform
