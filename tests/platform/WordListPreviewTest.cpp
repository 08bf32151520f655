// The word-list preview driven through its own controls, offscreen.
#include <functional>
#include <ostream>
#include <string>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "deck/CardData.h"
#include "deck/Cp932Text.h"
#include "platform/Contrast.h"
#include "platform/Fonts.h"
#include "platform/WordListPreview.h"
#include "tests/support/TextFit.h"

// Readable failure output for Qt texts.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

using namespace korva;
using korva::platform::WordListPreview;

namespace {

// A list with a header, a quoted comma and a line break inside quotes.
const std::string Verbs =
    "expression,reading,meaning\n"
    "食べる,たべる,\"to eat, to consume\"\n"
    "飲む,のむ,\"to drink\nto swallow\"\n";

platform::WordListPreviewRequest RequestFor(const std::string& bytes) {
    return {QStringLiteral("verbs.csv"), bytes, DetectWordListFormat(bytes), WordListOptions{}};
}

QString Cell(const WordListPreview& preview, int row, int column) {
    const QTableWidgetItem* item = preview.grdCards->item(row, column);
    return item ? item->text() : QStringLiteral("(none)");
}

void Choose(QComboBox& combo, int data) { combo.setCurrentIndex(combo.findData(data)); }

}  // namespace

TEST(WordListPreview, StartsFromWhatWasDetectedAndReadsAgainOnEveryChange) {
    const std::string bytes = Verbs;
    WordListPreview preview(RequestFor(bytes));
    EXPECT_EQ(preview.cboEncoding->currentData().toInt(), static_cast<int>(TextEncoding::Utf8));
    EXPECT_EQ(preview.cboSeparator->currentData().toInt(), static_cast<int>(','));
    EXPECT_EQ(preview.cboQuoting->currentData().toInt(), static_cast<int>(Quoting::Rfc));
    EXPECT_EQ(preview.lblLineEnd->text(), QStringLiteral("LF"));
    EXPECT_EQ(preview.lblBom->text(), QStringLiteral("なし"));
    ASSERT_EQ(preview.cboItem2->count(), 3);
    EXPECT_EQ(preview.cboItem2->itemText(2), QStringLiteral("3列目: meaning"));
    EXPECT_EQ(preview.grdCards->horizontalHeaderItem(0)->text(), QStringLiteral("問題"));
    EXPECT_EQ(preview.grdCards->horizontalHeaderItem(1)->text(), QStringLiteral("答え"));

    const struct {
        const char* change;
        std::function<void()> apply;
        int rows;
        int columns;           // entries of each column drop-down
        const char* question;  // of the first card on show
        const char* answer;
    } steps[] = {
        {"as detected", [] {}, 3, 3, "expression", "reading"},
        {"header", [&] { preview.chkHeader->setChecked(true); }, 2, 3, "食べる", "たべる"},
        {"answer column 3", [&] { Choose(*preview.cboItem2, 3); }, 2, 3, "食べる", "to eat, to consume"},
        {"question column 2", [&] { Choose(*preview.cboItem1, 2); }, 2, 3, "たべる", "to eat, to consume"},
        {"no quoting", [&] { Choose(*preview.cboQuoting, static_cast<int>(Quoting::None)); }, 3, 4, "たべる",
         "\"to eat"},
        // Columns the file no longer has go back to 1 and 2, which is empty.
        {"semicolon: one field", [&] { Choose(*preview.cboSeparator, ';'); }, 3, 2,
         "食べる,たべる,\"to eat, to consume\"", ""},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.change);
        step.apply();
        EXPECT_EQ(preview.grdCards->rowCount(), step.rows);
        EXPECT_EQ(Cell(preview, 0, 0), QString::fromUtf8(step.question));
        EXPECT_EQ(Cell(preview, 0, 1), QString::fromUtf8(step.answer));
        EXPECT_EQ(preview.cboItem1->count(), step.columns);
        EXPECT_EQ(preview.lblCount->text(), QStringLiteral("カード: %1枚").arg(step.rows));
        EXPECT_TRUE(preview.cmdOk->isEnabled());
    }
    const WordListOptions chosen = preview.getOptions();
    EXPECT_EQ(chosen.separator, ';');
    EXPECT_EQ(chosen.quoting, Quoting::None);
    EXPECT_EQ(chosen.encoding, TextEncoding::Utf8);
    EXPECT_TRUE(chosen.header);
    EXPECT_EQ(chosen.itemColumn1, 1);
    EXPECT_EQ(chosen.itemColumn2, 2);
    EXPECT_TRUE(chosen.replace);

    // pandas heads its index column with nothing: the column has its number alone.
    const std::string indexed = ",word,meaning\n0,book,hon\n";
    const WordListPreview pandas(RequestFor(indexed));
    EXPECT_EQ(pandas.cboItem1->itemText(0), QStringLiteral("1列目"));
    EXPECT_EQ(pandas.cboItem1->itemText(1), QStringLiteral("2列目: word"));
    EXPECT_TRUE(pandas.lblDirectives->isHidden());

    // Anki's export: its directives shown, not cards; its columns named by
    // them; HTML shown as the card will hold it.
    const WordListPreview anki(
        RequestFor("#separator:tab\n#html:true\n#tags column:3\n犬<br>いぬ\t<div>dog</div> &amp; cat\tpets\n"));
    EXPECT_EQ(anki.cboSeparator->currentData().toInt(), static_cast<int>('\t'));
    EXPECT_EQ(anki.cboItem2->itemText(2), QStringLiteral("3列目: タグ"));
    EXPECT_EQ(anki.grdCards->rowCount(), 1);
    EXPECT_EQ(Cell(anki, 0, 0), QStringLiteral("犬\nいぬ"));
    EXPECT_EQ(Cell(anki, 0, 1), QStringLiteral("dog\n& cat"));
    EXPECT_FALSE(anki.lblDirectives->isHidden());
    EXPECT_EQ(anki.lblDirectives->text(),
              QStringLiteral("Ankiの指定行（カードにしません）: #separator:tab　#html:true　#tags column:3"));

    // A line of 300 fields offers the first 256.
    const WordListPreview wide(RequestFor(std::string(299, ',') + "\n"));
    EXPECT_EQ(wide.cboItem1->count(), static_cast<int>(WordList::NamedColumns));
}

