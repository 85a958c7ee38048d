#pragma once
// A horizontal bar showing where an axis stands between its ends, with shaded zones (dead
// zones) over it. Repaints only when something it shows changes.
#include <QWidget>
#include <optional>
#include <vector>

namespace qzr {

class TAxisPositionBar : public QWidget {
public:
    // A stretch of the travel, as fractions from 0 (start) to 1 (end).
    struct TZone {
        double from = 0;
        double to = 0;
        bool operator==(const TZone&) const = default;
    };

    explicit TAxisPositionBar(QWidget* parent = nullptr);

    // None: no value known yet; the bar shows no position.
    void SetPosition(std::optional<double> position);
    std::optional<double> Position() const { return position_; }
    void SetZones(std::vector<TZone> zones);
    const std::vector<TZone>& Zones() const { return zones_; }
    // A centred axis (the rudder) fills from the middle towards its position.
    void SetCentred(bool centred);
    bool Centred() const { return centred_; }

    QSize sizeHint() const override { return {120, 14}; }
    QSize minimumSizeHint() const override { return {40, 10}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int XOf(double fraction, const QRect& inside) const;

    std::optional<double> position_;
    std::vector<TZone> zones_;
    bool centred_ = false;
};

} // namespace qzr
