// The engineering page on its own: the Global and axis records over a command channel to the
// emulated pedals, the page's hooks doing what the main window's handlers do.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "hid/sim/EmulatedPedals.h"
#include "link/CommandChannel.h"
#include "records/AxisRecords.h"
#include "records/GlobalRecord.h"
#include "records/Rubr.h"
#include "tests/support/FakeServices.h"
#include "ui/controls/DBCheckBox.h"
#include "ui/controls/DBEdit.h"
#include "ui/controls/DBPickEdit.h"
#include "ui/controls/RecordViewPanel.h"
#include "ui/engineering/EngineeringView.h"
#include "ui/engineering/NStructGrid.h"
#include "ui/engineering/NStructModel.h"
#include "ui/engineering/TwoLineHeader.h"

using namespace qzr;

namespace {

using TStructure = sim::TEmulatedPedals::TStructure;

// The pedals reached directly, as the HID controller's device would reach them.
class TPedalsDevice : public IFeatureDevice {
public:
    explicit TPedalsDevice(sim::TEmulatedPedals& pedals) : pedals_(pedals) {}
    bool GetFeatureReport(uint8_t* buffer, int32_t length) override {
        return pedals_.GetFeature(buffer, length) >= 0;
    }
    bool SetFeatureReport(const uint8_t* buffer, int32_t length) override {
        return pedals_.SetFeature(buffer, length) >= 0;
    }

private:
    sim::TEmulatedPedals& pedals_;
};

// Answers every error box at once and keeps its text.
class TErrorBoxCatcher : public QObject {
public:
    QStringList texts;

    TErrorBoxCatcher() {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            texts << box->text();
            box->accept();
        });
        timer_.start();
    }

private:
    QTimer timer_;
};

// Len, Type, ConfUsage, HID_Usage, Precision, CentCalibFiltr, AUX, Zic, DeadZoneLow,
// DeadZoneHigh, KD_High, KdLow, Bias (two-byte words low byte first).
const TStructure Rudder{16, 1, 0x41, 0xBA, 0x0A, 0x98, 0x02, 5, 10, 20, 0x34, 0x12, 0, 0, 0, 0};
const TStructure LeftBrake{16, 2, 0x61, 0x30, 0x0C, 0x00, 0x00, 0, 25, 0, 0, 0, 1, 0, 0, 0};
const TStructure RightBrake{16, 3, 0x42, 0x31, 0x0A, 0x04, 0x05, 7, 0, 255, 0, 0, 0, 0, 2, 0};

struct TExpectedGroup {
    const char* title;
    int first;   // column numbers counted from 1
    int last;
};

} // namespace

class EngineeringViewTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layoutHasNamedControlsWhereTheyBelong();
    void globalPanelBindsItsFieldsAndLeavesMovedPlacesEmpty();
    void headerGroupsAdjacentColumnsUnderOneTitle();
    void headerPaintsOneCellPerGroup();
    void rowsFollowReadsAndEditsMadeElsewhere();
    void readAllAxesWithoutPedalsShowsOneMessagePerAxis();
    void recordSetErrorEndsTheClickInAnErrorBox();
    void selectingARowMakesItCurrent();
    void gridCheckBoxSetsItsBitAndLeavesTheSetEditing_data();
    void gridCheckBoxSetsItsBitAndLeavesTheSetEditing();
    void centreColumnIsShownButNotClickable();
    void gridCheckBoxDoesNothingWhenTheSetWillNotEdit();
    void gridCheckBoxWithoutHandlerKeepsItsStatePendingUntilPost();
    void globalCheckBoxGoesThroughTheSharedHandler();
    void saveIsDisabledWhileTheGridIsEmpty();
    void saveWritesTheAxisOfTheCurrentRowWhateverAllAxesSays();
    void pendingGridTextIsWrittenAtPost();
    void refusedGridEntryKeepsTheOldValue_data();
    void refusedGridEntryKeepsTheOldValue();
    void pickColumnsAskToEditBeforeTheirHandler();
    void textIntoNameColumnChangesOnlyTheName();
    void textIntoDegreeColumnAssignsTheDegree();