TEST(WordListPreview, ShowsTheFirstCardsTheCountAndEveryReplacedCharacter) {
    std::string bytes = "café,coffee\nnaïve,x\n絵文字,😀\n";
    for (int i = 4; i <= 30; ++i) {
        bytes += "word" + std::to_string(i) + ",meaning\n";
    }
    WordListPreview preview(RequestFor(bytes));
    EXPECT_EQ(preview.grdCards->rowCount(), WordListPreview::ShownCards);
    EXPECT_EQ(preview.lblCount->text(), QStringLiteral("カード: 30枚（最初の20枚を表示）"));
    EXPECT_EQ(Cell(preview, 0, 0), QStringLiteral("cafe"));
    EXPECT_EQ(Cell(preview, 1, 0), QStringLiteral("naive"));
    EXPECT_EQ(Cell(preview, 2, 1), QStringLiteral("〓"));
    EXPECT_EQ(Cell(preview, 19, 0), QStringLiteral("word20"));
    const QString replaced = preview.lblReplaced->text();
    EXPECT_TRUE(replaced.startsWith(QStringLiteral("置き換えた文字: 3字"))) << replaced.toStdString();
    for (const char* part : {"1行目「é」", "2行目「ï」", "3行目「😀」"}) {
        EXPECT_TRUE(replaced.contains(QString::fromUtf8(part))) << part;
    }
    EXPECT_EQ(preview.lblEquivalents->text(), QStringLiteral("読み替えた文字: なし"));

    // Equivalents are no replacements, and invisible characters are left out.
    const std::string radicalList = "\u2F00\u200B,one\n\u2F06,two\u200D\n";  // the preview keeps a view of it
    const WordListPreview radicals(RequestFor(radicalList));
    EXPECT_EQ(Cell(radicals, 0, 0), QStringLiteral("一"));
    EXPECT_EQ(Cell(radicals, 1, 1), QStringLiteral("two"));
    EXPECT_EQ(radicals.lblReplaced->text(), QStringLiteral("置き換えた文字: なし"));
    EXPECT_EQ(radicals.lblEquivalents->text(),
              QStringLiteral("読み替えた文字: 2字（1行目「⼀」、2行目「⼆」）。シフトJISにある同じ文字になります。\n"
                             "除いた見えない文字（ゼロ幅スペースなど）: 2字"));

    // Past the hundred characters the list keeps, the total still counts them all.
    std::string accents;
    for (int line = 0; line < 150; ++line) {
        accents += "é,ü\n";
    }
    const WordListPreview many(RequestFor(accents));
    EXPECT_EQ(many.lblReplaced->text(),
              QStringLiteral(
                  "置き換えた文字: 300字（1行目「é」、1行目「ü」、2行目「é」、2行目「ü」、3行目「é」、ほか295字）。"
                  "〓 か、アクセントのない文字になります。"));
}

