#include "platform/WordListPreview.h"

#include <algorithm>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "deck/Cp932Text.h"
#include "deck/DeckError.h"
#include "deck/DeckErrorText.h"
#include "deck/DeckText.h"
#include "platform/DialogWindow.h"
#include "platform/Fonts.h"
#include "platform/Twips.h"
#include "platform/WordListChoice.h"

namespace korva::platform {

namespace {

// The replaced characters listed by line; the count names the rest.
constexpr int ListedReplacements = 5;

QString LineEndName(LineEnd lineEnd) {
    switch (lineEnd) {
        case LineEnd::CrLf: return QStringLiteral("CR LF");
        case LineEnd::Lf: return QStringLiteral("LF");
        case LineEnd::Cr: return QStringLiteral("CR");
        case LineEnd::Mixed: return QStringLiteral("混在（CR LF、LF、CR）");
        case LineEnd::Unknown: return QStringLiteral("不明（この文字コードでは読めないファイル）");
        case LineEnd::None: break;
    }
    return QStringLiteral("なし（1行だけのファイル）");
}

// The first characters by line, and how many more there are.
QString ListedCharacters(const Replacements& characters) {
    QStringList listed;
    const size_t shown = std::min(characters.first.size(), static_cast<size_t>(ListedReplacements));
    for (size_t i = 0; i < shown; ++i) {
        const ReplacedCharacter& one = characters.first[i];
        listed << QStringLiteral("%1行目「%2」").arg(one.line).arg(QString::fromStdString(one.character));
    }
    if (characters.count > shown) {
        listed << QStringLiteral("ほか%1字").arg(characters.count - shown);
    }
    return listed.join(QStringLiteral("、"));
}

QString ReplacedText(const Replacements& replaced) {
    if (replaced.count == 0) {
        return QStringLiteral("置き換えた文字: なし");
    }
    return QStringLiteral("置き換えた文字: %1字（%2）。〓 か、アクセントのない文字になります。")
        .arg(replaced.count)
        .arg(ListedCharacters(replaced));
}

// Characters read as their code page 932 equivalent, and invisible ones
// left out: neither is a loss, but both change the file's text.
QString EquivalentsText(const WordList& list) {
    QString text = list.equivalents.count == 0
                       ? QStringLiteral("読み替えた文字: なし")
                       : QStringLiteral("読み替えた文字: %1字（%2）。シフトJISにある同じ文字になります。")
                             .arg(list.equivalents.count)
                             .arg(ListedCharacters(list.equivalents));
    if (list.dropped > 0) {
        text += QStringLiteral("\n除いた見えない文字（ゼロ幅スペースなど）: %1字").arg(list.dropped);
    }
    return text;
}

// The leading lines that said how to read the file, as written.
QString DirectivesText(const std::vector<WordListDirective>& directives) {
    QStringList lines;
    for (const WordListDirective& directive : directives) {
        lines << QString::fromStdString("#" + directive.key + ":" + directive.value);
    }
    return QStringLiteral("Ankiの指定行（カードにしません）: ") + lines.join(QStringLiteral("　"));
}

QComboBox* AddCombo(const QString& accessibleName) {
    auto* combo = new QComboBox;
    combo->setAccessibleName(accessibleName);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return combo;
}

// Selects the entry whose data is value.
void SelectData(QComboBox& combo, int value) {
    const QSignalBlocker quiet(combo);
    combo.setCurrentIndex(std::max(0, combo.findData(value)));
}

QLabel* AddValueLabel(const QString& accessibleName) {
    auto* label = new QLabel;
    label->setAccessibleName(accessibleName);
    return label;
}

}  // namespace

WordListPreview::WordListPreview(const WordListPreviewRequest& request, QWidget* parent, ReadRunner run)
    : QDialog(parent), Source_(request.source), Run_(std::move(run)), Options_(request.options) {
    setWindowFlags(DialogWindowFlags);
    setFont(WindowFont());
    setWindowTitle(QStringLiteral("単語リストの読み込み"));
    if (!Run_) {
        const bool large = Source_->getBytes().size() >= BackgroundReadBytes;
        Run_ = [this, large, label = ReadingLabel(request.fileName)](const ReadWork& work) {
            // Over the preview once it shows, over its parent while it is made.
            QWidget* over = isVisible() || parentWidget() == nullptr ? this : parentWidget();
            return large ? ReadInBackground(over, label, work) : ReadAtOnce(work);
        };
    }
    const WordListFormat& format = Source_->getFormat();
    Options_.replace = true;
    // The choices start from what the file says of itself.
    Options_.encoding = Options_.encoding.value_or(format.encoding);
    Options_.separator = Options_.separator.value_or(format.separator);
    Options_.quoting = Options_.quoting.value_or(format.quoting);
    ShownOptions_ = Options_;
    BuildControls(request.fileName);
    ShowFormat(format);
    ConnectControls();
    Reread(true);
    // Like the program's other dialogs it keeps its size; the table scrolls.
    setFixedSize(std::max(sizeHint().width(), TwipsToPixels(9000)), std::max(sizeHint().height(), TwipsToPixels(7500)));
}

void WordListPreview::BuildControls(const QString& fileName) {
    auto* layout = new QVBoxLayout(this);
    lblFile = new QLabel(QStringLiteral("ファイル: ") + fileName);
    lblFile->setAccessibleName(QStringLiteral("ファイル名"));
    layout->addWidget(lblFile);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(BuildFormatBox());
    boxes->addWidget(BuildColumnsBox());
    layout->addLayout(boxes);

    lblError = new QLabel;
    lblError->setAccessibleName(QStringLiteral("読み込めない理由"));
    lblError->setWordWrap(true);
    // Bold over the window's font, whatever else the font is.
    QFont bold;
    bold.setBold(true);
    lblError->setFont(bold);
    lblError->hide();
    layout->addWidget(lblError);

    grdCards = new QTableWidget(0, 2);
    grdCards->setAccessibleName(QStringLiteral("最初のカード"));
    grdCards->setHorizontalHeaderLabels({QStringLiteral("問題"), QStringLiteral("答え")});
    grdCards->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grdCards->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdCards->setSelectionMode(QAbstractItemView::NoSelection);
    grdCards->setWordWrap(false);
    layout->addWidget(grdCards, 1);

    lblCount = AddValueLabel(QStringLiteral("カード数"));
    layout->addWidget(lblCount);
    lblReplaced = AddValueLabel(QStringLiteral("置き換えた文字"));
    lblReplaced->setWordWrap(true);
    layout->addWidget(lblReplaced);
    lblDirectives = AddValueLabel(QStringLiteral("Ankiの指定行"));
    lblDirectives->setWordWrap(true);
    lblDirectives->hide();
    layout->addWidget(lblDirectives);
    lblEquivalents = AddValueLabel(QStringLiteral("読み替えた文字"));
    lblEquivalents->setWordWrap(true);
    layout->addWidget(lblEquivalents);
    BuildButtons(*layout);
}

QWidget* WordListPreview::BuildFormatBox() {
    auto* box = new QGroupBox(QStringLiteral("ファイルの形式"));
    auto* form = new QFormLayout(box);
    cboEncoding = AddCombo(QStringLiteral("文字コード"));
    cboEncoding->addItem(QStringLiteral("UTF-8"), static_cast<int>(TextEncoding::Utf8));
    cboEncoding->addItem(QStringLiteral("UTF-16 LE"), static_cast<int>(TextEncoding::Utf16Le));
    cboEncoding->addItem(QStringLiteral("UTF-16 BE"), static_cast<int>(TextEncoding::Utf16Be));
    cboEncoding->addItem(QStringLiteral("シフトJIS（コードページ932）"), static_cast<int>(TextEncoding::Cp932));
    form->addRow(QStringLiteral("文字コード:"), cboEncoding);
    lblBom = AddValueLabel(QStringLiteral("バイト順マーク"));
    form->addRow(QStringLiteral("バイト順マーク:"), lblBom);
    lblLineEnd = AddValueLabel(QStringLiteral("改行"));
    form->addRow(QStringLiteral("改行:"), lblLineEnd);
    cboSeparator = AddCombo(QStringLiteral("区切り文字"));
    cboSeparator->addItem(QStringLiteral("カンマ（,）"), static_cast<int>(','));
    cboSeparator->addItem(QStringLiteral("タブ"), static_cast<int>('\t'));
    cboSeparator->addItem(QStringLiteral("セミコロン（;）"), static_cast<int>(';'));
    cboSeparator->addItem(QStringLiteral("縦棒（|）"), static_cast<int>('|'));
    cboSeparator->addItem(QStringLiteral("空白"), static_cast<int>(' '));
    cboSeparator->addItem(QStringLiteral("コロン（:）"), static_cast<int>(':'));
    form->addRow(QStringLiteral("区切り文字:"), cboSeparator);
    cboQuoting = AddCombo(QStringLiteral("引用符"));
    cboQuoting->addItem(QStringLiteral("\"…\" で囲んだ欄を1つの欄にする"), static_cast<int>(Quoting::Rfc));
    cboQuoting->addItem(QStringLiteral("使わない（\" も文字のまま）"), static_cast<int>(Quoting::None));
    form->addRow(QStringLiteral("引用符:"), cboQuoting);
    return box;
}

QWidget* WordListPreview::BuildColumnsBox() {
    auto* box = new QGroupBox(QStringLiteral("カードにする列"));
    auto* form = new QFormLayout(box);
    chkHeader = new QCheckBox(QStringLiteral("1行目は見出し（カードにしない）"));
    chkHeader->setAccessibleName(QStringLiteral("1行目は見出し"));
    chkHeader->setChecked(Options_.header);
    form->addRow(chkHeader);
    cboItem1 = AddCombo(QStringLiteral("問題にする列"));
    form->addRow(QStringLiteral("問題:"), cboItem1);
    cboItem2 = AddCombo(QStringLiteral("答えにする列"));
    form->addRow(QStringLiteral("答え:"), cboItem2);
    return box;
}

void WordListPreview::BuildButtons(QVBoxLayout& layout) {
    auto* buttons = new QDialogButtonBox;
    cmdOk = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    cmdCancel = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    cmdOk->setAccessibleName(QStringLiteral("OK"));
    cmdCancel->setAccessibleName(QStringLiteral("キャンセル"));
    cmdOk->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout.addWidget(buttons);
}

void WordListPreview::ShowFormat(const WordListFormat& format) {
    ShowChoices();
    lblBom->setText(format.bom ? QStringLiteral("あり") : QStringLiteral("なし"));
    lblLineEnd->setText(LineEndName(format.lineEnd));
}

void WordListPreview::ConnectControls() {
    const auto changed = QOverload<int>::of(&QComboBox::currentIndexChanged);
    connect(cboEncoding, changed, this, [this] {
        Options_.encoding = static_cast<TextEncoding>(cboEncoding->currentData().toInt());
        Reread(true);
    });
    connect(cboSeparator, changed, this, [this] {
        Options_.separator = static_cast<char>(cboSeparator->currentData().toInt());
        Reread(true);
    });
    connect(cboQuoting, changed, this, [this] {
        Options_.quoting = static_cast<Quoting>(cboQuoting->currentData().toInt());
        Reread(true);
    });
    connect(chkHeader, &QCheckBox::toggled, this, [this](bool checked) {
        Options_.header = checked;
        // A list one line too long for a deck had no columns to offer; with
        // its header skipped it may have.
        Reread(cboItem1->count() == 0);
    });
    connect(cboItem1, changed, this, [this] {
        Options_.itemColumn1 = cboItem1->currentData().toInt();
        Reread(false);
    });
    connect(cboItem2, changed, this, [this] {
        Options_.itemColumn2 = cboItem2->currentData().toInt();
        Reread(false);
    });
    // GNOME counts Enter among the keys that press a control: a drop-down
    // would open, the check box toggle and a frame keep the key, so Enter
    // would never reach OK. The controls hand it to OK first.
    for (QWidget* control :
         {static_cast<QWidget*>(cboEncoding), static_cast<QWidget*>(cboSeparator), static_cast<QWidget*>(cboQuoting),
          static_cast<QWidget*>(chkHeader), static_cast<QWidget*>(cboItem1), static_cast<QWidget*>(cboItem2),
          static_cast<QWidget*>(grdCards)}) {
        control->installEventFilter(this);
    }
}

bool WordListPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<const QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cmdOk->click();  // does nothing while the list cannot be read
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void WordListPreview::Reread(bool fieldsChanged) {
    WordListChoice choice;
    const bool read = Run_([&](const ReadProgress& progress) {
        choice = ReadWordListChoice(*Source_, Options_, fieldsChanged, progress);
    });
    if (!read) {
        // Cancelled: the choice shown before, and its cards, stay.
        Options_ = ShownOptions_;
        ShowChoices();
        return;
    }
    Read_ = true;
    Options_ = choice.options;
    ShownOptions_ = Options_;
    if (choice.columnsLearnt) {
        ShowColumns(choice.columns);
    }
    ShowChoices();
    List_ = std::move(choice.list);
    if (List_) {
        ShowCards(*List_);
    } else {
        ShowError(DeckErrorText(choice.error));
    }
}

void WordListPreview::ShowColumns(const std::vector<QString>& names) {
    for (QComboBox* combo : {cboItem1, cboItem2}) {
        const QSignalBlocker quiet(combo);
        combo->clear();
        for (std::size_t index = 0; index < names.size(); ++index) {
            combo->addItem(names[index], static_cast<int>(index + 1));
        }
        combo->setEnabled(!names.empty());
    }
}

void WordListPreview::ShowChoices() {
    SelectData(*cboEncoding, static_cast<int>(*Options_.encoding));
    SelectData(*cboSeparator, static_cast<int>(*Options_.separator));
    SelectData(*cboQuoting, static_cast<int>(*Options_.quoting));
    const QSignalBlocker quiet(chkHeader);
    chkHeader->setChecked(Options_.header);
    SelectData(*cboItem1, Options_.itemColumn1);
    SelectData(*cboItem2, Options_.itemColumn2);
}

void WordListPreview::ShowCards(const WordList& list) {
    lblError->hide();
    lblError->clear();
    cmdOk->setEnabled(true);
    const int shown = std::min(static_cast<int>(list.rows.size()), ShownCards);
    grdCards->setRowCount(shown);
    for (int row = 0; row < shown; ++row) {
        for (int side = 0; side < 2; ++side) {
            const std::string text =
                ItemToUtf8(list.items, list.rows[static_cast<size_t>(row)][static_cast<size_t>(side)]);
            grdCards->setItem(row, side, new QTableWidgetItem(QString::fromStdString(text)));
        }
    }
    // A line break of an item shows as one: the row is as tall as the card's text.
    grdCards->resizeRowsToContents();
    const int total = static_cast<int>(list.rows.size());
    lblCount->setText(total > shown ? QStringLiteral("カード: %1枚（最初の%2枚を表示）").arg(total).arg(shown)
                                    : QStringLiteral("カード: %1枚").arg(total));
    lblReplaced->setText(ReplacedText(list.replaced));
    lblDirectives->setText(list.directives.empty() ? QString() : DirectivesText(list.directives));
    lblDirectives->setVisible(!list.directives.empty());
    lblEquivalents->setText(EquivalentsText(list));
}

void WordListPreview::ShowError(const QString& reason) {
    grdCards->setRowCount(0);
    lblCount->setText(QStringLiteral("カード: なし"));
    lblReplaced->clear();
    lblDirectives->clear();
    lblDirectives->hide();
    lblEquivalents->clear();
    lblError->setText(QStringLiteral("この選び方では読み込めません。") + reason);
    lblError->show();
    cmdOk->setEnabled(false);
}

}  // namespace korva::platform
