#include "recovery/CopyPace.h"

#include <algorithm>

namespace korva {

namespace {

constexpr qint64 IdleTimesWrite = 9;

}  // namespace

int CopyPace::Started(qint64 nowMs) {
    StartedMs_ = nowMs;
    Writing_ = true;
    return ++LastJob_;
}

void CopyPace::Written(int job, qint64 nowMs) {
    if (job != LastJob_ || !Writing_) {
        return;
    }
    Writing_ = false;
    NextMs_ = nowMs + IdleTimesWrite * (nowMs - StartedMs_);
}

qint64 CopyPace::WaitMs(qint64 nowMs) const { return std::max<qint64>(0, NextMs_ - nowMs); }

}  // namespace korva