TEST(WordListPreview, AListThatCannotBeReadSaysWhyAndOkWaitsForAChoiceThatReads) {
    const std::string bytes = "a,\"b\nc,d\n";
    WordListPreview preview(RequestFor(bytes));
    preview.show();
    EXPECT_TRUE(preview.lblError->isVisible());
    EXPECT_TRUE(preview.lblError->text().contains(QStringLiteral("1行目"))) << preview.lblError->text().toStdString();
    EXPECT_FALSE(preview.cmdOk->isEnabled());
    EXPECT_EQ(preview.grdCards->rowCount(), 0);
    EXPECT_FALSE(preview.cboItem1->isEnabled()) << "no columns to choose from";
    QTest::keyClick(preview.cboSeparator, Qt::Key_Return);
    EXPECT_TRUE(preview.isVisible()) << "Enter does not take a list that cannot be read";

    Choose(*preview.cboQuoting, static_cast<int>(Quoting::None));
    EXPECT_FALSE(preview.lblError->isVisible());
    EXPECT_TRUE(preview.cmdOk->isEnabled());
    EXPECT_EQ(preview.cboItem1->count(), 2);
    EXPECT_EQ(preview.grdCards->rowCount(), 2);
    EXPECT_EQ(Cell(preview, 0, 1), QStringLiteral("\"b"));

    // A byte-order mark before code page 932 text: read as chosen, the mark
    // is no part of the first card.
    const std::string markedList = "\xEF\xBB\xBF" + *Utf8ToCp932("単語,たんご\r\n");
    WordListPreview marked(RequestFor(markedList));
    EXPECT_EQ(marked.cboEncoding->currentData().toInt(), static_cast<int>(TextEncoding::Utf8)) << "as its mark says";
    EXPECT_FALSE(marked.cmdOk->isEnabled());
    Choose(*marked.cboEncoding, static_cast<int>(TextEncoding::Cp932));
    EXPECT_TRUE(marked.cmdOk->isEnabled());
    EXPECT_EQ(Cell(marked, 0, 0), QStringLiteral("単語"));
    // UTF-16 that does not decode has no line end to tell.
    const std::string brokenUtf16(
        "\xFF\xFE"
        "a\0\n\0b",
        7);
    const WordListPreview utf16(RequestFor(brokenUtf16));
    EXPECT_EQ(utf16.lblLineEnd->text(), QStringLiteral("不明（この文字コードでは読めないファイル）"));

    // One line too many for a deck until its header is skipped: then the
    // columns can be chosen.
    std::string tooLong = "word,meaning,note\n";
    for (int i = 0; i < MaxCards; ++i) {
        tooLong += "w,m,n\n";
    }
    WordListPreview longList(RequestFor(tooLong));
    EXPECT_FALSE(longList.cmdOk->isEnabled());
    EXPECT_FALSE(longList.cboItem2->isEnabled());
    longList.chkHeader->setChecked(true);
    EXPECT_TRUE(longList.cmdOk->isEnabled());
    EXPECT_TRUE(longList.cboItem2->isEnabled());
    EXPECT_EQ(longList.cboItem2->count(), 3);
    EXPECT_EQ(longList.cboItem2->itemText(2), QStringLiteral("3列目: note"));
}

