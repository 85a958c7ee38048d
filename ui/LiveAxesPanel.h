#pragma once
// The side panel's live view of the pedals: one row per axis of their input report, with the
// axis's name, a bar with its position and its raw value.
#include <QWidget>
#include <functional>
#include <vector>

#include "hid/LiveAxes.h"

class QGridLayout;
class QLabel;

namespace qzr {

class TAxisPositionBar;
class TValueText;
class TRubr;

// The names the classifier gives HID usages, by usage page and usage, falling back on the
// common names of the HID usage tables. Read once: looking a name up later would move the
// classifier's current row under an open pick dialog.
class TAxisNames {
public:
    void ReadClassifier(TRubr& classifier);
    QString NameOf(uint16_t usagePage, uint16_t usage) const;

private:
    struct TEntry {
        uint16_t usagePage;
        uint16_t usage;
        QString name;
    };
    std::vector<TEntry> classifierNames_;
};

// Whether an axis moves both ways from a middle position (the rudder) rather than from a rest
// at one end (a brake).
bool IsCentredAxis(const THidInputField& field);

class TLiveAxesPanel : public QWidget {
public:
    TLiveAxesPanel(const TAxisNames& names, QWidget* parent = nullptr);

    // Rebuilds the rows when the axes differ from the shown ones, then shows their values.
    void Show(const TLiveAxes& axes);

    int RowCount() const { return static_cast<int>(rows_.size()); }
    QString RowName(int row) const;
    QString RowValue(int row) const;
    TAxisPositionBar* RowBar(int row) const;

    static constexpr int RowHeight = 20;

private:
    struct TRow {
        THidInputField field;
        QLabel* name;
        TAxisPositionBar* bar;
        TValueText* value;
    };
    bool SameAxes(const TLiveAxes& axes) const;
    void Rebuild(const TLiveAxes& axes);
    void ClearRows();

    const TAxisNames& names_;
    QLabel* title_;
    QGridLayout* grid_;
    std::vector<TRow> rows_;
};

} // namespace qzr
