#include "ui/engineering/EngineeringView.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

#include "records/AxisRecords.h"
#include "records/GlobalRecord.h"
#include "ui/UserAction.h"
#include "ui/controls/DBCheckBox.h"
#include "ui/controls/DBEdit.h"
#include "ui/controls/RecordViewPanel.h"
#include "ui/engineering/NStructGrid.h"
#include "ui/engineering/NStructModel.h"

namespace qzr {

namespace {

enum class TEntryKind {
    Text,
    CheckBox,
    Elsewhere,   // the control sits in the controller panel of the page "Педали"
    NewLine,
};

struct TGlobalEntry {
    TEntryKind kind;
    const char* field = "";
    int width = 0;
    const char* label = "";
    bool readOnly = false;
    const char* editorName = "";
};

constexpr TGlobalEntry NewLine{TEntryKind::NewLine};

const std::array GlobalEntries{
    TGlobalEntry{TEntryKind::Text, "CRC", 10, "CRC"},
    TGlobalEntry{TEntryKind::Text, "Len", 10, "Len"},
    TGlobalEntry{TEntryKind::Text, "DevID", 10, "DevID"},
    NewLine,
    TGlobalEntry{TEntryKind::Text, "UID_SerN", 10, "UID_SerN"},
    TGlobalEntry{TEntryKind::Text, "UID_3", 10, "UID_3"},
    TGlobalEntry{TEntryKind::Text, "UID_5", 10, "UID_5"},
    TGlobalEntry{TEntryKind::Text, "UID_7", 10, "UID_7"},
    NewLine,
    TGlobalEntry{TEntryKind::Text, "NStruct", 10, "NStruct"},
    TGlobalEntry{TEntryKind::Text, "Power", 10, "Power"},
    TGlobalEntry{TEntryKind::Text, "AUX", 10, "AUX"},
    NewLine,
    TGlobalEntry{TEntryKind::Text, "DevConf", 3, "DevConf", true},
    NewLine,
    TGlobalEntry{TEntryKind::CheckBox, "DevConf_7", 5, "Bit7", false, "wwCBDevConf_7"},
    TGlobalEntry{TEntryKind::CheckBox, "DevConf_6", 5, "Bit6", false, "wwCBDevConf_6"},
    TGlobalEntry{TEntryKind::CheckBox, "DevConf_5", 5, "Bit5", false, "wwCBDevConf_5"},
    TGlobalEntry{TEntryKind::Elsewhere, "DevConf_DF", 5, "DF"},
    TGlobalEntry{TEntryKind::Elsewhere, "DevConf_MF", 5, "MF"},
    TGlobalEntry{TEntryKind::Elsewhere, "DevConf_AxesAuto", 5, "AxesAuto"},
    NewLine,
    TGlobalEntry{TEntryKind::Text, "DevConf_CalibrMode", 2, "CalibrMode", true},
    TGlobalEntry{TEntryKind::Elsewhere, "DevConf_CalibrModeCalc", 20, "Режим калибровки"},
};

void KeepPlaceEmpty(QWidget& widget) {
    QSizePolicy policy = widget.sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget.setSizePolicy(policy);
    widget.hide();
}

QPushButton* PlaceButton(QWidget* panel, const char* name, const char* caption, QRect geometry) {
    auto* button = new QPushButton(QString::fromUtf8(caption), panel);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

QWidget* FixedHeightPanel(QWidget* parent, const char* name, int height) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setFixedHeight(height);
    return panel;
}

} // namespace

TEngineeringView::TEngineeringView(TGlobalRecord& global, TAxisRecords& axes, TDataSource& dsGlobal,
                                   TDataSource& dsNStruct, TEngineeringHooks hooks, QWidget* parent)
    : QWidget(parent),
      global_(global),
      axes_(axes),
      dsGlobal_(dsGlobal),
      dsNStruct_(dsNStruct),
      hooks_(std::move(hooks)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(createGlobalGroup(), 1);
    layout->addWidget(createNStructGroup());
    updateWriteAxisButton();
}

TEngineeringView::~TEngineeringView() = default;

QGroupBox* TEngineeringView::createGlobalGroup() {
    gbGlobal = new QGroupBox(QStringLiteral("Global"), this);
    gbGlobal->setObjectName("gbGlobal");
    rvpGlobal = new TRecordViewPanel(gbGlobal);
    rvpGlobal->setObjectName("rvpGlobal");
    fillGlobalPanel();

    QWidget* panel3 = FixedHeightPanel(gbGlobal, "Panel3", 77);
    btReadGlobal = PlaceButton(panel3, "btReadGlobal", "Прочитать Global", {5, 9, 107, 25});
    btWriteGlobal = PlaceButton(panel3, "btWriteGlobal", "Записать Global", {140, 9, 107, 25});
    connect(btReadGlobal, &QPushButton::clicked, this, &TEngineeringView::btReadGlobalClick);
    connect(btWriteGlobal, &QPushButton::clicked, this, &TEngineeringView::btWriteGlobalClick);

    auto* layout = new QVBoxLayout(gbGlobal);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(rvpGlobal);
    layout->addStretch(1);
    layout->addWidget(panel3);
    return gbGlobal;
}

void TEngineeringView::fillGlobalPanel() {
    for (const TGlobalEntry& entry : GlobalEntries) {
        const QString label = QString::fromUtf8(entry.label);
        switch (entry.kind) {
        case TEntryKind::NewLine:
            rvpGlobal->NewLine();
            break;
        case TEntryKind::Text: {
            auto* edit = new TDBEdit;
            edit->SetReadOnly(entry.readOnly);
            edit->Bind(&dsGlobal_, entry.field);
            rvpGlobal->AddEntry(label, edit, entry.width);
            break;
        }
        case TEntryKind::CheckBox: {
            auto* box = new TDBCheckBox;
            box->setObjectName(entry.editorName);
            box->Bind(&dsGlobal_, entry.field);
            box->OnClick = [this](TDBCheckBox& sender) {
                if (hooks_.CheckBoxClick)
                    hooks_.CheckBoxClick(*sender.DataSource(), sender.DataField(), sender.isChecked());
            };
            rvpGlobal->AddEntry(label, box, entry.width);
            break;
        }
        case TEntryKind::Elsewhere: {
            auto* place = new QWidget;
            KeepPlaceEmpty(*rvpGlobal->AddEntry(label, place, entry.width));
            KeepPlaceEmpty(*place);
            break;
        }
        }
    }
}

QGroupBox* TEngineeringView::createNStructGroup() {
    gbNStruct = new QGroupBox(QStringLiteral("NStruct"), this);
    gbNStruct->setObjectName("gbNStruct");
    gbNStruct->setFixedHeight(177);
    gdNStruct = new TNStructGrid(dsNStruct_, hooks_, gbNStruct);
    gdNStruct->setObjectName("gdNStruct");

    QWidget* panel2 = FixedHeightPanel(gbNStruct, "Panel2", 41);
    btReadAxis0 = PlaceButton(panel2, "btReadAxis0", "Прочитать все оси", {8, 8, 118, 25});
    btnWriteAxis = PlaceButton(panel2, "btnWriteAxis", "Сохранить", {143, 8, 118, 25});
    cbSaveAllAxes = new QCheckBox(QString::fromUtf8("Все оси"), panel2);
    cbSaveAllAxes->setObjectName("cbSaveAllAxes");
    cbSaveAllAxes->move(272, 16);
    connect(btReadAxis0, &QPushButton::clicked, this, &TEngineeringView::btReadAxis0Click);
    connect(btnWriteAxis, &QPushButton::clicked, this, &TEngineeringView::btnWriteAxisClick);

    const TNStructModel& model = gdNStruct->Model();
    connect(&model, &QAbstractItemModel::rowsInserted, this, [this] { updateWriteAxisButton(); });
    connect(&model, &QAbstractItemModel::rowsRemoved, this, [this] { updateWriteAxisButton(); });

    auto* layout = new QVBoxLayout(gbNStruct);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    layout->addWidget(gdNStruct, 1);
    layout->addWidget(panel2);
    return gbNStruct;
}

// With no axis row there is no record to save: its fields would read as zeros and the rudder
// would be overwritten with an empty structure.
void TEngineeringView::updateWriteAxisButton() {
    btnWriteAxis->setEnabled(gdNStruct->Model().rowCount() > 0);
}

void TEngineeringView::btReadGlobalClick() {
    RunUserAction([this] { global_.ReadGlobal(); });
}

void TEngineeringView::btWriteGlobalClick() {
    RunUserAction([this] { global_.WriteGlobal(); });
}

void TEngineeringView::btReadAxis0Click() {
    RunUserAction([this] {
        for (uint8_t structureId : {stAxisRudder, stAxisLeftBrake, stAxisRightBrake})
            axes_.ReadAxis(structureId);
    });
}

void TEngineeringView::btnWriteAxisClick() {
    RunUserAction([this] {
        if (!axes_.cdsNStruct.HasCurrent()) return;
        axes_.WriteAxis(static_cast<uint8_t>(axes_.N.AsInteger() & 0xFF));
    });
}

} // namespace qzr