TEST(WordListPreview, EnterIsOkAndEscapeIsCancelFromEveryControl) {
    const std::string bytes = Verbs;
    const std::function<QWidget*(WordListPreview&)> controls[] = {[](WordListPreview& p) { return p.cboEncoding; },
                                                                  [](WordListPreview& p) { return p.chkHeader; },
                                                                  [](WordListPreview& p) { return p.cboItem2; },
                                                                  [](WordListPreview& p) {
                                                                      return p.grdCards;
                                                                  }};
    for (const auto& [key, result] : {std::pair{Qt::Key_Return, QDialog::Accepted},
                                      {Qt::Key_Enter, QDialog::Accepted},
                                      {Qt::Key_Escape, QDialog::Rejected}}) {
        for (const auto& control : controls) {
            WordListPreview preview(RequestFor(bytes));
            preview.show();
            QWidget* focused = control(preview);
            focused->setFocus();
            QTest::keyClick(focused, key);
            EXPECT_FALSE(preview.isVisible()) << key << " on " << focused->accessibleName().toStdString();
            EXPECT_EQ(preview.result(), result) << key << " on " << focused->accessibleName().toStdString();
        }
    }
}

TEST(WordListPreview, EveryControlIsNamedForAssistiveTechnology) {
    const std::string bytes = Verbs;
    WordListPreview preview(RequestFor(bytes));
    preview.show();
    for (QWidget* control : preview.findChildren<QWidget*>()) {
        const bool named = qobject_cast<QComboBox*>(control) || qobject_cast<QAbstractButton*>(control) ||
                           qobject_cast<QTableWidget*>(control) || qobject_cast<QLabel*>(control);
        // The table's own parts (its corner button) are the table's to name.
        const bool insideTable = preview.grdCards->isAncestorOf(control);
        if (!named || insideTable || !control->isVisible()) {
            continue;
        }
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << control->metaObject()->className();
    }
}

// Each drop-down is wide enough for its longest entry.
QStringList CombosTooNarrow(const QWidget& window) {
    QStringList found;
    for (const QComboBox* combo : window.findChildren<QComboBox*>()) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const QRect field =
            combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
        for (int i = 0; i < combo->count(); ++i) {
            if (combo->fontMetrics().horizontalAdvance(combo->itemText(i)) > field.width()) {
                found << combo->itemText(i);
            }
        }
    }
    return found;
}

TEST(WordListPreview, EveryTextFitsUnderEveryDesktopFontAndStaysReadableOnADarkDesktop) {
    platform::InstallFontSubstitutions();
    const std::string bytes = "café,\"喫茶店, コーヒー\"\n" + Verbs;
    QPalette dark;  // qt6ct's "darker" scheme
    dark.setColor(QPalette::Window, QColor(0x22, 0x20, 0x20));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(0x18, 0x18, 0x18));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Button, QColor(0x33, 0x33, 0x33));
    dark.setColor(QPalette::ButtonText, Qt::white);
    const QPalette saved = QApplication::palette();
    for (const bool darkDesktop : {false, true}) {
        QApplication::setPalette(darkDesktop ? dark : saved);
        for (const int points : test::DesktopPointSizes) {
            SCOPED_TRACE(testing::Message() << points << " pt" << (darkDesktop ? ", dark" : ""));
            const test::DesktopFont desktop(points);
            WordListPreview preview(RequestFor(bytes));
            preview.show();
            EXPECT_EQ(preview.font(), platform::WindowFont());
            EXPECT_EQ(test::TextsOutsideTheirBoxes(preview), QStringList());
            EXPECT_EQ(CombosTooNarrow(preview), QStringList());
            QFont titleFont = QApplication::font();
            titleFont.setBold(true);
            const QFontMetrics title(titleFont);
            EXPECT_GE(preview.width(), title.horizontalAdvance(preview.windowTitle()) + 5 * (title.height() + 8));
            for (const QLabel* label : preview.findChildren<QLabel*>()) {
                const QPalette colours = label->palette();
                EXPECT_GE(platform::ContrastRatio(colours.color(label->foregroundRole()),
                                                  colours.color(label->backgroundRole())),
                          platform::ReadableContrast)
                    << label->text().toStdString();
            }
            const QPalette table = preview.grdCards->palette();
            EXPECT_GE(platform::ContrastRatio(table.color(QPalette::Text), table.color(QPalette::Base)),
                      platform::ReadableContrast);
        }
    }
    QApplication::setPalette(saved);
}
