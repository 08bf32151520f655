// A read run on a worker thread while the window's events go on.
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include <QCheckBox>
#include <QComboBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include "deck/DeckError.h"
#include "deck/DeckErrorText.h"
#include "platform/BackgroundRead.h"
#include "platform/WordListPreview.h"

using namespace korva;
using namespace korva::platform;

namespace {

// Cancels the read's progress window as soon as the event loop runs.
void CancelOnceTheLoopRuns(QWidget& parent) {
    QTimer::singleShot(0, &parent, [&parent] {
        auto* window = parent.findChild<QProgressDialog*>();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->labelText(), QStringLiteral("big.csv を読み込んでいます…"));
        auto* cancel = window->findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr);
        EXPECT_EQ(cancel->text(), QStringLiteral("キャンセル"));
        cancel->click();
    });
}

}  // namespace

TEST(BackgroundRead, RunsTheWorkOnAWorkerAndEndsAsItEnds) {
    QWidget parent;
    const auto here = std::this_thread::get_id();
    const struct {
        const char* name;
        bool cancel;
        std::function<void(const ReadProgress&)> work;
        bool result;
        const char* thrown;  // what the read throws, "" for nothing
    } cases[] = {
        {"to its end", false, [](const ReadProgress& progress) { progress(0.5); }, true, ""},
        {"refused", false,
         [](const ReadProgress&) { throw DeckError(DeckErrorDetail{.kind = DeckErrorKind::UnclosedQuote, .line = 1}); },
         false, "1行目: 引用符 (\") で始まる項目が閉じていません"},
        // Reports until it is told to stop: only a cancel ends it.
        {"cancelled", true,
         [](const ReadProgress& progress) {
             for (;;) {
                 progress(0.5);
             }
         },
         false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.cancel) {
            CancelOnceTheLoopRuns(parent);
        }
        std::thread::id worker;
        bool result = false;
        std::string thrown;
        try {
            result =
                ReadInBackground(&parent, ReadingLabel(QStringLiteral("big.csv")), [&](const ReadProgress& progress) {
                    worker = std::this_thread::get_id();
                    c.work(progress);
                });
        } catch (const DeckError& e) {
            thrown = DescribeDeckError(e);
        }
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(thrown, c.thrown);
        EXPECT_NE(worker, here) << "the window's thread only waits";
    }
}

TEST(BackgroundRead, APreviewReadOnAWorkerShowsWhatItReadsAtOnceAndACancelKeepsTheChoiceShown) {
    const std::string bytes = "kanji,reading,meaning\n山,やま,mountain\n川,かわ,\"river, stream\"\n";
    const WordListPreviewRequest request{QStringLiteral("big.csv"), std::make_shared<WordListSource>(bytes), {}};
    QWidget parent;
    bool cancelNext = false;
    WordListPreview preview(request, &parent, [&](const ReadWork& work) {
        if (cancelNext) {
            CancelOnceTheLoopRuns(parent);
        }
        return ReadInBackground(&parent, ReadingLabel(QStringLiteral("big.csv")), work);
    });
    ASSERT_TRUE(preview.hasRead());
    preview.chkHeader->setChecked(true);
    preview.cboItem2->setCurrentIndex(2);
    ASSERT_EQ(preview.grdCards->rowCount(), 2);
    EXPECT_EQ(preview.grdCards->item(1, 1)->text(), QStringLiteral("river, stream"));

    cancelNext = true;
    preview.cboSeparator->setCurrentIndex(preview.cboSeparator->findData(static_cast<int>(';')));
    EXPECT_EQ(preview.cboSeparator->currentData().toInt(), static_cast<int>(','));
    EXPECT_EQ(preview.cboItem2->currentData().toInt(), 3);
    EXPECT_EQ(preview.getOptions().separator, ',');
    EXPECT_EQ(preview.grdCards->item(1, 1)->text(), QStringLiteral("river, stream"));
    const std::optional<WordList> list = preview.takeList();
    ASSERT_TRUE(list.has_value()) << "OK opens the cards shown";
    EXPECT_EQ(*list, request.source->Read(preview.getOptions()));

    // A first read cancelled leaves nothing to show: the open is cancelled.
    const WordListPreview cancelled(request, &parent, [&](const ReadWork& work) {
        CancelOnceTheLoopRuns(parent);
        return ReadInBackground(&parent, ReadingLabel(QStringLiteral("big.csv")), work);
    });
    EXPECT_FALSE(cancelled.hasRead());
}
