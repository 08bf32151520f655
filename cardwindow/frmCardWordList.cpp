#include <optional>
#include <string>

#include "cardwindow/frmCard.h"
#include "deck/DeckError.h"
#include "deck/FileBytes.h"
#include "deck/PathText.h"
#include "deck/WordList.h"
#include "platform/Dialogs.h"

namespace korva {

// The whole file is read and cut into cards before the deck is touched, so a
// file that cannot be read, a cancelled preview or a refused list leaves the
// deck as it was. A classic file opens at once; any other is shown as it
// will be read first, and the user may change how. False when the user
// cancels the preview; a DeckError says why the list cannot be read.
bool frmCard::ReadWordListFile(bool DataKeep) {
    bool chosen = true;
    ReadWithinMemory([&] {
        const std::string bytes = ReadFileBytes(TextToPath(getFilePath()));
        const WordListFormat format = DetectWordListFormat(bytes);
        WordListOptions options;
        if (!format.classic) {
            const std::optional<WordListOptions> answer =
                Dialogs_.ShowWordListPreview({getFileName(), bytes, format, options});
            chosen = answer.has_value();
            options = answer.value_or(options);
        }
        if (chosen) {
            ImportWordList(ReadWordList(bytes, options), getCardData(), DataKeep);
        }
    });
    return chosen;
}

}  // namespace korva
