#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <deque>

#include <gtest/gtest.h>

#include "platform/FileFilter.h"
#include "platform/QtDialogs.h"
#include "platform/SaveFileDialog.h"

namespace {

// The real dialogs, answered in place of the user: each run records the
// folder the dialog starts in and chooses the next scripted path (an empty
// one cancels).
class AnsweredDialogs : public korva::platform::QtDialogs {
public:
    QStringList choices;
    QStringList startFolders;

protected:
    int ExecFileDialog(QFileDialog& dialog) override {
        startFolders << dialog.directory().absolutePath();
        const QString choice = choices.takeFirst();
        if (choice.isEmpty()) {
            return QDialog::Rejected;
        }
        dialog.selectFile(choice);
        return QDialog::Accepted;
    }
};

}  // namespace

TEST(QtDialogs, FileDialogsStartInTheFolderOfTheFileLastChosen) {
    QTemporaryDir decks, saved;
    ASSERT_TRUE(decks.isValid() && saved.isValid());
    const QString words = decks.filePath(QStringLiteral("words.csv"));
    QFile(words).open(QIODevice::WriteOnly);
    const korva::platform::FileDialogRequest open{QString(), QStringLiteral("CSV|*.csv"),
                                                  korva::platform::FileMustExist, QString()};
    const korva::platform::FileDialogRequest save{QStringLiteral("words"), QStringLiteral("KORVA|*.krv"), 0,
                                                  QStringLiteral(".krv")};

    AnsweredDialogs dialogs;
    dialogs.choices = {QString(), words, saved.filePath(QStringLiteral("studied.krv")), QString(), QString()};
    EXPECT_FALSE(dialogs.ShowOpen(open));  // a cancel chooses nothing
    const auto opened = dialogs.ShowOpen(open);
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->path, words);
    EXPECT_EQ(opened->title, QStringLiteral("words.csv"));
    EXPECT_TRUE(dialogs.ShowSave(save));
    EXPECT_FALSE(dialogs.ShowOpen(open));
    EXPECT_FALSE(dialogs.ShowSave(save));

    const QStringList expected = {QDir::currentPath(), QDir::currentPath(), decks.path(), saved.path(), saved.path()};
    EXPECT_EQ(dialogs.startFolders, expected);
}

TEST(QtDialogs, SaveDialogRefusesAFolderThatDoesNotExistWhenTheFolderMustExist) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList refusals;
    korva::platform::SaveFileDialog dialog(nullptr, true, [&](const QString& text) { refusals << text; });
    dialog.setDefaultSuffix(QStringLiteral("krv"));

    dialog.selectFile(dir.filePath(QStringLiteral("gone/words")));
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(refusals.size(), 1);
    EXPECT_TRUE(refusals[0].contains(QDir::toNativeSeparators(dir.filePath(QStringLiteral("gone")))))
        << refusals[0].toStdString();
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("gone"))).exists());

    dialog.selectFile(dir.filePath(QStringLiteral("words")));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.selectedFiles(), QStringList{dir.filePath(QStringLiteral("words.krv"))});
    EXPECT_EQ(refusals.size(), 1);
}

TEST(QtDialogs, SaveDialogWithoutTheFolderFlagLeavesTheFolderToTheSave) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    int refusals = 0;
    korva::platform::SaveFileDialog dialog(nullptr, false, [&](const QString&) { ++refusals; });
    dialog.selectFile(dir.filePath(QStringLiteral("gone/words.krv")));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(refusals, 0);
}

namespace {

using korva::platform::MessageResult;

// The real dialogs, typed into in place of the user: each run takes the
// names the user types in turn, pressing Save after each, until the dialog
// closes; then it is cancelled. Questions are answered from a script.
class TypedDialogs : public korva::platform::QtDialogs {
public:
    QStringList typed;
    std::deque<MessageResult> answers;
    QStringList questions;
    QStringList labels;     // the filter labels the dialog showed
    QStringList leftTyped;  // what the name field held each time Save left the dialog open
    QWidget* parent = nullptr;
    bool qtsOwn = false;

