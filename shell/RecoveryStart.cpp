#include "shell/RecoveryStart.h"

#include "recovery/RecoveryError.h"
#include "recovery/RecoveryErrorText.h"
#include "recovery/RecoveryFolder.h"

namespace korva {

std::unique_ptr<RecoveryStore> OpenRecoveryStore(platform::Dialogs& dialogs) {
    try {
        return std::make_unique<RecoveryStore>(RecoveryRoot());
    } catch (const RecoveryError& error) {
        dialogs.Message(QStringLiteral("復元用のコピーを保存できません（%1）。\r\n"
                                       "保存するまでの変更は、異常終了すると失われます。")
                            .arg(DescribeRecoveryError(error)),
                        platform::MessageButtons::Ok);
        return nullptr;
    }
}

}  // namespace korva