private:
    void ReadAllAxes() { Find<QPushButton>("btReadAxis0")->click(); }
    template <class T>
    T* Find(const char* name) const {
        T* widget = view->findChild<T*>(QString::fromLatin1(name));
        if (!widget) qFatal("no %s", name);
        return widget;
    }
    TNStructGrid& Grid() const { return *Find<TNStructGrid>("gdNStruct"); }
    int ColumnOf(const char* field) const;
    QModelIndex Cell(int row, const char* field) const;
    void ClickCell(const QModelIndex& cell);
    TDBEdit* OpenEditor(const QModelIndex& cell);
    QList<uint8_t> SentCommandCodes() const;

    std::unique_ptr<sim::TEmulatedPedals> pedals;
    std::unique_ptr<TPedalsDevice> device;
    test::TManualTicks ticks;
    std::unique_ptr<test::TScriptedPump> pump;
    test::TRecordingMessages messages;
    TConnectionState state;
    std::unique_ptr<TCommandChannel> channel;
    std::unique_ptr<TRubr> rubr;
    std::unique_ptr<TGlobalRecord> global;
    std::unique_ptr<TAxisRecords> axes;
    std::unique_ptr<TDataSource> dsGlobal;
    std::unique_ptr<TDataSource> dsNStruct;
    std::unique_ptr<TErrorBoxCatcher> errors;
    QStringList picks;
    std::unique_ptr<TEngineeringView> view;
};

void EngineeringViewTest::init() {
    pedals = std::make_unique<sim::TEmulatedPedals>();
    pedals->SetStructure(stAxisRudder, Rudder);
    pedals->SetStructure(stAxisLeftBrake, LeftBrake);
    pedals->SetStructure(stAxisRightBrake, RightBrake);
    pedals->OnBusDrop = [this](sim::TBusDrop) { pedals->Attach(); };
    device = std::make_unique<TPedalsDevice>(*pedals);
    state.device = device.get();
    state.featureReportLength = sim::TEmulatedPedals::NormalFeatureLength;
    pump = std::make_unique<test::TScriptedPump>(ticks);
    messages = {};
    channel = std::make_unique<TCommandChannel>(state, messages, ticks, *pump);
    rubr = std::make_unique<TRubr>();
    rubr->FormCreate();
    global = std::make_unique<TGlobalRecord>(*channel, rubr.get());
    axes = std::make_unique<TAxisRecords>(*channel, rubr.get());
    dsGlobal = std::make_unique<TDataSource>(&global->cdsGlobal, "dsGlobal");
    dsNStruct = std::make_unique<TDataSource>(&axes->cdsNStruct, "dsNStruct");
    errors = std::make_unique<TErrorBoxCatcher>();
    picks.clear();

    TEngineeringHooks hooks;
    hooks.CheckBoxClick = [](TDataSource& source, const std::string& dataField, bool checked) {
        TField& field = source.DataSet()->FieldNamed(dataField);
        if (!field.DataSet().IsEditing()) field.DataSet().StartEdit();
        field.SetBoolean(checked);
    };
    // Each pick confirms a fixed row, as a user choosing it in the classifier would.
    hooks.cdNStructConfUsage_HIDUsageCustomDlg = [this] {
        picks << QString::fromLatin1(axes->cdsNStruct.IsEditing() ? "page, editing" : "page");
        axes->ConfUsage_HIDUsagePage.SetInteger(1);
    };
    hooks.cdConfUsage_HIDUsagePageCustomDlg = [this] {
        picks << QString::fromLatin1(axes->cdsNStruct.IsEditing() ? "usage, editing" : "usage");
        axes->HID_Usage.SetInteger(187);
    };
    hooks.cdCentCalibFiltr_FilterCustomDlg = [this] {
        picks << QString::fromLatin1(axes->cdsNStruct.IsEditing() ? "degree, editing" : "degree");
        axes->CentCalibFiltr_Filter.SetInteger(4);
    };
    view = std::make_unique<TEngineeringView>(*global, *axes, *dsGlobal, *dsNStruct, std::move(hooks));
    view->resize(792, 646);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
}

void EngineeringViewTest::cleanup() {
    view.reset();
    errors.reset();
    dsNStruct.reset();
    dsGlobal.reset();
    axes.reset();
    global.reset();
    rubr.reset();
    channel.reset();
}

int EngineeringViewTest::ColumnOf(const char* field) const {
    const auto columns = NStructColumns();
    for (size_t i = 0; i < columns.size(); ++i)
        if (qstrcmp(columns[i].field, field) == 0) return static_cast<int>(i);
    qFatal("no column %s", field);
}