    MessageResult Message(const QString& text, korva::platform::MessageButtons, const QString&) override {
        questions << text;
        if (answers.empty()) {
            ADD_FAILURE() << "unscripted question: " << text.toStdString();
            return MessageResult::No;
        }
        const MessageResult answer = answers.front();
        answers.pop_front();
        return answer;
    }

protected:
    int ExecFileDialog(QFileDialog& dialog) override {
        parent = dialog.parentWidget();
        qtsOwn = dialog.testOption(QFileDialog::DontUseNativeDialog);
        labels.clear();
        if (const auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
            for (int i = 0; i < types->count(); ++i) {
                labels << types->itemText(i);
            }
        }
        for (const QString& name : typed) {
            dialog.selectFile(name);
            QMetaObject::invokeMethod(&dialog, "accept");  // Save or Open, as the user presses it
            if (dialog.result() == QDialog::Accepted) {
                return QDialog::Accepted;
            }
            if (const auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
                leftTyped << field->text();
            }
        }
        return QDialog::Rejected;
    }
};

}  // namespace

// Whether the name is typed with its ending or without, a save over an
// existing file asks once, about the file that would be written; No goes
// back to the dialog, where Cancel chooses nothing.
TEST(QtDialogs, SaveOverAnExistingFileAsksOnce) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile existing(dir.filePath(QStringLiteral("deck2.krv")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    const QString deck2 = dir.filePath(QStringLiteral("deck2.krv"));
    const QString deck3 = dir.filePath(QStringLiteral("deck3.krv"));
    const int asking = korva::platform::OverwritePrompt | korva::platform::PathMustExist;
    const struct {
        const char* what;
        QStringList typed;
        QString chosen;  // empty for nothing chosen
        std::deque<MessageResult> answers;
        int flags;
        int questions;
    } cases[] = {
        {"without its ending, Yes", {QStringLiteral("deck2")}, deck2, {MessageResult::Yes}, asking, 1},
        {"with its ending, Yes", {QStringLiteral("deck2.krv")}, deck2, {MessageResult::Yes}, asking, 1},
        {"No, then Cancel", {QStringLiteral("deck2")}, QString(), {MessageResult::No}, asking, 1},
        {"No, then a new name",
         {QStringLiteral("deck2"), QStringLiteral("deck3")},
         deck3,
         {MessageResult::No},
         asking,
         1},
        {"a new name", {QStringLiteral("deck3")}, deck3, {}, asking, 0},
        {"not asked for", {QStringLiteral("deck2")}, deck2, {}, korva::platform::PathMustExist, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TypedDialogs dialogs;
        for (const QString& name : c.typed) {
            dialogs.typed << dir.filePath(name);
        }
        dialogs.answers = c.answers;
        const auto chosen = dialogs.ShowSave(
            {QStringLiteral("deck"), QStringLiteral("KORVA用ファイル(*.krv)|*.krv"), c.flags, QStringLiteral(".krv")});
        EXPECT_EQ(chosen ? chosen->path : QString(), c.chosen);
        ASSERT_EQ(dialogs.questions.size(), c.questions);
        if (c.questions > 0) {
            EXPECT_EQ(dialogs.questions[0], QStringLiteral("deck2.krv は既に存在します。\r\n上書きしますか？"));
        }
    }
    EXPECT_EQ(QFileInfo(deck2).size(), 0);
    EXPECT_FALSE(QFileInfo::exists(deck3));
}

// A word list's name, in any case, is refused before the question about
// replacing it, and left in the dialog to change; the list is untouched.
TEST(QtDialogs, SaveRefusesAWordListsNameBeforeAskingToReplaceIt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile list(dir.filePath(QStringLiteral("kanji.csv")));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly) && list.write("犬,dog\n") > 0);
    list.close();
    const int asking = korva::platform::OverwritePrompt | korva::platform::PathMustExist;
    for (const QString& name :
         {QStringLiteral("kanji.csv"), QStringLiteral("KANJI.TXT"), QStringLiteral("kanji.Tsv")}) {
        SCOPED_TRACE(name.toStdString());
        TypedDialogs dialogs;
        dialogs.typed = {dir.filePath(name), dir.filePath(QStringLiteral("kanji"))};
        dialogs.answers = {MessageResult::Ok};
        const auto chosen = dialogs.ShowSave(
            {QStringLiteral("kanji"), QStringLiteral("KORVA用ファイル(*.krv)|*.krv"), asking, QStringLiteral(".krv")});
        EXPECT_EQ(chosen ? chosen->path : QString(), dir.filePath(QStringLiteral("kanji.krv")));
        EXPECT_EQ(dialogs.questions,
                  QStringList{name + QStringLiteral("\r\n単語リスト（.csv、.tsv、.txt）の名前では保存"
                                                    "できません。\r\nKORVAのデッキは .korva か .krv の名前で"
                                                    "保存してください。")});
        EXPECT_EQ(dialogs.leftTyped, QStringList{name});
    }
    EXPECT_EQ(QFileInfo(list.fileName()).size(), QByteArray("犬,dog\n").size());
}

