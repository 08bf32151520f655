#include <memory>
#include <optional>
#include <string>

#include "cardwindow/frmCard.h"
#include "deck/WordList.h"
#include "deck/WordListSource.h"
#include "platform/Dialogs.h"

namespace korva {

// The whole file is read, once, and cut into cards before the deck is
// touched. A classic file opens at once; any other is shown as it will be
// read first, and the user may change how: the cards shown are the cards
// opened. A read that may take seconds keeps the windows drawn and can be
// cancelled.
DeckDocument::WordListChooser frmCard::WordListChooser() {
    return [this](const QString& name, const DeckDocument::FileReader& read) {
        std::optional<WordList> list;
        std::shared_ptr<WordListSource> source;
        const bool done = Dialogs_.ReadFile(name, [&](const ReadProgress& progress) {
            source = std::make_shared<WordListSource>(read(), progress);
            if (source->getFormat().classic) {
                list = source->Read({}, progress);
            }
        });
        if (done && !source->getFormat().classic) {
            list = Dialogs_.ShowWordListPreview({name, source, {}});
        }
        return list;
    };
}

}  // namespace korva
