#include <QAction>
#include <QMenu>

#include "cardwindow/frmCard.h"
#include "platform/MenuCheckStyle.h"

namespace korva {

namespace {

QAction* AddItem(QMenu* menu, const QString& caption, bool radio = false) {
    QAction* action = menu->addAction(caption);
    action->setCheckable(radio);
    return action;
}

}  // namespace

// The window owns its menus; the frame window shows them in its menu bar
// while this window is active. No item carries a shortcut key.
void frmCard::BuildMenus() {
    mnuFile = new QMenu(QStringLiteral("ファイル(&F)"), this);
    mnuFileNew = AddItem(mnuFile, QStringLiteral("新規作成(&N)"));
    mnuFileOpen = AddItem(mnuFile, QStringLiteral("開く...(&O)"));
    mnuFileSeries = AddItem(mnuFile, QStringLiteral("続けて開く...(&T)"));
    mnuFileClose = AddItem(mnuFile, QStringLiteral("閉じる(&C)"));
    mnuFileSaveAs = AddItem(mnuFile, QStringLiteral("名前を付けて保存...(&A)"));
    mnuFileSave = AddItem(mnuFile, QStringLiteral("上書き保存(&S)"));
    mnuFile->addSeparator();
    mnuFileExit = AddItem(mnuFile, QStringLiteral("終了(&X)"));

    mnuFunction = new QMenu(QStringLiteral("機能(&W)"), this);
    mnuFunctionTurn = mnuFunction->addMenu(QStringLiteral("カード順番(&T)"));
    mnuFunctionTurnNormal = AddItem(mnuFunctionTurn, QStringLiteral("ノーマル(&N)"), true);
    mnuFunctionTurnShuffle = AddItem(mnuFunctionTurn, QStringLiteral("シャッフル(&S)"), true);
    mnuFunctionAnswer = mnuFunction->addMenu(QStringLiteral("解答方式(&S)"));
    mnuFunctionAnswerNormal = AddItem(mnuFunctionAnswer, QStringLiteral("ノーマル（&N）"), true);
    mnuFunctionAnswerTest = AddItem(mnuFunctionAnswer, QStringLiteral("TESTスタイル（&T）"), true);
    mnuFunctionReversal = mnuFunction->addMenu(QStringLiteral("項目逆転(&R)"));
    mnuFunctionReversalAll = AddItem(mnuFunctionReversal, QStringLiteral("すべて(&A)"));
    mnuFunctionReversalPersonal = AddItem(mnuFunctionReversal, QStringLiteral("表示中のカード(&P)"));
    mnuFunctionLump = mnuFunction->addMenu(QStringLiteral("一括チェック(&l)"));
    mnuFunctionLumpCheck = AddItem(mnuFunctionLump, QStringLiteral("チェック(&C)"));
    mnuFunctionLumpNatural = AddItem(mnuFunctionLump, QStringLiteral("未チェック(&N)"));
    mnuFunction->addSeparator();
    mnuFunctionRecord = AddItem(mnuFunction, QStringLiteral("学習の記録(&K)"));
    mnuFunctionSettings = AddItem(mnuFunction, QStringLiteral("学習の設定...(&O)"));
    mnuFunction->addSeparator();
    mnuFunctionEdit = AddItem(mnuFunction, QStringLiteral("カードの編集...(&E)"));

    mnuView = new QMenu(QStringLiteral("表示(&V)"), this);
    mnuViewCard = mnuView->addMenu(QStringLiteral("カード表示形式(&C)"));
    mnuViewCardAll = AddItem(mnuViewCard, QStringLiteral("すべて(&A)"), true);
    mnuViewCardCheck = AddItem(mnuViewCard, QStringLiteral("チェックのみ(&C)"), true);
    mnuViewCardNatural = AddItem(mnuViewCard, QStringLiteral("未チェックのみ(&N)"), true);
    mnuViewCardDue = AddItem(mnuViewCard, QStringLiteral("復習するカード(&R)"), true);

    // Only the chosen radio item carries a mark; the others show nothing.
    auto* radioStyle = new platform::MenuCheckStyle;
    radioStyle->setParent(this);
    for (QMenu* radioMenu : {mnuFunctionTurn, mnuFunctionAnswer, mnuViewCard}) {
        radioMenu->setStyle(radioStyle);
    }

    mnuHelp = new QMenu(QStringLiteral("ヘルプ(&H)"), this);
    mnuHelpHelp = AddItem(mnuHelp, QStringLiteral("KORVA!!HTMLヘルプ...(&H)"));
    mnuHelpSample = AddItem(mnuHelp, QStringLiteral("サンプルデッキを開く(&S)"));
    mnuHelp->addSeparator();
    mnuHelpVesion = AddItem(mnuHelp, QStringLiteral("バージョン情報...(&V)"));
}

void frmCard::ConnectMenus() {
    const auto bind = [this](QAction* action, void (frmCard::*handler)()) {
        connect(action, &QAction::triggered, this, handler);
    };
    bind(mnuFileNew, &frmCard::mnuFileNew_Click);
    bind(mnuFileOpen, &frmCard::mnuFileOpen_Click);
    bind(mnuFileSeries, &frmCard::mnuFileSeries_Click);
    bind(mnuFileClose, &frmCard::mnuFileClose_Click);
    bind(mnuFileSaveAs, &frmCard::mnuFileSaveAs_Click);
    bind(mnuFileSave, &frmCard::mnuFileSave_Click);
    bind(mnuFileExit, &frmCard::mnuFileExit_Click);
    bind(mnuFunctionTurnNormal, &frmCard::mnuFunctionTurnNormal_Click);
    bind(mnuFunctionTurnShuffle, &frmCard::mnuFunctionTurnShuffle_Click);
    bind(mnuFunctionAnswerNormal, &frmCard::mnuFunctionAnswerNormal_Click);
    bind(mnuFunctionAnswerTest, &frmCard::mnuFunctionAnswerTest_Click);
    bind(mnuFunctionReversalAll, &frmCard::mnuFunctionReversalAll_Click);
    bind(mnuFunctionReversalPersonal, &frmCard::mnuFunctionReversalPersonal_Click);
    bind(mnuFunctionLumpCheck, &frmCard::mnuFunctionLumpCheck_Click);
    bind(mnuFunctionLumpNatural, &frmCard::mnuFunctionLumpNatural_Click);
    bind(mnuFunctionEdit, &frmCard::mnuFunctionEdit_Click);
    bind(mnuFunctionRecord, &frmCard::mnuFunctionRecord_Click);
    bind(mnuFunctionSettings, &frmCard::mnuFunctionSettings_Click);
    bind(mnuViewCardAll, &frmCard::mnuViewCardAll_Click);
    bind(mnuViewCardCheck, &frmCard::mnuViewCardCheck_Click);
    bind(mnuViewCardNatural, &frmCard::mnuViewCardNatural_Click);
    bind(mnuViewCardDue, &frmCard::mnuViewCardDue_Click);
    bind(mnuHelpHelp, &frmCard::mnuHelpHelp_Click);
    bind(mnuHelpSample, &frmCard::mnuHelpSample_Click);
    bind(mnuHelpVesion, &frmCard::mnuHelpVesion_Click);
}

QList<QMenu*> frmCard::MenuBarMenus() const { return {mnuFile, mnuFunction, mnuView, mnuHelp}; }

}  // namespace korva
