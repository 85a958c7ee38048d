#include "ui/RubrWindow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/AppFont.h"
#include "ui/controls/DBGrid.h"

namespace qzr {

TfmRubr::TfmRubr(QWidget* parent)
    : QDialog(parent),
      gdRubr(new TDBGrid(dsRubr, {{"Name", QString::fromUtf8("Наименование"), 59}}, this)),
      Panel1(new QWidget(this)),
      btnOk(new QPushButton(QStringLiteral("OK"), Panel1)),
      btnCancel(new QPushButton(QString::fromUtf8("Отмена"), Panel1)) {
    setObjectName("fmRubr");
    setWindowTitle(QString::fromUtf8("Рубрикатор"));
    setFont(UiFont(11));
    resize(404, 302);

    gdRubr->setObjectName("gdRubr");
    Panel1->setObjectName("Panel1");
    Panel1->setFixedHeight(41);
    btnOk->setObjectName("btnOk");
    btnCancel->setObjectName("btnCancel");
    for (QPushButton* button : {btnOk, btnCancel}) {
        button->setFixedSize(75, 25);
        button->setAutoDefault(false);
    }
    btnOk->setDefault(true);

    auto* buttons = new QHBoxLayout(Panel1);
    buttons->setContentsMargins(0, 8, 7, 8);
    buttons->setSpacing(14);
    buttons->addStretch();
    buttons->addWidget(btnOk, 0, Qt::AlignTop);
    buttons->addWidget(btnCancel, 0, Qt::AlignTop);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(gdRubr);
    layout->addWidget(Panel1);
    setTabOrder(gdRubr, btnOk);
    setTabOrder(btnOk, btnCancel);

    connect(btnOk, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(gdRubr, &QAbstractItemView::doubleClicked, this, [this] {
        if (btnOk->isEnabled()) done(mrOk);
    });
    gdRubr->OnRowsChanged = [this] { UpdateOkButton(); };
    rubr.ShowPickDialog = [this] { return ShowPick(); };
    FormCreate();
}

void TfmRubr::FormCreate() {
    rubr.FormCreate();
}

void TfmRubr::reject() {
    done(mrCancel);
}

// An empty list has no row to confirm: "OK" waits for a row.
void TfmRubr::UpdateOkButton() {
    btnOk->setEnabled(rubr.cdsRubr.RecordCount() > 0 && rubr.cdsRubr.HasCurrent());
}

int TfmRubr::ShowPick() {
    UpdateOkButton();
    gdRubr->setFocus();
    return exec() == mrOk ? mrOk : mrCancel;
}

} // namespace qzr
