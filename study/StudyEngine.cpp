#include "study/StudyEngine.h"

namespace korva {

const std::string StudyEngine::NoCardMessage =
    "その条件を満たすカードはありません。\r\nカード表示形式の設定を[すべて]に変更します。";

StudyEngine::StudyEngine() {
    // Seeded once: a fresh generator per window is enough for independent
    // cycles, and re-seeding from the clock on every draw would only weaken it.
    std::random_device Device;
    std::seed_seq Seed{Device(), Device(), Device(), Device()};
    Random_.seed(Seed);
}

StudyEngine::~StudyEngine() = default;

void StudyEngine::setRandomSeed(uint64_t Seed) { Random_.seed(Seed); }

}  // namespace korva