QModelIndex EngineeringViewTest::Cell(int row, const char* field) const {
    return Grid().model()->index(row, ColumnOf(field));
}

void EngineeringViewTest::ClickCell(const QModelIndex& cell) {
    Grid().scrollTo(cell);
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, Grid().visualRect(cell).center());
}

TDBEdit* EngineeringViewTest::OpenEditor(const QModelIndex& cell) {
    Grid().scrollTo(cell);
    Grid().setCurrentIndex(cell);
    Grid().edit(cell);
    return dynamic_cast<TDBEdit*>(Grid().indexWidget(cell));
}

QList<uint8_t> EngineeringViewTest::SentCommandCodes() const {
    QList<uint8_t> codes;
    for (uint8_t code : pedals->CommandCodes()) codes << code;
    return codes;
}

void EngineeringViewTest::layoutHasNamedControlsWhereTheyBelong() {
    struct TButton {
        const char* name;
        const char* caption;
        const char* panel;
        QRect geometry;
    };
    const TButton buttons[] = {
        {"btReadGlobal", "Прочитать Global", "Panel3", {5, 9, 107, 25}},
        {"btWriteGlobal", "Записать Global", "Panel3", {140, 9, 107, 25}},
        {"btReadAxis0", "Прочитать все оси", "Panel2", {8, 8, 118, 25}},
        {"btnWriteAxis", "Сохранить", "Panel2", {143, 8, 118, 25}},
    };
    for (const TButton& expected : buttons) {
        const auto* button = Find<QPushButton>(expected.name);
        QCOMPARE(button->text(), QString::fromUtf8(expected.caption));
        QCOMPARE(button->parentWidget()->objectName(), QString::fromLatin1(expected.panel));
        QCOMPARE(button->geometry(), expected.geometry);
    }
    const auto* allAxes = Find<QCheckBox>("cbSaveAllAxes");
    QCOMPARE(allAxes->text(), QString::fromUtf8("Все оси"));
    QCOMPARE(allAxes->pos(), QPoint(272, 16));
    QCOMPARE(allAxes->parentWidget()->objectName(), QString::fromLatin1("Panel2"));

    const auto* gbGlobal = Find<QGroupBox>("gbGlobal");
    const auto* gbNStruct = Find<QGroupBox>("gbNStruct");
    QCOMPARE(gbGlobal->title(), QString::fromLatin1("Global"));
    QCOMPARE(gbNStruct->title(), QString::fromLatin1("NStruct"));
    QCOMPARE(gbNStruct->height(), 177);
    QCOMPARE(gbNStruct->geometry().bottom(), view->rect().bottom());
    QCOMPARE(gbGlobal->geometry().bottom() + 1, gbNStruct->geometry().top());
    QCOMPARE(Find<QWidget>("Panel3")->height(), 77);
    QCOMPARE(Find<QWidget>("Panel2")->height(), 41);
    QVERIFY(Find<QWidget>("rvpGlobal")->parentWidget() == gbGlobal);
    QVERIFY(Find<QWidget>("Panel3")->geometry().top() > Find<QWidget>("rvpGlobal")->geometry().bottom());
    QVERIFY(Find<QWidget>("Panel2")->geometry().top() > Grid().geometry().bottom());
    QCOMPARE(Grid().horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(!Grid().verticalHeader()->isVisible());
}

void EngineeringViewTest::globalPanelBindsItsFieldsAndLeavesMovedPlacesEmpty() {
    struct TEntry {
        const char* field;
        const char* label;
        bool readOnly;
    };
    const TEntry texts[] = {
        {"CRC", "CRC", false},        {"Len", "Len", false},         {"DevID", "DevID", false},
        {"UID_SerN", "UID_SerN", false}, {"UID_3", "UID_3", false}, {"UID_5", "UID_5", false},
        {"UID_7", "UID_7", false},    {"NStruct", "NStruct", false}, {"Power", "Power", false},
        {"AUX", "AUX", false},        {"DevConf", "DevConf", true},
        {"DevConf_CalibrMode", "CalibrMode", true},
    };
    auto* panel = Find<TRecordViewPanel>("rvpGlobal");
    const QList<TDBEdit*> edits = panel->findChildren<TDBEdit*>();
    QCOMPARE(edits.size(), qsizetype(std::size(texts)));
    for (int i = 0; i < edits.size(); ++i) {
        QCOMPARE(edits[i]->DataSource(), dsGlobal.get());
        QCOMPARE(edits[i]->DataField(), std::string(texts[i].field));
        QCOMPARE(edits[i]->IsReadOnly(), texts[i].readOnly);
    }
    QStringList shownLabels;
    for (const QLabel* label : panel->findChildren<QLabel*>())
        if (label->isVisible()) shownLabels << label->text();
    QCOMPARE(shownLabels, (QStringList{"CRC", "Len", "DevID", "UID_SerN", "UID_3", "UID_5", "UID_7",
                                       "NStruct", "Power", "AUX", "DevConf", "Bit7", "Bit6", "Bit5",
                                       "CalibrMode"}));

    const char* boxes[][2] = {{"wwCBDevConf_7", "DevConf_7"}, {"wwCBDevConf_6", "DevConf_6"},
                              {"wwCBDevConf_5", "DevConf_5"}};
    for (const auto& [name, field] : boxes) {
        const auto* box = Find<TDBCheckBox>(name);
        QCOMPARE(box->DataField(), std::string(field));
        QVERIFY(box->text().isEmpty());
    }
    // The controller panel of the page "Педали" holds these; a control sits in one panel.
    for (const char* elsewhere : {"wwCBDevConf_MF", "wwCBDevConf_DF", "wwCBDevConf_AxesAuto",
                                  "cdDevConf_CalibrMode"})
        QVERIFY(!view->findChild<QWidget*>(elsewhere));
}

void EngineeringViewTest::headerGroupsAdjacentColumnsUnderOneTitle() {
    const char* titles[] = {"N", "Len", "Type", "", "B7", "On", "Inv", "Cen", "Rev", "",
                            "HID Usage Page", "", "Описание", "", "Data", "Axis", "", "MF", "DF",
                            "Степень", "Центр", "", "Map", "Led ON", "Centr", "Zic", "ZicCalc",
                            "Low", "High", "High", "Low", "Bias", "DeadZoneHighCalc",
                            "DeadZoneLowCalc"};
    const TExpectedGroup groups[] = {
        {"", 1, 1},           {"", 2, 2},        {"", 3, 3},           {"Config+Usage", 4, 11},
        {"HID Usage", 12, 13}, {"Precision", 14, 16}, {"Фильтр", 17, 21}, {"AUX", 22, 25},
        {"Zic", 26, 27},      {"DeadZone", 28, 29}, {"KD", 30, 31},      {"", 32, 32},
        {"", 33, 33},         {"", 34, 34},
    };
    TTwoLineHeader& header = Grid().Header();
    QCOMPARE(header.count(), 34);
    for (int column = 0; column < 34; ++column)
        QCOMPARE(header.ColumnTitle(column), QString::fromUtf8(titles[column]));
    for (const TExpectedGroup& group : groups) {
        for (int column = group.first - 1; column < group.last; ++column) {
            QCOMPARE(header.GroupTitle(column), QString::fromUtf8(group.title));
            QCOMPARE(header.GroupSpan(column), std::make_pair(group.first - 1, group.last - 1));
        }
    }
    QVERIFY(header.height() >= 2 * header.fontMetrics().height());
}

// Inside a group the first line has no section border, below it and between groups it has.
void EngineeringViewTest::headerPaintsOneCellPerGroup() {
    TTwoLineHeader& header = Grid().Header();
    const QImage image = header.grab().toImage();
    const int groupLine = header.height() / 4;
    const int titleLine = header.height() * 3 / 4;
    const auto columnStripe = [&](int x, int y) {
        QList<QRgb> stripe;
        for (int dx = -1; dx <= 1; ++dx) stripe << image.pixel(x + dx, y);
        return stripe;
    };
    const auto boundaryAfter = [&](int column) {
        return header.sectionViewportPosition(column) + header.sectionSize(column) - 1;
    };
    // Right of the group title's text: between "Rev" and the untitled usage page column.
    const int insideGroup = boundaryAfter(8);
    const int betweenGroups = boundaryAfter(2);   // between "Type" and the Config+Usage group
    const int plain = header.sectionViewportPosition(9) + header.sectionSize(9) / 2;
    QCOMPARE(columnStripe(insideGroup, groupLine), columnStripe(plain, groupLine));
    QVERIFY(columnStripe(insideGroup, titleLine) != columnStripe(plain, titleLine));
    QVERIFY(columnStripe(betweenGroups, groupLine) != columnStripe(plain, groupLine));
}

void EngineeringViewTest::rowsFollowReadsAndEditsMadeElsewhere() {
    QAbstractItemModel& model = *Grid().model();
    QCOMPARE(model.rowCount(), 0);
    axes->ReadAxis(stAxisLeftBrake);   // as the axis dialog reads its axis
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.data(Cell(0, "N")).toString(), QString("1"));

    ReadAllAxes();
    QCOMPARE(model.rowCount(), 3);
    QStringList axisNumbers;
    for (int row = 0; row < 3; ++row) axisNumbers << model.data(Cell(row, "N")).toString();
    QCOMPARE(axisNumbers, (QStringList{"1", "0", "2"}));
    QCOMPARE(model.data(Cell(1, "ConfUsage_HIDUsagePageCalc")).toString(), QString("Generic Desktop"));
    QCOMPARE(model.data(Cell(1, "HID_UsageCalc")).toString(), QString("Rudder"));
    QCOMPARE(model.data(Cell(1, "ZicCalc")).toString(), QString("5"));
    QCOMPARE(model.data(Cell(2, "CentCalibFiltr_CenterOk"), Qt::CheckStateRole).value<Qt::CheckState>(),
             Qt::Checked);
    QCOMPARE(axes->cdsNStruct.RecNo(), 2);
    QCOMPARE(Grid().currentIndex().row(), 2);

    // An edit made elsewhere (the axis dialog) on the current record shows in its row.
    axes->cdsNStruct.StartEdit();
    axes->ConfUsage_Inverted.SetBoolean(true);
    axes->Zic.SetInteger(12);
    QCOMPARE(model.data(Cell(2, "ConfUsage_Inverted"), Qt::CheckStateRole).value<Qt::CheckState>(),
             Qt::Checked);
    QCOMPARE(model.data(Cell(2, "ConfUsage")).toString(), QString::number(0x42 | 0x20));
    QCOMPARE(model.data(Cell(2, "Zic")).toString(), QString("12"));
    QCOMPARE(model.data(Cell(2, "ZicCalc")).toString(), QString("12"));
}

