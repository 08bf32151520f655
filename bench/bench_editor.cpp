// The card editor on a full deck of 32,767 cards: opening it, shown and
// painted once (BM_EditorOpen: no row may cost anything until it is on
// screen), and one item typed in it with the redraw of the editor and of the
// study window that follows the deck (BM_EditorEditAndRedraw), and every card
// removed and brought back (BM_EditorRemoveAllAndUndo); the same and a move of
// the cards a search found as the user does them, through the editor's
// commands and selection (BM_EditorDeleteAllAndUndoAsTheUserDoes,
// BM_EditorMoveFoundCardsDownAndUndo).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>

#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "bench/BenchDecks.h"
#include "cardwindow/CardWindowHost.h"
#include "cardwindow/frmCard.h"
#include "document/DeckEdits.h"
#include "document/DeckSession.h"
#include "editor/CardTableModel.h"
#include "editor/CardTableView.h"
#include "editor/EditorHost.h"
#include "editor/frmEditor.h"
#include "platform/Dialogs.h"

namespace {

using namespace korva;

// Nothing in these runs asks the user anything.
class SilentDialogs : public platform::Dialogs {
public:
    platform::MessageResult Message(const QString& /*text*/, platform::MessageButtons /*buttons*/,
                                    const QString& /*title*/) override {
        return platform::MessageResult::Ok;
    }
    std::optional<platform::FileDialogResult> ShowOpen(const platform::FileDialogRequest& /*request*/) override {
        return std::nullopt;
    }
    std::optional<platform::FileDialogResult> ShowSave(const platform::FileDialogRequest& /*request*/) override {
        return std::nullopt;
    }
    std::optional<WordList> ShowWordListPreview(const platform::WordListPreviewRequest& /*request*/) override {
        return std::nullopt;
    }
    std::optional<ScheduleSettings> ShowScheduleSettings(const ScheduleSettings& /*current*/) override {
        return std::nullopt;
    }
    bool ReadFile(const QString& /*fileName*/, const platform::ReadWork& work) override {
        return platform::ReadAtOnce(work);
    }
    void OpenAddress(const QString& /*address*/, std::function<void()> /*failed*/) override {}
};

class NoHost : public CardWindowHost {
public:
    void OpenCardWindow() override {}
    void NewCardWindow() override {}
    void ExitProgram() override {}
    void ShowHelp() override {}
    void OpenSampleDeck() override {}
    void ShowVersion() override {}
    void OpenCardEditor(frmCard& /*card*/) override {}
    void OpenRecordWindow(frmCard& /*card*/) override {}
};

class NoEditorHost : public EditorHost {
public:
    void NewDeck() override {}
    void SaveDeck(const DeckSession& /*session*/) override {}
    void SaveDeckAs(const DeckSession& /*session*/) override {}
};

QApplication& Application() {
    static int argc = 1;
    static char name[] = "bench_editor";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit Qt's own statics go first, and a static
    // application ended after them crashed the run when it had finished.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

struct Deck {
    SilentDialogs dialogs;
    NoHost host;
    NoEditorHost editorHost;
    std::shared_ptr<DeckDocument> document = std::make_shared<DeckDocument>(bench::MakeDeck(MaxCards));
    std::shared_ptr<DeckSession> session = std::make_shared<DeckSession>(document);
    DeckEdits& edits = *session->getHistory();
    frmCard card{dialogs, host, document};

    Deck() {
        card.Start();
        card.resize(600, 400);
        card.show();
        QApplication::processEvents();
    }
};

void BM_EditorOpen(benchmark::State& state) {
    Application();
    Deck deck;
    for (auto _ : state) {
        auto editor = std::make_unique<frmEditor>(deck.dialogs, deck.session, deck.editorHost, int16_t{1});
        editor->resize(800, 600);
        editor->show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(editor->grdCards->model()->rowCount());
        state.PauseTiming();
        editor.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

// A deck's card window with its editor shown beside it.
struct DeckInEditor : Deck {
    frmEditor editor{dialogs, session, editorHost, int16_t{1}};

    DeckInEditor() {
        editor.resize(800, 600);
        editor.show();
        QApplication::processEvents();
    }
};

void BM_EditorEditAndRedraw(benchmark::State& state) {
    Application();
    DeckInEditor deck;
    frmEditor& editor = deck.editor;
    const QModelIndex cell = editor.grdCards->currentIndex();
    bool odd = false;
    for (auto _ : state) {
        odd = !odd;
        editor.grdCards->model()->setData(cell, odd ? QStringLiteral("いぬ") : QStringLiteral("ねこ"), Qt::EditRole);
        QApplication::processEvents();
    }
}

// Every card removed and put back, both windows following and drawn: the
// undo is the measure, the removal comes with it.
void BM_EditorRemoveAllAndUndo(benchmark::State& state) {
    Application();
    DeckInEditor deck;
    std::vector<int16_t> all(MaxCards);
    std::iota(all.begin(), all.end(), int16_t{1});
    for (auto _ : state) {
        deck.edits.Remove(all);
        QApplication::processEvents();
        benchmark::DoNotOptimize(deck.edits.Undo());
        QApplication::processEvents();
    }
}

// As the user does it, through the editor's commands, its selection and
// both windows' redraws, each step timed on its own as the user waits for
// it. Item 1 is the card's number, as in a numbered word list; with a search
// for 「5」 the table shows 11,089 cards.
struct NumberedDeckInEditor : DeckInEditor {
    explicit NumberedDeckInEditor(bool searched) {
        for (int card = 1; card <= MaxCards; ++card) {
            document->setItemText(1, static_cast<int16_t>(card), std::to_string(card));
        }
        if (searched) {
            editor.txtSearch->setText(QStringLiteral("5"));
        }
        QApplication::processEvents();
    }

    void Run(void (frmEditor::*command)()) {
        (editor.*command)();
        QApplication::processEvents();
    }
};

// Every card selected, Delete, then the Ctrl+Z that is measured.
void BM_EditorUndoDeleteOfEveryCard(benchmark::State& state) {
    Application();
    NumberedDeckInEditor deck(state.range(0) != 0);
    for (auto _ : state) {
        state.PauseTiming();
        deck.editor.grdCards->selectAll();
        deck.Run(&frmEditor::mnuEditDelete_Click);
        state.ResumeTiming();
        deck.Run(&frmEditor::mnuEditUndo_Click);
    }
}

void BM_EditorMoveFoundCardsDown(benchmark::State& state) {
    Application();
    NumberedDeckInEditor deck(true);
    state.counters["cards"] = deck.editor.grdCards->model()->rowCount();
    for (auto _ : state) {
        deck.editor.grdCards->selectAll();
        deck.Run(&frmEditor::mnuEditDown_Click);
        state.PauseTiming();
        deck.Run(&frmEditor::mnuEditUndo_Click);
        state.ResumeTiming();
    }
}

void BM_EditorUndoMoveOfFoundCards(benchmark::State& state) {
    Application();
    NumberedDeckInEditor deck(true);
    for (auto _ : state) {
        state.PauseTiming();
        deck.editor.grdCards->selectAll();
        deck.Run(&frmEditor::mnuEditDown_Click);
        state.ResumeTiming();
        deck.Run(&frmEditor::mnuEditUndo_Click);
    }
}

}  // namespace

BENCHMARK(BM_EditorUndoDeleteOfEveryCard)
    ->ArgName("searched")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_EditorMoveFoundCardsDown)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EditorUndoMoveOfFoundCards)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EditorOpen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorEditAndRedraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorRemoveAllAndUndo)->Unit(benchmark::kMillisecond);
