#include "platform/GrowToText.h"

#include <algorithm>

#include <QLabel>

namespace korva::platform {

void GrowToText(QLabel& label, int rightLimit) {
    const QRect place = label.geometry();
    const QSize needed = label.sizeHint();
    const int width = std::min(std::max(place.width(), needed.width()), rightLimit - place.left());
    label.resize(width, std::max(place.height(), needed.height()));
}

}  // namespace korva::platform
