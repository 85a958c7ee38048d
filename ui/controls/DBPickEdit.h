#pragma once
#include <QToolButton>
#include <functional>

#include "ui/controls/DBEdit.h"

namespace qzr {

// A bound text box with a button at its right edge that runs OnCustomDlg, the pick handler.
// An editable one asks the data source to edit before the handler runs; a read-only one
// leaves that to its handler. F4 or Alt+Down press the button from the keyboard.
class TDBPickEdit : public TDBEdit {
public:
    explicit TDBPickEdit(QWidget* parent = nullptr);

    std::function<void(TDBPickEdit& Sender)> OnCustomDlg;

    QToolButton* PickButton() const { return button_; }
    void RunPick();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QToolButton* button_;
};

} // namespace qzr