void EngineeringViewTest::readAllAxesWithoutPedalsShowsOneMessagePerAxis() {
    state.device = nullptr;
    ReadAllAxes();
    QCOMPARE(messages.shown, std::vector<std::string>(3, MsgControllerNotFound));
    QCOMPARE(Grid().model()->rowCount(), 0);

    Find<QPushButton>("btReadGlobal")->click();
    Find<QPushButton>("btWriteGlobal")->click();
    QCOMPARE(messages.shown.size(), size_t(3));
    QVERIFY(errors->texts.isEmpty());
}

// The set asks the grid's editor for its pending entry before the first axis is filed; the
// refused entry ends the click, so the toe brakes are not read.
void EngineeringViewTest::recordSetErrorEndsTheClickInAnErrorBox() {
    ReadAllAxes();
    TDBEdit* editor = OpenEditor(Cell(2, "Zic"));
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, "70000");
    QVERIFY(editor->HasPendingEdit());
    const int readsBefore = pedals->ReadCount();

    ReadAllAxes();
    QCOMPARE(errors->texts.size(), qsizetype(1));
    QVERIFY2(errors->texts[0].startsWith("70000 is not a valid value for field 'Zic'"),
             qPrintable(errors->texts[0]));
    QCOMPARE(pedals->ReadCount(), readsBefore + 1);
    QCOMPARE(axes->cdsNStruct.RecNo(), 2);
    QCOMPARE(axes->Zic.AsInteger(), 7);
}

