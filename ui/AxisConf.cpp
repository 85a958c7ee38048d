#include "ui/AxisConf.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "records/AxisRecords.h"
#include "records/Rubr.h"
#include "ui/AppFont.h"
#include "ui/AxisLivePosition.h"
#include "ui/UserAction.h"
#include "ui/controls/BoundControl.h"
#include "ui/controls/DBCheckBox.h"
#include "ui/controls/DBPickEdit.h"
#include "ui/controls/DataInspector.h"

namespace qzr {

namespace {

QString Ru(const char* text) { return QString::fromUtf8(text); }

} // namespace

TfmAxisConf::TfmAxisConf(TAxisRecords& axes, TDataSource& dsNStruct, TRubr& rubr, QWidget* parent)
    : QDialog(parent),
      wwDataInspector1(new TDataInspector(this)),
      Panel1(new QWidget(this)),
      btnSave(new QPushButton(Ru("Сохранить"), Panel1)),
      pnLivePosition(new TAxisLivePosition(axes, dsNStruct, this)),
      axes_(axes),
      dsNStruct_(dsNStruct),
      rubr_(rubr) {
    setObjectName("fmAxisConf");
    setWindowTitle(Ru("Конфигуратор"));
    setFont(UiFont(11));
    resize(394, 472);

    wwDataInspector1->setObjectName("wwDataInspector1");
    wwDataInspector1->SetCaptionWidth(231);

    Panel1->setObjectName("Panel1");
    Panel1->setFixedHeight(41);
    btnSave->setObjectName("btnSave");
    btnSave->setFixedHeight(25);
    btnSave->setAutoDefault(false);
    auto* bottom = new QHBoxLayout(Panel1);
    bottom->setContentsMargins(8, 8, 13, 8);
    bottom->addWidget(btnSave);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(wwDataInspector1);
    layout->addWidget(pnLivePosition);
    layout->addWidget(Panel1);

    connect(btnSave, &QPushButton::clicked, this, [this] { btnSaveClick(); });
}

void TfmAxisConf::BuildRows() {
    if (rowsBuilt_) return;
    rowsBuilt_ = true;
    BuildInspector();
}

void TfmAxisConf::BuildInspector() {
    TDataInspector& inspector = *wwDataInspector1;
    wwCheckBox1 = AddCheckBox("wwCheckBox1", "Вкл", "ConfUsage_ON");
    cdNStructConfUsage_HIDUsage =
        AddPickEdit("cdNStructConfUsage_HIDUsage", "Тип оси", "ConfUsage_HIDUsagePageCalc");
    cdNStructConfUsage_HIDUsage->OnCustomDlg = [this](TDBPickEdit& e) { cdNStructConfUsage_HIDUsageCustomDlg(e); };
    cdConfUsage_HIDUsagePage = AddPickEdit("cdConfUsage_HIDUsagePage", "Имя оси", "HID_UsageCalc");
    cdConfUsage_HIDUsagePage->OnCustomDlg = [this](TDBPickEdit& e) { cdConfUsage_HIDUsagePageCustomDlg(e); };
    rowPrecisionAxis = AddText("Разрядность (бит)", "Precision_Axis", false);
    AddText("Разрядность (ед.)", "Precision_AxisCalc", true);
    wwCheckBox2 = AddCheckBox("wwCheckBox2", "Инверсия", "ConfUsage_Inverted");
    wwCheckBox3 = AddCheckBox("wwCheckBox3", "Реверс", "ConfUsage_Revers");
    wwCheckBox4 = AddCheckBox("wwCheckBox4", "С центром", "ConfUsage_Centered");

    group_ = inspector.AddGroup(Ru("Управление цифровым фильтром"));
    wwCheckBox5 = AddCheckBox("wwCheckBox5", "Мажоритарный фильтр", "CentCalibFiltr_MF", group_);
    wwCheckBox6 = AddCheckBox("wwCheckBox6", "Динамический фильтр", "CentCalibFiltr_DF", group_);
    cdCentCalibFiltr_Filter = AddPickEdit("cdCentCalibFiltr_Filter", "Степень фильтра", "CentCalibFiltr_Filter");
    cdCentCalibFiltr_Filter->OnCustomDlg = [this](TDBPickEdit& e) { cdCentCalibFiltr_FilterCustomDlg(e); };

    group_ = inspector.AddGroup(Ru("Управление мертвыми зонами"));
    rowDeadZoneLow = AddText("Центр РН/Начало КТ  ( х 0,1%) 0-255", "DeadZoneLow", false, group_);
    AddText("Значение (%)", "DeadZoneLowCalcPerc", true, group_);
    AddText("Значение (ед)", "DeadZoneLowCalc", true, group_);
    rowDeadZoneHigh = AddText("Крайние РН/ Конец КТ  ( х 0,1%) 0-255", "DeadZoneHigh", false, group_);
    AddText("Значение (%)", "DeadZoneHighCalcPerc", true, group_);
    AddText("Значение (ед)", "DeadZoneHighCalc", true, group_);

    group_ = inspector.AddGroup(Ru("Управление светодиодами"));
    wwCheckBox7 = AddCheckBox("wwCheckBox7", "Вкл", "AUX_LedOn", group_);
    AddText("Зона индикации ( х 0,1%) 0-255", "Zic", false, group_);
    AddText("Зона индикации (%)", "ZicCalcPerc", true, group_);
    AddText("Зона индикации (ед.)", "ZicCalc", true, group_);
    group_ = nullptr;
    inspector.expandAll();
}

TDBCheckBox* TfmAxisConf::AddCheckBox(const char* name, const char* caption, const char* field,
                                      QTreeWidgetItem* group) {
    auto* box = new TDBCheckBox;
    box->setObjectName(name);
    box->Bind(&dsNStruct_, field);
    wwDataInspector1->AddRow(Ru(caption), box, group);
    return box;
}

TDBPickEdit* TfmAxisConf::AddPickEdit(const char* name, const char* caption, const char* field) {
    auto* edit = new TDBPickEdit;
    edit->setObjectName(name);
    edit->SetReadOnly(true);
    edit->Bind(&dsNStruct_, field);
    wwDataInspector1->AddRow(Ru(caption), edit, group_);
    return edit;
}

QTreeWidgetItem* TfmAxisConf::AddText(const char* caption, const char* field, bool readOnly,
                                      QTreeWidgetItem* group) {
    auto* edit = new TDBEdit;
    edit->setObjectName(QStringLiteral("ed") + QLatin1String(field));
    edit->SetReadOnly(readOnly);
    edit->Bind(&dsNStruct_, field);
    return wwDataInspector1->AddRow(Ru(caption), edit, group);
}

void TfmAxisConf::SetAxisCaptions(const char* precision, const char* deadZoneLow,
                                  const char* deadZoneHigh) {
    wwDataInspector1->SetCaption(rowPrecisionAxis, Ru(precision));
    wwDataInspector1->SetCaption(rowDeadZoneLow, Ru(deadZoneLow));
    wwDataInspector1->SetCaption(rowDeadZoneHigh, Ru(deadZoneHigh));
}

void TfmAxisConf::AttachLiveInput(TLiveInput* live) {
    pnLivePosition->SetLiveInput(live);
}

void TfmAxisConf::ShowForAxis(uint8_t N) {
    BuildRows();
    N_ = N;
    pnLivePosition->SetAxis(N);
    switch (N) {
    case 0:
        axes_.ReadAxis(stAxisRudder);
        SetAxisCaptions("Разрядность (бит) 8-12", "Центральная (х0,1%) 0-255", "Крайние (х0,1%) 0-255");
        break;
    case 1:
        axes_.ReadAxis(stAxisLeftBrake);
        SetAxisCaptions("Разрядность (бит) 8-10", "Начальная (х0,1%) 0-255", "Конечная (х0,1%) 0-255");
        break;
    case 2:
        axes_.ReadAxis(stAxisRightBrake);
        SetAxisCaptions("Разрядность (бит) 8-10", "Начальная (х0,1%) 0-255", "Конечная (х0,1%) 0-255");
        break;
    default:
        break;
    }
    wwDataInspector1->FocusRow(wwDataInspector1->topLevelItem(0));
    exec();
}

void TfmAxisConf::btnSaveClick() {
    // Taking the focus makes the inspector write an entry the user has just typed.
    btnSave->setFocus(Qt::OtherFocusReason);
    RunUserAction([this] { axes_.WriteAxis(N_); });
    done(mrCancel);
}

void TfmAxisConf::AssignPick(int32_t type, int32_t attr, TField& target) {
    if (rubr_.SelectRubr(type, attr) != mrOk) return;
    const int32_t kod = rubr_.ChosenKod();
    EditIfNeeded(axes_.cdsNStruct);
    target.SetInteger(kod);
}

void TfmAxisConf::cdNStructConfUsage_HIDUsageCustomDlg(TDBPickEdit&) {
    AssignPick(rubrUsagePages, 0, axes_.ConfUsage_HIDUsagePage);
}

void TfmAxisConf::cdConfUsage_HIDUsagePageCustomDlg(TDBPickEdit&) {
    const auto page = static_cast<int32_t>(axes_.ConfUsage_HIDUsagePage.AsInteger());
    AssignPick(rubrUsages, page, axes_.HID_Usage);
}

void TfmAxisConf::cdCentCalibFiltr_FilterCustomDlg(TDBPickEdit&) {
    AssignPick(rubrFilterDegrees, 0, axes_.CentCalibFiltr_Filter);
}

} // namespace qzr
