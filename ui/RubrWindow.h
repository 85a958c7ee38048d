#pragma once
#include <QDialog>

#include "records/Rubr.h"

class QPushButton;
class QWidget;

namespace qzr {

class TDBGrid;

// The classifier's table and data source; built before the dialog's widgets, so the grid
// bound to them goes first when the dialog is destroyed.
struct TRubrWindowData {
    TRubr rubr;
    TDataSource dsRubr{&rubr.cdsRubr, "dsRubr"};
};

// The classifier dialog "Рубрикатор": owns the classifier, fills it when created, and is the
// modal pick list that SelectRubr shows (result 1 for "OK", 2 for "Отмена" or the close box).
class TfmRubr : private TRubrWindowData, public QDialog {
public:
    explicit TfmRubr(QWidget* parent = nullptr);

    TRubr& Rubr() { return rubr; }
    TDataSource& DataSource() { return dsRubr; }

    TDBGrid* gdRubr;
    QWidget* Panel1;
    QPushButton* btnOk;
    QPushButton* btnCancel;

    void reject() override;

private:
    void FormCreate();
    int ShowPick();
    void UpdateOkButton();
};

} // namespace qzr