// Both dialogs are Qt's own under every desktop, with every label whole;
// they stand over the main window, or over a modal window of the program
// while one is up.
TEST(QtDialogs, FileDialogsAreQtsOwnWithWholeLabelsOverTheProgramsWindow) {
    QWidget main, other;
    main.show();
    other.show();
    QApplication::setActiveWindow(&other);
    TypedDialogs dialogs;
    dialogs.setParentWidget(&main);
    EXPECT_FALSE(
        dialogs.ShowOpen({QString(),
                          QStringLiteral("KORVA対応ファイル(*.krv,*.csv)|*.krv;*.CSV|KORVA専用ファイル(*.krv)|*."
                                         "krv|CSVファイル(*.csv)|*.csv"),
                          korva::platform::FileMustExist, QString()}));
    EXPECT_TRUE(dialogs.qtsOwn);
    EXPECT_EQ(dialogs.parent, &main);
    EXPECT_EQ(dialogs.labels,
              QStringList({QStringLiteral("KORVA対応ファイル(*.krv,*.csv)"), QStringLiteral("KORVA専用ファイル(*.krv)"),
                           QStringLiteral("CSVファイル(*.csv)")}));

    QDialog modal(&main);
    modal.setModal(true);
    modal.show();
    EXPECT_FALSE(dialogs.ShowSave({QStringLiteral("deck"), QStringLiteral("KORVA用ファイル(*.krv)|*.krv"),
                                   korva::platform::OverwritePrompt, QStringLiteral(".krv")}));
    EXPECT_TRUE(dialogs.qtsOwn);
    EXPECT_EQ(dialogs.parent, &modal);
    EXPECT_EQ(dialogs.labels, QStringList{QStringLiteral("KORVA用ファイル(*.krv)")});
}

