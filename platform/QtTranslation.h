#pragma once

class QCoreApplication;

namespace korva::platform {

// Qt's own texts (message box buttons, file dialogs) in Japanese, whatever
// the user's locale: the program speaks Japanese throughout. False when
// Qt's Japanese translation is not installed; the texts stay English then.
bool LoadQtTranslation(QCoreApplication& app);

}  // namespace korva::platform
