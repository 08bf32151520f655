#pragma once

#include <cstddef>
#include <functional>

#include <QString>

#include "deck/WordListDecoded.h"

class QWidget;

namespace korva::platform {

// A read that may take seconds: it reports how far it has come through the
// progress it is given, which stops it by throwing once the user cancels.
using ReadWork = std::function<void(const ReadProgress&)>;

// How a window runs a read: true when the work ran to its end, false when
// the user cancelled it. What the work throws is thrown here.
using ReadRunner = std::function<bool(const ReadWork&)>;

// From this size a word list is read in the background: the fastest
// machines read some 40 megabytes a second, so a smaller list freezes no
// window for long, and one this size starts to.
inline constexpr std::size_t BackgroundReadBytes = std::size_t{4} << 20;

// How long a read runs before its progress window shows.
inline constexpr int ProgressShownAfterMs = 200;

// Runs work on a worker thread while this thread's events go on, so that
// every window keeps drawing; the windows take no input meanwhile. A read
// that lasts longer than ProgressShownAfterMs shows a window over parent
// with label, a progress bar and キャンセル. A cancelled read ends at its
// next report of progress, this thread's events going on until then.
bool ReadInBackground(QWidget* parent, const QString& label, const ReadWork& work);

// What a progress window says while fileName is read.
QString ReadingLabel(const QString& fileName);

// Runs work here and now, with no progress to tell.
bool ReadAtOnce(const ReadWork& work);

}  // namespace korva::platform
