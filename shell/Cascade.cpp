#include "shell/Cascade.h"

namespace korva {

QPoint CascadePosition(const std::optional<QPoint>& previous, QSize window, QSize workspace, int step) {
    if (!previous) {
        return {0, 0};
    }
    const QPoint next = *previous + QPoint(step, step);
    const bool fits = next.x() >= 0 && next.y() >= 0 && next.x() + window.width() <= workspace.width() &&
                      next.y() + window.height() <= workspace.height();
    return fits ? next : QPoint(0, 0);
}

}  // namespace korva
