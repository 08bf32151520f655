#include "platform/QtTranslation.h"

#include <memory>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace korva::platform {

bool LoadQtTranslation(QCoreApplication& app) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    // Owned by the application, so it lives as long as the texts it translates.
    translator->setParent(&app);
    return QCoreApplication::installTranslator(translator.release());
}

}  // namespace korva::platform