void EngineeringViewTest::selectingARowMakesItCurrent() {
    ReadAllAxes();
    ClickCell(Cell(0, "Len"));
    QCOMPARE(axes->cdsNStruct.RecNo(), 0);
    QCOMPARE(axes->N.AsInteger(), 0);
    Grid().setCurrentIndex(Cell(1, "Type"));
    QCOMPARE(axes->cdsNStruct.RecNo(), 1);
}

void EngineeringViewTest::gridCheckBoxSetsItsBitAndLeavesTheSetEditing_data() {
    QTest::addColumn<QString>("flag");
    QTest::addColumn<QString>("byte");
    QTest::addColumn<int>("bit");
    const struct {
        const char* flag;
        const char* byte;
        int bit;
    } rows[] = {
        {"ConfUsage_7", "ConfUsage", 7},       {"ConfUsage_ON", "ConfUsage", 6},
        {"ConfUsage_Inverted", "ConfUsage", 5}, {"ConfUsage_Centered", "ConfUsage", 4},
        {"ConfUsage_Revers", "ConfUsage", 3},   {"CentCalibFiltr_MF", "CentCalibFiltr", 7},
        {"CentCalibFiltr_DF", "CentCalibFiltr", 6}, {"AUX_AxisMap", "AUX", 2},
        {"AUX_LedOn", "AUX", 1},                {"AUX_Centr", "AUX", 0},
    };
    for (const auto& row : rows)
        QTest::newRow(row.flag) << QString(row.flag) << QString(row.byte) << row.bit;
}

