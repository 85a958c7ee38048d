#include "ui/QZR_RDR_Main.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "records/Rubr.h"
#include "ui/AppFont.h"
#include "ui/AxisConf.h"
#include "ui/LiveInput.h"
#include "ui/RubrWindow.h"
#include "ui/UserAction.h"
#include "ui/controls/BoundControl.h"
#include "ui/controls/DBCheckBox.h"
#include "ui/controls/DBPickEdit.h"
#include "ui/controls/DBText.h"
#include "ui/controls/PictureBox.h"
#include "ui/controls/RecordViewPanel.h"
#ifdef QZR_HAVE_ENGINEERING_VIEW
#include "ui/engineering/EngineeringView.h"
#endif

namespace qzr {

namespace {

QString Ru(const char* text) { return QString::fromUtf8(text); }

QPushButton* CreateButton(const char* name, const char* caption, QWidget* parent, QRect geometry) {
    auto* button = new QPushButton(Ru(caption), parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

// The pedal picture is 1471 x 878, centred on the page, and the page is never larger than the
// page control: the resource holds only that middle part (ui/pictures/render.sh cuts it).
const QSize PedalPictureSize(1471, 878);
const QPoint PedalPicturePartOrigin(335, 102);

const QColor StatusBlue(0x00, 0x00, 0xFF);
// In Panel1, from under lbStatus to well above BitBtn1.
const QRect StatusHintArea(6, 168, 206, 420);
const QColor StatusRed(0xFF, 0x00, 0x00);

} // namespace

TMainWindowCore::TMainWindowCore(IHidPlatform& hidPlatform) : platform(hidPlatform) {}

TfmQZR_Rdr_CP_Main::TfmQZR_Rdr_CP_Main(IHidPlatform& platform, QWidget* parent)
    : TMainWindowCore(platform), QWidget(parent) {
    setObjectName("fmQZR_Rdr_CP_Main");
    setWindowTitle(QString::fromUtf8(AppTitle));
    setFont(UiFont(11));
    setFixedSize(1018, 674);
    setAutoFillBackground(true);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setGeometry(0, 0, 800, 674);
    PageControl1->setDocumentMode(false);
    CreatePedalPage();
    CreateEngineeringPage();
    CreateSidePanel();
    CreateLiveAxes();
    SetTabOrder();
    WireHandlers();
    notificationWatcher_ = new TQtNotificationWatcher(platform, this);
    ShowConnectionView();
    FormCreate();
}

TfmQZR_Rdr_CP_Main::~TfmQZR_Rdr_CP_Main() {
    // The controller must not call into a half-destroyed window.
    HidCtl.OnDeviceChange = nullptr;
    HidCtl.OnEnumerate = nullptr;
    connection.OnViewChanged = nullptr;
    SetClassifier(nullptr);   // the classifier dialog goes with the child widgets
}

void TfmQZR_Rdr_CP_Main::CreatePedalPage() {
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName("TabSheet1");
    PageControl1->addTab(TabSheet1, Ru("Педали"));

    Image1 = new TPictureBox(TabSheet1);
    Image1->setObjectName("Image1");
    Image1->SetPicturePart(LoadPicture(QStringLiteral(":/pictures/pedals.png"), devicePixelRatioF()),
                           PedalPictureSize, PedalPicturePartOrigin);
    auto* fill = new QVBoxLayout(TabSheet1);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(Image1);

    DBText1 = new TDBText(TabSheet1);
    DBText1->setObjectName("DBText1");
    DBText1->setGeometry(330, 223, 83, 24);
    DBText1->setAlignment(Qt::AlignCenter);
    DBText1->setFont(UiFont(19));
    DBText1->setAttribute(Qt::WA_TranslucentBackground);
    DBText1->Bind(&dsGlobal, "UID_SerN");

    btnAxis1 = CreateButton("btnAxis1", "Левый КТ", TabSheet1, {101, 312, 75, 25});
    btnAxis2 = CreateButton("btnAxis2", "Правый КТ", TabSheet1, {566, 312, 75, 25});
    btnAxis0 = CreateButton("btnAxis0", "Руль", TabSheet1, {334, 482, 75, 25});
    CreateControllerGroup();
}

TDBCheckBox* TfmQZR_Rdr_CP_Main::CreateFlagBox(const char* name, const char* field) {
    auto* box = new TDBCheckBox;
    box->setObjectName(name);
    box->Bind(&dsGlobal, field);
    box->OnClick = [this](TDBCheckBox& sender) { wwCBDevConf_Click(sender); };
    return box;
}

void TfmQZR_Rdr_CP_Main::CreateControllerGroup() {
    gbController = new QGroupBox(Ru("Контроллер"), TabSheet1);
    gbController->setObjectName("gbController");
    gbController->setGeometry(260, 3, 241, 199);
    gbController->setAutoFillBackground(true);

    wwRecordViewPanel1 = new TRecordViewPanel(gbController);
    wwRecordViewPanel1->setObjectName("wwRecordViewPanel1");
    wwRecordViewPanel1->setGeometry(2, 15, 237, 90);
    wwRecordViewPanel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    wwCBDevConf_MF = CreateFlagBox("wwCBDevConf_MF", "DevConf_MF");
    wwCBDevConf_DF = CreateFlagBox("wwCBDevConf_DF", "DevConf_DF");
    wwCBDevConf_AxesAuto = CreateFlagBox("wwCBDevConf_AxesAuto", "DevConf_AxesAuto");
    cdDevConf_CalibrMode = new TDBPickEdit;
    cdDevConf_CalibrMode->setObjectName("cdDevConf_CalibrMode");
    cdDevConf_CalibrMode->Bind(&dsGlobal, "DevConf_CalibrModeCalc");
    cdDevConf_CalibrMode->OnCustomDlg = [this](TDBPickEdit& sender) { cdDevConf_CalibrModeCustomDlg(sender); };

    wwRecordViewPanel1->AddEntry(Ru("Мажоритарный фильтр"), wwCBDevConf_MF, 5);
    wwRecordViewPanel1->NewLine();
    wwRecordViewPanel1->AddEntry(Ru("Динамический фильтр"), wwCBDevConf_DF, 5);
    wwRecordViewPanel1->NewLine();
    wwRecordViewPanel1->AddEntry(Ru("Автоопределение осей"), wwCBDevConf_AxesAuto, 5);
    wwRecordViewPanel1->NewLine();
    wwRecordViewPanel1->AddEntry(Ru("Режим работы"), cdDevConf_CalibrMode, 20);

    btnSaveGlobal = CreateButton("btnSaveGlobal", "Сохранить данные", gbController, {16, 107, 209, 25});
    BtnCalibr = CreateButton("BtnCalibr", "Калибровать", gbController, {16, 140, 209, 25});
    btnCancelCalibr = CreateButton("btnCancelCalibr", "Отменить калибровку", gbController, {16, 171, 209, 25});
    BtnCalibr->setProperty("tag", 0);
    btnCancelCalibr->setEnabled(false);
}

void TfmQZR_Rdr_CP_Main::CreateSidePanel() {
    auto* side = new QFrame(this);
    side->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1 = side;
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(800, 0, 218, 674);

    auto* logoFrame = new QFrame(Panel1);
    logoFrame->setFrameStyle(QFrame::Box | QFrame::Plain);
    logoFrame->setStyleSheet(QStringLiteral("QFrame#Panel4 { border: 1px solid palette(mid); }"));
    Panel4 = logoFrame;
    Panel4->setObjectName("Panel4");
    Panel4->setGeometry(1, 1, 216, 104);
    Image2 = new TPictureBox(Panel4);
    Image2->setObjectName("Image2");
    Image2->SetPicture(LoadPicture(QStringLiteral(":/pictures/logo.png"), devicePixelRatioF()));
    auto* fill = new QVBoxLayout(Panel4);
    fill->setContentsMargins(1, 1, 1, 1);
    fill->addWidget(Image2);

    Label3 = new QLabel(Ru("ЮЗР педали"), Panel1);
    Label3->setObjectName("Label3");
    Label3->setGeometry(1, 105, 216, 29);
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setFont(UiFont(24));

    lbStatus = new QLabel(Panel1);
    lbStatus->setObjectName("lbStatus");
    lbStatus->setGeometry(1, 134, 216, 29);
    lbStatus->setAlignment(Qt::AlignCenter);
    lbStatus->setFont(UiFont(24));

    pnGeneralInfo = new QWidget(Panel1);
    pnGeneralInfo->setObjectName("pnGeneralInfo");
    pnGeneralInfo->setGeometry(1, 163, 216, 510);
    BitBtn1 = CreateButton("BitBtn1", "Перегрузить", pnGeneralInfo, {5, 439, 203, 25});
    BitBtn2 = CreateButton("BitBtn2", "Переписать установки по умолчанию", pnGeneralInfo, {5, 470, 203, 25});
    CreateStatusHint();
}

// Under lbStatus, over the top of pnGeneralInfo (which is hidden whenever there is much to
// say), so its text can be selected in either state; it never reaches the buttons below.
void TfmQZR_Rdr_CP_Main::CreateStatusHint() {
    lbStatusHint = new QLabel(Panel1);
    lbStatusHint->setObjectName("lbStatusHint");
    lbStatusHint->setGeometry(StatusHintArea);
    lbStatusHint->setWordWrap(true);
    lbStatusHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbStatusHint->setTextFormat(Qt::PlainText);
    lbStatusHint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lbStatusHint->hide();
}

void TfmQZR_Rdr_CP_Main::ShowStatusHint(const std::string& hint) {
    lbStatusHint->setText(QString::fromStdString(hint));
    const int height = std::min(lbStatusHint->heightForWidth(StatusHintArea.width()), StatusHintArea.height());
    lbStatusHint->setGeometry(StatusHintArea.adjusted(0, 0, 0, height - StatusHintArea.height()));
    lbStatusHint->setVisible(!hint.empty());
}

// Live axis rows sit in the free part of pnGeneralInfo, their bottom just above BitBtn1.
void TfmQZR_Rdr_CP_Main::CreateLiveAxes() {
    pnLiveAxes = new TLiveAxesPanel(axisNames_, pnGeneralInfo);
    pnLiveAxes->setGeometry(5, 8, 203, BitBtn1->y() - 8 - 8);
    liveInput_ = new TLiveInput(platform, this);
    connect(liveInput_, &TLiveInput::refreshed, pnLiveAxes, [this] { pnLiveAxes->Show(liveInput_->Axes()); });
}

// Nothing is read while the window cannot be seen.
void TfmQZR_Rdr_CP_Main::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && liveInput_) liveInput_->SetPaused(isMinimized());
    QWidget::changeEvent(event);
}

void TfmQZR_Rdr_CP_Main::SetAxisDialog(TfmAxisConf* axisConf) {
    fmAxisConf = axisConf;
    if (fmAxisConf) fmAxisConf->AttachLiveInput(liveInput_);
}

void TfmQZR_Rdr_CP_Main::CreateEngineeringPage() {
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName("TabSheet2");
    PageControl1->addTab(TabSheet2, Ru("Конфигуратор"));
}

QWidget* TfmQZR_Rdr_CP_Main::Engineering() {
    BuildEngineeringView();
    return EngineeringView;
}

void TfmQZR_Rdr_CP_Main::BuildEngineeringView() {
#ifdef QZR_HAVE_ENGINEERING_VIEW
    if (EngineeringView) return;
    TEngineeringHooks hooks;
    hooks.CheckBoxClick = [this](TDataSource& source, const std::string& field, bool checked) {
        RunUserAction([&] { AssignCheckBoxState(source, field, checked); });
    };
    hooks.cdNStructConfUsage_HIDUsageCustomDlg = [this] { RunUserAction([this] { cdNStructConfUsage_HIDUsageCustomDlg(); }); };
    hooks.cdConfUsage_HIDUsagePageCustomDlg = [this] { RunUserAction([this] { cdConfUsage_HIDUsagePageCustomDlg(); }); };
    hooks.cdCentCalibFiltr_FilterCustomDlg = [this] { RunUserAction([this] { cdCentCalibFiltr_FilterCustomDlg(); }); };
    hooks.cdDevConf_CalibrModeCustomDlg = [this] {
        RunUserAction([this] { AssignPick(rubrCalibrModes, 0, global.DevConf_CalibrMode); });
    };
    auto* view = new TEngineeringView(global, axes, dsGlobal, dsNStruct, std::move(hooks), TabSheet2);
    view->setObjectName("EngineeringView");
    auto* fill = new QVBoxLayout(TabSheet2);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(view);
    EngineeringView = view;
#endif
}

void TfmQZR_Rdr_CP_Main::SetTabOrder() {
    const QList<QWidget*> chain = {PageControl1, btnAxis1, btnAxis2, btnAxis0,
                                   wwCBDevConf_MF, wwCBDevConf_DF, wwCBDevConf_AxesAuto, cdDevConf_CalibrMode,
                                   BtnCalibr, btnCancelCalibr, btnSaveGlobal, BitBtn1, BitBtn2};
    for (qsizetype i = 0; i + 1 < chain.size(); ++i) setTabOrder(chain[i], chain[i + 1]);
}

void TfmQZR_Rdr_CP_Main::WireHandlers() {
    HidCtl.OnEnumerate = [this](THidDevice& device, int32_t index) {
        return connection.HidCtlEnumerate(device, index);
    };
    HidCtl.OnDeviceChange = [this](THidDeviceController&) {
        RunUserAction([this] { connection.HidCtlDeviceChange(); });
    };
    connection.OnViewChanged = [this] { ShowConnectionView(); };

    const auto onClick = [this](QPushButton* button, void (TfmQZR_Rdr_CP_Main::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    onClick(btnAxis0, &TfmQZR_Rdr_CP_Main::btnAxis0Click);
    onClick(btnAxis1, &TfmQZR_Rdr_CP_Main::btnAxis1Click);
    onClick(btnAxis2, &TfmQZR_Rdr_CP_Main::btnAxis2Click);
    onClick(btnSaveGlobal, &TfmQZR_Rdr_CP_Main::btnSaveGlobalClick);
    onClick(BtnCalibr, &TfmQZR_Rdr_CP_Main::BtnCalibrClick);
    onClick(btnCancelCalibr, &TfmQZR_Rdr_CP_Main::btnCancelCalibrClick);
    onClick(BitBtn1, &TfmQZR_Rdr_CP_Main::BitBtn1Click);
    onClick(BitBtn2, &TfmQZR_Rdr_CP_Main::BitBtn2Click);
}

void TfmQZR_Rdr_CP_Main::FormCreate() {
    PageControl1->removeTab(PageControl1->indexOf(TabSheet2));
    TabSheet2->setEnabled(false);
    PageControl1->setCurrentWidget(TabSheet1);
}

void TfmQZR_Rdr_CP_Main::SetClassifier(TfmRubr* rubr) {
    fmRubr = rubr;
    if (rubr) axisNames_.ReadClassifier(rubr->Rubr());
    global.SetClassifier(rubr ? &rubr->Rubr() : nullptr);
    axes.SetClassifier(rubr ? &rubr->Rubr() : nullptr);
}

void TfmQZR_Rdr_CP_Main::ShowConnectionView() {
    const TConnectionView& view = connection.View();
    lbStatus->setText(QString::fromStdString(view.statusText));
    QPalette palette = lbStatus->palette();
    palette.setColor(QPalette::WindowText, view.statusColour == TStatusColour::Blue ? StatusBlue
                                           : view.statusColour == TStatusColour::Red ? StatusRed
                                                                                     : this->palette().color(QPalette::WindowText));
    lbStatus->setPalette(palette);
    pnGeneralInfo->setVisible(view.generalInfoVisible);
    gbController->setVisible(view.controllerVisible);
    for (QPushButton* button : {btnAxis0, btnAxis1, btnAxis2}) button->setVisible(view.axisButtonsVisible);
    BtnCalibr->setText(QString::fromStdString(view.calibrCaption));
    BtnCalibr->setProperty("tag", view.calibrTag);
    btnCancelCalibr->setEnabled(view.cancelCalibrEnabled);
    ShowStatusHint(view.statusHint);
    liveInput_->Follow(connection.Device());
}

void TfmQZR_Rdr_CP_Main::ShowAxis(uint8_t N) {
    if (!fmAxisConf) return;
    RunUserAction([&] { fmAxisConf->ShowForAxis(N); });
}

void TfmQZR_Rdr_CP_Main::btnAxis0Click() { ShowAxis(0); }
void TfmQZR_Rdr_CP_Main::btnAxis1Click() { ShowAxis(1); }
void TfmQZR_Rdr_CP_Main::btnAxis2Click() { ShowAxis(2); }

void TfmQZR_Rdr_CP_Main::btnSaveGlobalClick() {
    RunUserAction([this] { global.WriteGlobal(); });
}

void TfmQZR_Rdr_CP_Main::BtnCalibrClick() {
    RunUserAction([this] { connection.BtnCalibrClick(); });
}

void TfmQZR_Rdr_CP_Main::btnCancelCalibrClick() {
    RunUserAction([this] { connection.btnCancelCalibrClick(); });
}

void TfmQZR_Rdr_CP_Main::BitBtn1Click() {
    RunUserAction([this] { connection.BitBtn1Click(); });
}

void TfmQZR_Rdr_CP_Main::BitBtn2Click() {
    RunUserAction([this] { connection.BitBtn2Click(); });
}

void TfmQZR_Rdr_CP_Main::AssignCheckBoxState(TDataSource& source, const std::string& dataField, bool checked) {
    TField& field = source.DataSet()->FieldNamed(dataField);
    EditIfNeeded(field.DataSet());
    field.SetBoolean(checked);
}

void TfmQZR_Rdr_CP_Main::wwCBDevConf_Click(TDBCheckBox& Sender) {
    if (!Sender.DataSource()) return;
    AssignCheckBoxState(*Sender.DataSource(), Sender.DataField(), Sender.isChecked());
}

// The editors of the main window have made their edit request before the pick runs.
void TfmQZR_Rdr_CP_Main::AssignPick(int32_t type, int32_t attr, TField& target) {
    if (!fmRubr || fmRubr->Rubr().SelectRubr(type, attr) != mrOk) return;
    target.SetInteger(fmRubr->Rubr().ChosenKod());
}

void TfmQZR_Rdr_CP_Main::cdDevConf_CalibrModeCustomDlg(TDBPickEdit&) {
    AssignPick(rubrCalibrModes, 0, global.DevConf_CalibrMode);
}

void TfmQZR_Rdr_CP_Main::cdNStructConfUsage_HIDUsageCustomDlg() {
    AssignPick(rubrUsagePages, 0, axes.ConfUsage_HIDUsagePage);
}

void TfmQZR_Rdr_CP_Main::cdConfUsage_HIDUsagePageCustomDlg() {
    AssignPick(rubrUsages, static_cast<int32_t>(axes.ConfUsage_HIDUsagePage.AsInteger()), axes.HID_Usage);
}

void TfmQZR_Rdr_CP_Main::cdCentCalibFiltr_FilterCustomDlg() {
    AssignPick(rubrFilterDegrees, 0, axes.CentCalibFiltr_Filter);
}

} // namespace qzr
