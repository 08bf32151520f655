#pragma once

#include <optional>

#include <QPoint>
#include <QSize>

namespace korva {

// Where a new card window of outer size `window` opens in a workspace of
// size `workspace`: at the top left when it is the only one, otherwise one
// step (a title bar's height) below and right of the previous window, and
// back at the top left when it would reach past the workspace there.
QPoint CascadePosition(const std::optional<QPoint>& previous, QSize window, QSize workspace, int step);

}  // namespace korva