// The click lands on the rudder's row while the right toe brake is current.
void EngineeringViewTest::gridCheckBoxSetsItsBitAndLeavesTheSetEditing() {
    QFETCH(QString, flag);
    QFETCH(QString, byte);
    QFETCH(int, bit);
    ReadAllAxes();
    TField& flagField = axes->cdsNStruct.FieldNamed(flag.toStdString());
    TField& byteField = axes->cdsNStruct.FieldNamed(byte.toStdString());
    const QModelIndex cell = Cell(0, flag.toLatin1().constData());
    QCOMPARE(axes->cdsNStruct.RecNo(), 2);
    const QString otherRows = Grid().model()->data(Cell(2, byte.toLatin1().constData())).toString();

    axes->cdsNStruct.MoveTo(0);
    const bool before = flagField.AsBoolean();
    const int64_t byteBefore = byteField.AsInteger();
    axes->cdsNStruct.MoveTo(2);

    ClickCell(cell);
    QCOMPARE(axes->cdsNStruct.RecNo(), 0);
    QCOMPARE(axes->cdsNStruct.State(), TDataSetState::Edit);
    QCOMPARE(flagField.AsBoolean(), !before);
    QCOMPARE(byteField.AsInteger(), byteBefore ^ (int64_t(1) << bit));
    QCOMPARE(Grid().model()->data(cell, Qt::CheckStateRole).value<Qt::CheckState>(),
             !before ? Qt::Checked : Qt::Unchecked);
    QCOMPARE(Grid().model()->data(Cell(2, byte.toLatin1().constData())).toString(), otherRows);

    QTest::keyClick(&Grid(), Qt::Key_Space);   // the same box, from the keyboard
    QCOMPARE(flagField.AsBoolean(), before);
    QCOMPARE(byteField.AsInteger(), byteBefore);
    QCOMPARE(axes->cdsNStruct.State(), TDataSetState::Edit);
    QCOMPARE(SentCommandCodes(), QList<uint8_t>(3, cmdSelectRead));
}

void EngineeringViewTest::centreColumnIsShownButNotClickable() {
    ReadAllAxes();
    const QModelIndex centre = Cell(2, "CentCalibFiltr_CenterOk");
    ClickCell(centre);
    Grid().setCurrentIndex(centre);
    QTest::keyClick(&Grid(), Qt::Key_Space);
    QCOMPARE(axes->CentCalibFiltr_CenterOk.AsBoolean(), true);
    QCOMPARE(axes->CentCalibFiltr.AsInteger(), 0x04);
    QCOMPARE(axes->cdsNStruct.State(), TDataSetState::Browse);
    QVERIFY(!(Grid().model()->flags(Cell(2, "Precision_Data")) & Qt::ItemIsEditable));
    Grid().edit(Cell(2, "Precision_Data"));
    QVERIFY(!Grid().indexWidget(Cell(2, "Precision_Data")));
}

