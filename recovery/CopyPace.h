#pragma once

#include <QtGlobal>

namespace korva {

// Spaces one window's recovery copies so that writing them takes at most a
// tenth of the time: a copy that took T from its snapshot to its result is
// followed by nine times T without one. A small deck's copy takes a few
// milliseconds, well inside the write delay; a large deck's takes seconds.
// While a copy is on its way, the next waits for its result: handed over
// earlier, it would only queue behind it. Times are milliseconds on one
// steady clock.
class CopyPace {
public:
    // A copy handed over at nowMs; returns its number, for Written.
    int Started(qint64 nowMs);
    // The result of copy job came back; that of an earlier one tells nothing.
    void Written(int job, qint64 nowMs);
    bool isWriting() const { return Writing_; }
    // How long from nowMs the next copy waits; 0 when it may start.
    qint64 WaitMs(qint64 nowMs) const;

private:
    int LastJob_ = 0;
    qint64 StartedMs_ = 0;
    bool Writing_ = false;
    qint64 NextMs_ = 0;
};

}  // namespace korva
