#pragma once

#include <QGroupBox>

namespace korva {

// A frame drawn the way Windows draws a group box: an
// etched line whose top edge runs through the middle of a caption band, and
// the caption inside that band, above the controls the frame holds. The
// style's own group box draws a taller band that the controls would cover.
class CaptionFrame : public QGroupBox {
    Q_OBJECT
public:
    // bandHeight: the top strip, in pixels, that no control inside reaches.
    CaptionFrame(const QString& caption, int bandHeight, QWidget* parent);

    // Where the caption's letters are drawn, in the frame's coordinates.
    QRect CaptionRect() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QFont CaptionFont() const;

    int Band_;
};

}  // namespace korva
