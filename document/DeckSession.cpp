#include "document/DeckSession.h"

#include <utility>

namespace korva {

DeckSession::DeckSession(std::shared_ptr<DeckDocument> document)
    : Document_(std::move(document)), History_(std::make_shared<DeckEdits>(Document_)) {}

QString DeckSession::UntitledName() { return QStringLiteral("無題"); }

QString DeckSession::getDisplayName() const {
    const QString& name = Document_->getFileName();
    return name.isEmpty() ? UntitledName() : name;
}

}  // namespace korva
