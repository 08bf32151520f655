#pragma once

#include <functional>

#include <QObject>

class QSocketNotifier;

namespace korva {

// SIGTERM, SIGHUP and SIGINT, the ways a desktop or a terminal ends a
// program, as calls on the event loop: the handler only writes the signal's
// number into a socket pair, and a notifier reads it where anything may be
// done. A signal the program was started to ignore (nohup) stays ignored.
// One instance at a time.
class EndSignals : public QObject {
    Q_OBJECT
public:
    explicit EndSignals(std::function<void(int)> received, QObject* parent = nullptr);
    // Every watched signal has its default action again.
    ~EndSignals() override;
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    // Ends the program as the signal itself would have: at once, with no
    // cleanup, and with the status of a process that signal ended (a shell
    // reports 128 + its number).
    [[noreturn]] static void EndBy(int signalNumber);

private:
    static void Handler(int signalNumber);
    void ReadSignal();

    std::function<void(int)> Received_;
    QSocketNotifier* Notifier_ = nullptr;
};

}  // namespace korva
