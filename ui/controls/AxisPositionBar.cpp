#include "ui/controls/AxisPositionBar.h"

#include <QPainter>
#include <algorithm>

namespace qzr {

TAxisPositionBar::TAxisPositionBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TAxisPositionBar::SetPosition(std::optional<double> position) {
    if (position)
        position = std::clamp(*position, 0.0, 1.0);
    if (position == position_)
        return;
    position_ = position;
    update();
}

void TAxisPositionBar::SetZones(std::vector<TZone> zones) {
    for (TZone& zone : zones) {
        zone.from = std::clamp(zone.from, 0.0, 1.0);
        zone.to = std::clamp(zone.to, zone.from, 1.0);
    }
    if (zones == zones_)
        return;
    zones_ = std::move(zones);
    update();
}

void TAxisPositionBar::SetCentred(bool centred) {
    if (centred == centred_)
        return;
    centred_ = centred;
    update();
}

int TAxisPositionBar::XOf(double fraction, const QRect& inside) const {
    return inside.left() + static_cast<int>(fraction * inside.width() + 0.5);
}

void TAxisPositionBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = palette();
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    painter.fillRect(rect(), colours.color(QPalette::Base));

    if (position_) {
        const int at = XOf(*position_, inside);
        const int from = XOf(centred_ ? 0.5 : 0.0, inside);
        QColor fill = colours.color(QPalette::Highlight);
        fill.setAlpha(170);
        painter.fillRect(QRect(std::min(at, from), inside.top(), std::abs(at - from), inside.height()), fill);
    }
    // Over the fill, so a dead zone stays visible where the position has passed it.
    QColor shade = colours.color(QPalette::Mid);
    shade.setAlpha(110);
    for (const TZone& zone : zones_) {
        const int left = XOf(zone.from, inside);
        const QRect stretch(left, inside.top(), XOf(zone.to, inside) - left, inside.height());
        painter.fillRect(stretch, shade);
        painter.fillRect(stretch, QBrush(colours.color(QPalette::Mid), Qt::BDiagPattern));
    }

    if (position_) {
        const int at = XOf(*position_, inside);
        painter.fillRect(QRect(std::clamp(at - 1, inside.left(), inside.right() - 1), inside.top(), 2,
                               inside.height()),
                         colours.color(QPalette::Text));
    }
    if (centred_) {
        painter.setPen(QPen(colours.color(QPalette::Mid), 1, Qt::DotLine));
        const int middle = XOf(0.5, inside);
        painter.drawLine(middle, inside.top(), middle, inside.bottom());
    }
    painter.setPen(colours.color(QPalette::Mid));
    painter.drawRect(frame);
}

} // namespace qzr
