#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

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
