#include <memory>
#include <optional>
#include <string>

#include "cardwindow/frmCard.h"
#include "deck/DeckError.h"
#include "deck/FileBytes.h"
#include "deck/PathText.h"
#include "deck/WordList.h"
#include "deck/WordListSource.h"
#include "platform/Dialogs.h"

namespace korva {

// The whole file is read and cut into cards before the deck is touched, so a
// file that cannot be read, a cancelled read or preview or a refused list
// leaves the deck as it was. A classic file opens at once; any other is
// shown as it will be read first, and the user may change how: the cards
// shown are the cards opened. False when the user cancels; a DeckError
// says why the list cannot be read.
bool frmCard::ReadWordListFile(bool DataKeep) {
    std::optional<WordList> list;
    ReadWithinMemory([&] {
        const std::string path = TextToPath(getFilePath());
        std::shared_ptr<WordListSource> source;
        const bool read = Dialogs_.ReadFile(getFileName(), [&](const ReadProgress& progress) {
            source = std::make_shared<WordListSource>(ReadFileBytes(path), progress);
            if (source->getFormat().classic) {
                list = source->Read({}, progress);
            }
        });
        if (read && !source->getFormat().classic) {
            list = Dialogs_.ShowWordListPreview({getFileName(), source, {}});
        }
        if (read && list) {
            ImportWordList(std::move(*list), getCardData(), DataKeep);
        }
    });
    return list.has_value();
}

}  // namespace korva
