#include "cardwindow/frmCard.h"
#include "platform/Dialogs.h"

namespace korva {

// A list in the classic form opens at once; any other is shown as it will be
// read first, and the user may change how, or cancel.
DeckDocument::WordListChooser frmCard::WordListChooser() {
    return [this](const QString& name, const std::string& bytes, const WordListFormat& format) {
        return Dialogs_.ShowWordListPreview({name, bytes, format, WordListOptions{}});
    };
}

}  // namespace korva