namespace {

// The cells of the size, type and date columns that do not show their text whole.
QStringList CutCells(const QTreeView& view) {
    QStringList cut;
    const int margin = 2 * (view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    for (int row = 0; row < view.model()->rowCount(view.rootIndex()); ++row) {
        for (int column = 1; column < view.header()->count(); ++column) {
            const QString text = view.model()->index(row, column, view.rootIndex()).data().toString();
            if (view.fontMetrics().horizontalAdvance(text) + margin > view.header()->sectionSize(column)) {
                cut << text;
            }
        }
    }
    return cut;
}

// Shows the real open dialog on a folder, records the cut cells once the
// model, which fills in from a thread of its own, has settled, then closes it.
struct ColumnDialogs : korva::platform::QtDialogs {
    QString folder;
    QStringList cut;
    bool plainAfterwards = false;

    int ExecFileDialog(QFileDialog& dialog) override {
        dialog.setDirectory(folder);
        dialog.show();
        const auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
        const auto settled = [&] {
            return view->model()->rowCount(view->rootIndex()) > 0 && CutCells(*view).isEmpty();
        };
        if (!QTest::qWaitFor(settled, 5000)) {
            cut = CutCells(*view) << QStringLiteral("(still after 5 s)");
        }
        dialog.reject();
        plainAfterwards = view->header()->sectionResizeMode(1) == QHeaderView::Interactive;
        return QDialog::Rejected;
    }
};

}  // namespace

// Qt sizes its dialog's size, type and date columns for English samples such
// as "mp3Folder"; a longer type name, as Japanese ones are, still shows whole.
TEST(QtDialogs, FileDialogColumnsShowTheirContentsWholeAndAreLeftPlain) {
    QTemporaryDir folder, settings;
    ASSERT_TRUE(folder.isValid() && settings.isValid());
    // The dialog restores the column widths the last Qt program's dialog left.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QFile file(folder.filePath(QStringLiteral("deck.anunusuallylongending")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(3 << 20));
    file.close();

    ColumnDialogs dialogs;
    dialogs.folder = folder.path();
    EXPECT_FALSE(dialogs.ShowOpen({QString(), QStringLiteral("All|*"), korva::platform::FileMustExist, QString()}));
    EXPECT_TRUE(dialogs.cut.isEmpty()) << dialogs.cut.join(QStringLiteral(", ")).toStdString();
    EXPECT_TRUE(dialogs.plainAfterwards);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

namespace {

// The files a view of the dialog lists as ones to choose, sorted.
QStringList Listed(const QAbstractItemView& view) {
    QStringList names;
    for (int row = 0; row < view.model()->rowCount(view.rootIndex()); ++row) {
        const QModelIndex index = view.model()->index(row, 0, view.rootIndex());
        if (index.flags() & Qt::ItemIsEnabled) {
            names << index.data().toString();
        }
    }
    names.sort();
    return names;
}

// The real open dialog on a folder: the labels it shows, the one selected
// as it opens, and what each lists once the model, which fills in from a
// thread of its own, has the files meant for it.
struct FilterDialogs : korva::platform::QtDialogs {
    QString folder;
    std::vector<QStringList> meant;  // for each filter in turn
    QStringList labels;
    QString selected;
    std::vector<QStringList> listed;

    int ExecFileDialog(QFileDialog& dialog) override {
        dialog.setDirectory(folder);
        dialog.show();
        const auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        const auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
        for (int i = 0; i < types->count(); ++i) {
            labels << types->itemText(i);
        }
        selected = types->currentText();
        const QStringList filters = dialog.nameFilters();
        for (qsizetype i = 0; i < filters.size(); ++i) {
            dialog.selectNameFilter(filters[i]);
            const QStringList want = i < std::ssize(meant) ? meant[i] : QStringList();
            // Past the wait, what is listed then says what went wrong.
            static_cast<void>(QTest::qWaitFor([&] { return Listed(*view) == want; }, 5000));
            listed.push_back(Listed(*view));
        }
        dialog.reject();
        return QDialog::Rejected;
    }
};

}  // namespace

// Every file the program opens is listed as the open dialog comes up; the
// program's own three entries follow as they always stood, then word lists
// and every file. Endings count in any case.
TEST(QtDialogs, TheOpenDialogListsEveryFileTheProgramOpensFromTheStart) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const char* name : {"deck.krv", "WORDS.CSV", "tabs.tsv", "anki.Txt", "notes.doc", "README", "any.korva"}) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const struct {
        QString label;
        QStringList listed;
    } entries[] = {
        {QStringLiteral("KORVAで開けるファイル(*.krv,*.korva,*.csv,*.tsv,*.txt)"),
         {QStringLiteral("WORDS.CSV"), QStringLiteral("anki.Txt"), QStringLiteral("any.korva"),
          QStringLiteral("deck.krv"), QStringLiteral("tabs.tsv")}},
        {QStringLiteral("KORVA対応ファイル(*.krv,*.csv)"), {QStringLiteral("WORDS.CSV"), QStringLiteral("deck.krv")}},
        {QStringLiteral("KORVA専用ファイル(*.krv)"), {QStringLiteral("deck.krv")}},
        {QStringLiteral("CSVファイル(*.csv)"), {QStringLiteral("WORDS.CSV")}},
        {QStringLiteral("単語リスト(*.csv,*.tsv,*.txt)"),
         {QStringLiteral("WORDS.CSV"), QStringLiteral("anki.Txt"), QStringLiteral("tabs.tsv")}},
        {QStringLiteral("すべてのファイル(*)"),
         {QStringLiteral("README"), QStringLiteral("WORDS.CSV"), QStringLiteral("anki.Txt"),
          QStringLiteral("any.korva"), QStringLiteral("deck.krv"), QStringLiteral("notes.doc"),
          QStringLiteral("tabs.tsv")}},
    };
    FilterDialogs dialogs;
    dialogs.folder = folder.path();
    QStringList labels;
    for (const auto& entry : entries) {
        labels << entry.label;
        dialogs.meant.push_back(entry.listed);
    }
    EXPECT_FALSE(
        dialogs.ShowOpen({QString(), korva::platform::OpenDialogFilter(), korva::platform::FileMustExist, QString()}));
    EXPECT_EQ(dialogs.labels, labels);
    EXPECT_EQ(dialogs.selected, labels.first());
    ASSERT_EQ(dialogs.listed.size(), std::size(entries));
    for (std::size_t i = 0; i < std::size(entries); ++i) {
        EXPECT_EQ(dialogs.listed[i], entries[i].listed) << entries[i].label.toStdString();
    }
}
