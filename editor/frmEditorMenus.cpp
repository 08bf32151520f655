#include <QAction>
#include <QMenu>

#include "editor/CardTableView.h"
#include "editor/frmEditor.h"

namespace korva {

namespace {

// The keys work wherever the focus is inside the editor, and the menu shows
// them beside the items.
QAction* AddItem(QWidget* window, QMenu* menu, const QString& caption, const QList<QKeySequence>& keys = {}) {
    QAction* action = menu->addAction(caption);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    window->addAction(action);
    return action;
}

}  // namespace

void frmEditor::BuildMenus() {
    mnuFile = new QMenu(QStringLiteral("ファイル(&F)"), this);
    mnuFileNew = AddItem(this, mnuFile, QStringLiteral("新規作成(&N)"));
    mnuFileSave = AddItem(this, mnuFile, QStringLiteral("上書き保存(&S)"), {QKeySequence(Qt::CTRL | Qt::Key_S)});
    mnuFileSaveAs = AddItem(this, mnuFile, QStringLiteral("名前を付けて保存...(&A)"));
    mnuFile->addSeparator();
    mnuFileClose = AddItem(this, mnuFile, QStringLiteral("閉じる(&C)"));

    mnuEdit = new QMenu(QStringLiteral("編集(&E)"), this);
    mnuEditUndo = AddItem(this, mnuEdit, QStringLiteral("元に戻す(&U)"), {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    mnuEditRedo = AddItem(this, mnuEdit, QStringLiteral("やり直し(&R)"),
                          {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    mnuEdit->addSeparator();
    mnuEditCopy = AddItem(this, mnuEdit, QStringLiteral("コピー(&C)"), {QKeySequence(Qt::CTRL | Qt::Key_C)});
    mnuEditPaste = AddItem(this, mnuEdit, QStringLiteral("貼り付け(&P)"), {QKeySequence(Qt::CTRL | Qt::Key_V)});
    mnuEdit->addSeparator();
    mnuEditInsert = AddItem(this, mnuEdit, QStringLiteral("カードの追加(&I)"), {QKeySequence(Qt::Key_Insert)});
    mnuEditDelete = AddItem(this, mnuEdit, QStringLiteral("カードの削除(&D)"), {QKeySequence(Qt::Key_Delete)});
    mnuEditUp = AddItem(this, mnuEdit, QStringLiteral("上へ移動"), {QKeySequence(Qt::ALT | Qt::Key_Up)});
    mnuEditDown = AddItem(this, mnuEdit, QStringLiteral("下へ移動"), {QKeySequence(Qt::ALT | Qt::Key_Down)});
    mnuEdit->addSeparator();
    mnuEditFind = AddItem(this, mnuEdit, QStringLiteral("検索(&F)"), {QKeySequence(Qt::CTRL | Qt::Key_F)});

    // While a refusal of the open cell is on screen a key pressed in the
    // same burst does nothing at all, rather than close the cell under it.
    const auto bind = [this](QAction* action, void (frmEditor::*handler)()) {
        connect(action, &QAction::triggered, this, [this, handler] {
            if (!grdCards->isRefusing()) {
                (this->*handler)();
            }
        });
    };
    bind(mnuFileNew, &frmEditor::mnuFileNew_Click);
    bind(mnuFileSave, &frmEditor::mnuFileSave_Click);
    bind(mnuFileSaveAs, &frmEditor::mnuFileSaveAs_Click);
    bind(mnuFileClose, &frmEditor::mnuFileClose_Click);
    bind(mnuEditUndo, &frmEditor::mnuEditUndo_Click);
    bind(mnuEditRedo, &frmEditor::mnuEditRedo_Click);
    bind(mnuEditCopy, &frmEditor::mnuEditCopy_Click);
    bind(mnuEditPaste, &frmEditor::mnuEditPaste_Click);
    bind(mnuEditInsert, &frmEditor::mnuEditInsert_Click);
    bind(mnuEditDelete, &frmEditor::mnuEditDelete_Click);
    bind(mnuEditUp, &frmEditor::mnuEditUp_Click);
    bind(mnuEditDown, &frmEditor::mnuEditDown_Click);
    bind(mnuEditFind, &frmEditor::mnuEditFind_Click);
}

QList<QMenu*> frmEditor::MenuBarMenus() const { return {mnuFile, mnuEdit}; }

}  // namespace korva
