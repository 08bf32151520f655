#include "study/StudyEngine.h"

namespace korva {

const std::string StudyEngine::NoCardMessage =
    "その条件を満たすカードはありません。\r\nカード表示形式の設定を[すべて]に変更します。";

StudyEngine::StudyEngine(std::shared_ptr<DeckDocument> document) : Document_(std::move(document)) {
    // Seeded once: a fresh generator per window is enough for independent
    // cycles, and re-seeding from the clock on every draw would only weaken it.
    std::random_device device;
    std::seed_seq seed{device(), device(), device(), device()};
    Random_.seed(seed);
}

StudyEngine::~StudyEngine() = default;

void StudyEngine::setRandomSeed(uint64_t seed) { Random_.seed(seed); }

}  // namespace korva
