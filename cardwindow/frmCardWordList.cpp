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
//
// A list added to a deck takes the deck's way of holding texts. One opened
// as a new deck keeps every character, as a deck in any language, unless it
// is the classic code page 932 file, whose deck stays byte for byte what it
// always was.
DeckDocument::WordListChooser frmCard::WordListChooser(std::optional<ItemEncoding> into) {
    return [this, into](const QString& name, const DeckDocument::FileReader& read) {
        std::optional<WordList> list;
        std::shared_ptr<WordListSource> source;
        WordListOptions options;
        const bool done = Dialogs_.ReadFile(name, [&](const ReadProgress& progress) {
            source = std::make_shared<WordListSource>(read(), progress);
            const bool classic = source->getFormat().classic;
            options.items = into.value_or(classic ? ItemEncoding::Cp932 : ItemEncoding::Utf8);
            if (classic) {
                list = source->Read(options, progress);
            }
        });
        if (done && !source->getFormat().classic) {
            list = Dialogs_.ShowWordListPreview({name, source, options});
        }
        return list;
    };
}

}  // namespace korva