void EngineeringViewTest::gridCheckBoxDoesNothingWhenTheSetWillNotEdit() {
    ReadAllAxes();
    dsNStruct->AutoEdit = false;
    const QModelIndex on = Cell(2, "ConfUsage_ON");
    ClickCell(on);
    QCOMPARE(axes->cdsNStruct.State(), TDataSetState::Browse);
    QCOMPARE(axes->ConfUsage_ON.AsBoolean(), true);
    QCOMPARE(Grid().model()->data(on, Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
}

// Without a click handler nothing assigns the flag at once: the toggled box is the pending
// value, shown in its cell and written when the set posts.
void EngineeringViewTest::gridCheckBoxWithoutHandlerKeepsItsStatePendingUntilPost() {
    view = std::make_unique<TEngineeringView>(*global, *axes, *dsGlobal, *dsNStruct, TEngineeringHooks{});
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    ReadAllAxes();
    const QModelIndex revers = Cell(1, "ConfUsage_Revers");
    ClickCell(revers);
    QCOMPARE(axes->cdsNStruct.State(), TDataSetState::Edit);
    QCOMPARE(Grid().model()->data(revers, Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    QCOMPARE(axes->ConfUsage_Revers.AsBoolean(), false);

    axes->cdsNStruct.PostRecord();
    QCOMPARE(axes->ConfUsage_Revers.AsBoolean(), true);
    QCOMPARE(axes->ConfUsage.AsInteger(), 0x61 | 0x08);
    QCOMPARE(Grid().model()->data(revers, Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
}

void EngineeringViewTest::globalCheckBoxGoesThroughTheSharedHandler() {
    Find<QPushButton>("btReadGlobal")->click();
    QVERIFY(global->cdsGlobal.HasCurrent());
    const int64_t devConf = global->DevConf.AsInteger();
    const bool before = global->DevConf_6.AsBoolean();
    auto* bit6 = Find<TDBCheckBox>("wwCBDevConf_6");
    QTest::mouseClick(bit6, Qt::LeftButton, {}, QPoint(6, bit6->height() / 2));   // on the box
    QCOMPARE(global->DevConf_6.AsBoolean(), !before);
    QCOMPARE(global->DevConf.AsInteger(), devConf ^ 0x40);
    QCOMPARE(global->cdsGlobal.State(), TDataSetState::Edit);
    QCOMPARE(bit6->isChecked(), !before);
    QVERIFY(!bit6->HasPendingEdit());
}

void EngineeringViewTest::saveIsDisabledWhileTheGridIsEmpty() {
    auto* save = Find<QPushButton>("btnWriteAxis");
    QVERIFY(!save->isEnabled());
    view->btnWriteAxisClick();
    QVERIFY(pedals->Log().empty());
    axes->ReadAxis(stAxisRightBrake);
    QVERIFY(save->isEnabled());
}

void EngineeringViewTest::saveWritesTheAxisOfTheCurrentRowWhateverAllAxesSays() {
    ReadAllAxes();
    ClickCell(Cell(1, "ConfUsage_ON"));   // left toe brake, edited and not posted
    QCOMPARE(axes->N.AsInteger(), 1);
    for (bool allAxes : {false, true}) {
        Find<QCheckBox>("cbSaveAllAxes")->setChecked(allAxes);
        pedals->ClearLog();
        Find<QPushButton>("btnWriteAxis")->click();
        QCOMPARE(SentCommandCodes(), (QList<uint8_t>{cmdSelectWrite, cmdReboot}));
        const auto frames = pedals->ReceivedFrames();
        QCOMPARE(frames.front()[3], uint8_t(stAxisLeftBrake));
        TStructure expected = LeftBrake;
        expected[2] &= ~0x40;   // the click cleared "On"
        QCOMPARE(pedals->Structure(stAxisLeftBrake), expected);
        QCOMPARE(pedals->Structure(stAxisRudder), Rudder);
        QCOMPARE(pedals->Structure(stAxisRightBrake), RightBrake);
    }
}

void EngineeringViewTest::pendingGridTextIsWrittenAtPost() {
    ReadAllAxes();
    TDBEdit* editor = OpenEditor(Cell(0, "DeadZoneLow"));
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, "50");
    QVERIFY(editor->HasPendingEdit());
    QCOMPARE(axes->cdsNStruct.State(), TDataSetState::Edit);
    QCOMPARE(axes->DeadZoneLow.AsInteger(), 10);

    axes->cdsNStruct.PostRecord();
    QCOMPARE(axes->cdsNStruct.State(), TDataSetState::Browse);
    QCOMPARE(axes->DeadZoneLow.AsInteger(), 50);
    QCOMPARE(axes->DeadZoneLowCalc.AsInteger(), 51);   // 1024 units x 5 %
    QCOMPARE(Grid().model()->data(Cell(0, "DeadZoneLow")).toString(), QString("50"));
}

void EngineeringViewTest::refusedGridEntryKeepsTheOldValue_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("error");
    QTest::newRow("out of range") << "70000"
                                  << "70000 is not a valid value for field 'Zic'. The allowed range is 0 to 255.";
    QTest::newRow("not an integer") << "1-2" << "'1-2' is not a valid integer value for field 'Zic'.";
    QTest::newRow("letters") << "a" << "";
}

void EngineeringViewTest::refusedGridEntryKeepsTheOldValue() {
    QFETCH(QString, typed);
    QFETCH(QString, error);
    ReadAllAxes();
    TDBEdit* editor = OpenEditor(Cell(2, "Zic"));
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, typed);
    QTest::keyClick(editor, Qt::Key_Return);
    if (error.isEmpty()) {
        QVERIFY(errors->texts.isEmpty());
        QCOMPARE(axes->cdsNStruct.State(), TDataSetState::Browse);
    } else {
        QTRY_COMPARE(errors->texts, QStringList{error});
    }
    QCOMPARE(axes->Zic.AsInteger(), 7);
    QCOMPARE(axes->ZicCalc.AsInteger(), 7);
    QCOMPARE(Grid().model()->data(Cell(2, "Zic")).toString(), QString("7"));
    if (auto* stillOpen = dynamic_cast<TDBEdit*>(Grid().indexWidget(Cell(2, "Zic"))))
        QCOMPARE(stillOpen->text(), QString("7"));
}

void EngineeringViewTest::pickColumnsAskToEditBeforeTheirHandler() {
    struct TPick {
        const char* field;
        const char* editorName;
        const char* expectedPick;
    };
    const TPick columns[] = {
        {"ConfUsage_HIDUsagePageCalc", "cdNStructConfUsage_HIDUsage", "page, editing"},
        {"HID_UsageCalc", "cdConfUsage_HIDUsagePage", "usage, editing"},
        {"CentCalibFiltr_Filter", "cdCentCalibFiltr_Filter", "degree, editing"},
    };
    ReadAllAxes();
    for (const TPick& column : columns) {
        if (axes->cdsNStruct.IsEditing()) axes->cdsNStruct.PostRecord();
        QCOMPARE(axes->cdsNStruct.State(), TDataSetState::Browse);
        picks.clear();
        auto* editor = dynamic_cast<TDBPickEdit*>(OpenEditor(Cell(0, column.field)));
        QVERIFY(editor);
        QCOMPARE(editor->objectName(), QString::fromLatin1(column.editorName));
        editor->PickButton()->click();
        QCOMPARE(picks, QStringList{column.expectedPick});
    }
    QCOMPARE(axes->ConfUsage_HIDUsagePage.AsInteger(), 1);
    QCOMPARE(axes->ConfUsage.AsInteger() & 7, 1);
    QCOMPARE(axes->HID_UsageCalc.AsString(), std::string("Throttle"));
    QCOMPARE(axes->CentCalibFiltr.AsInteger(), (0x98 & ~0x38) | (4 << 3));
    QCOMPARE(Grid().model()->data(Cell(0, "HID_UsageCalc")).toString(), QString("Throttle"));
}

void EngineeringViewTest::textIntoNameColumnChangesOnlyTheName() {
    ReadAllAxes();
    for (const char* nameField : {"ConfUsage_HIDUsagePageCalc", "HID_UsageCalc"}) {
        TDBEdit* editor = OpenEditor(Cell(1, nameField));
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, "Left pedal");
        QTest::keyClick(editor, Qt::Key_Return);
    }
    QCOMPARE(axes->ConfUsage_HIDUsagePageCalc.AsString(), std::string("Left pedal"));
    QCOMPARE(axes->HID_UsageCalc.AsString(), std::string("Left pedal"));
    QCOMPARE(axes->ConfUsage_HIDUsagePage.AsInteger(), 1);
    QCOMPARE(axes->ConfUsage.AsInteger(), 0x61);
    QCOMPARE(axes->HID_Usage.AsInteger(), 0x30);
}

void EngineeringViewTest::textIntoDegreeColumnAssignsTheDegree() {
    ReadAllAxes();
    TDBEdit* editor = OpenEditor(Cell(0, "CentCalibFiltr_Filter"));
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, "5");
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(axes->CentCalibFiltr_Filter.AsInteger(), 5);
    QCOMPARE(axes->CentCalibFiltr.AsInteger(), 0x80 | (5 << 3));
    QVERIFY(errors->texts.isEmpty());
}

QTEST_MAIN(EngineeringViewTest)
#include "EngineeringViewTest.moc"
