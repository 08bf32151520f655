#include "platform/BackgroundRead.h"

#include <atomic>
#include <exception>
#include <limits>
#include <thread>

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include "platform/Dialogs.h"

namespace korva::platform {

namespace {

// Thrown through the work once the user has cancelled it.
struct ReadCancelled {};

// Steps of the bar, and how often it follows the worker.
constexpr int BarSteps = 1000;
constexpr int BarIntervalMs = 50;

// Until the progress window shows, nothing else may take input either: a
// second read would start while the first still runs.
class InputBlocker : public QObject {
public:
    explicit InputBlocker(const QWidget& allowed) : Allowed_(allowed) { qApp->installEventFilter(this); }
    ~InputBlocker() override { qApp->removeEventFilter(this); }
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::Shortcut:
            case QEvent::Close: {
                const auto* widget = qobject_cast<const QWidget*>(watched);
                return widget != nullptr && widget != &Allowed_ && !Allowed_.isAncestorOf(widget);
            }
            default: return false;
        }
    }

private:
    const QWidget& Allowed_;
};

}  // namespace

bool ReadInBackground(QWidget* parent, const QString& label, const ReadWork& work) {
    std::atomic<int> done{0};
    std::atomic<bool> cancelled{false};
    std::exception_ptr failure;
    QEventLoop loop;

    QProgressDialog window(label, QStringLiteral("キャンセル"), 0, BarSteps, parent);
    window.setWindowTitle(AppTitle);
    window.setWindowModality(Qt::ApplicationModal);
    window.setAutoClose(false);
    window.setAutoReset(false);
    // Shown by its own timer below, never by a guess of Qt's from the bar.
    window.setMinimumDuration(std::numeric_limits<int>::max());
    QObject::connect(&window, &QProgressDialog::canceled, &loop, [&] { cancelled = true; });
    const InputBlocker blocker(window);
    QTimer showing;
    showing.setSingleShot(true);
    QObject::connect(&showing, &QTimer::timeout, &window, [&] { window.show(); });
    showing.start(ProgressShownAfterMs);
    QTimer following;
    QObject::connect(&following, &QTimer::timeout, &window, [&] {
        if (window.isVisible() && !cancelled) {
            window.setValue(done);
        }
    });
    following.start(BarIntervalMs);

    std::thread worker([&] {
        try {
            work([&](double share) {
                if (cancelled) {
                    throw ReadCancelled{};
                }
                done = static_cast<int>(share * BarSteps);
            });
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    if (cancelled) {
        return false;
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    return true;
}

QString ReadingLabel(const QString& fileName) { return QStringLiteral("%1 を読み込んでいます…").arg(fileName); }

bool ReadAtOnce(const ReadWork& work) {
    work({});
    return true;
}

}  // namespace korva::platform
