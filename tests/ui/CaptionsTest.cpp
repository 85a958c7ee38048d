// Every caption of every window fits its room, with Tahoma and with the sans the program falls
// back to where Tahoma is missing: buttons, labels, check boxes, group titles and the axis
// dialog's row captions, in each state that changes them.
#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTreeWidgetItem>
#include <QtTest>

#include "ui/AppFont.h"
#include "ui/AxisConf.h"
#include "ui/RubrWindow.h"
#include "ui/controls/DBPickEdit.h"
#include "ui/controls/DataInspector.h"
#include "UiTestSupport.h"

using namespace qzr;
using namespace qzr::test;

namespace {

struct TCaption {
    QString where;
    QString text;
    int needed;
    int room;
};

QString NameOf(const QWidget& widget) {
    return widget.window()->objectName() + "/" + widget.objectName();
}

// Width the style gives a push button's or check box's text.
int ButtonRoom(const QAbstractButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    const bool isBox = qobject_cast<const QCheckBox*>(&button) != nullptr;
    return button.style()->subElementRect(isBox ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents,
                                          &option, &button).width();
}

int GroupTitleRoom(const QGroupBox& group) {
    QStyleOptionGroupBox option;
    option.initFrom(&group);
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    return group.width() - 2 * group.style()->pixelMetric(QStyle::PM_LayoutLeftMargin, &option, &group);
}

// The captions shown in `window` now, with what each needs and what it has.
QList<TCaption> CaptionsOf(QWidget& window) {
    QList<TCaption> captions;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window)) continue;
        const QFontMetrics metrics(widget->font());
        if (auto* button = qobject_cast<QAbstractButton*>(widget); button && !button->text().isEmpty())
            captions.append({NameOf(*button), button->text(), metrics.horizontalAdvance(button->text()), ButtonRoom(*button)});
        else if (auto* label = qobject_cast<QLabel*>(widget); label && !label->text().isEmpty() && !label->wordWrap())
            captions.append({NameOf(*label), label->text(), metrics.horizontalAdvance(label->text()) + 2 * label->margin(),
                             label->contentsRect().width()});
        else if (auto* group = qobject_cast<QGroupBox*>(widget); group && !group->title().isEmpty())
            captions.append({NameOf(*group), group->title(), metrics.horizontalAdvance(group->title()), GroupTitleRoom(*group)});
    }
    return captions;
}

// The inspector's row captions, in the caption column less their indentation and margins.
QList<TCaption> RowCaptionsOf(TDataInspector& inspector) {
    QList<TCaption> captions;
    const int margins = 2 * (inspector.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &inspector) + 1);
    for (QTreeWidgetItemIterator it(&inspector); *it; ++it) {
        QTreeWidgetItem* row = *it;
        if (row->isFirstColumnSpanned()) continue;   // group rows span the whole width
        const QRect cell = inspector.visualRect(inspector.indexFromItem(row, 0));
        const QFontMetrics metrics(row->font(0));
        captions.append({inspector.objectName() + ": " + row->text(0), row->text(0),
                         metrics.horizontalAdvance(row->text(0)) + margins, cell.width()});
    }
    return captions;
}

QString Clipped(const QList<TCaption>& captions) {
    QStringList clipped;
    for (const TCaption& c : captions)
        if (c.needed > c.room) clipped << QString("%1 \"%2\" needs %3 px, has %4").arg(c.where, c.text).arg(c.needed).arg(c.room);
    return clipped.join("; ");
}

} // namespace

class CaptionsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareApplication(*static_cast<QApplication*>(QApplication::instance())); }
    void cleanup() {
        ForceFallbackUiFont(false);
        QApplication::setFont(UiFont(11));
    }

    void everyCaptionFits_data() {
        QTest::addColumn<bool>("fallback");
        QTest::newRow("Tahoma") << false;
        QTest::newRow("fallback sans") << true;
    }

    void everyCaptionFits() {
        QFETCH(bool, fallback);
        ForceFallbackUiFont(fallback);
        QApplication::setFont(UiFont(11));
        QList<TCaption> captions;

        TProgram disconnected(false);
        disconnected.Start();
        captions << CaptionsOf(disconnected.Main());

        TProgram program;
        program.Start();
        TfmQZR_Rdr_CP_Main& main = program.Main();
        QTRY_COMPARE(main.lbStatus->text(), Ru("Подключены"));
        QVERIFY(fallback != (main.font().family() == "Tahoma"));
        captions << CaptionsOf(main);
        QTest::mouseClick(main.BtnCalibr, Qt::LeftButton);   // "Калибровать" becomes "Закончить калибровку"
        QTRY_VERIFY(main.btnCancelCalibr->isEnabled());
        captions << CaptionsOf(main);

        TfmAxisConf& dialog = *main.fmAxisConf;
        for (QPushButton* axisButton : {main.btnAxis0, main.btnAxis1}) {
            TModalScript script;
            script.Then([&](QWidget& axisDialog) {
                captions << CaptionsOf(axisDialog) << RowCaptionsOf(*dialog.wwDataInspector1);
                QTest::mouseClick(dialog.cdNStructConfUsage_HIDUsage->PickButton(), Qt::LeftButton);
                static_cast<QDialog&>(axisDialog).reject();
            });
            script.Then([&](QWidget& pick) {
                captions << CaptionsOf(pick);
                static_cast<QDialog&>(pick).reject();
            });
            QTest::mouseClick(axisButton, Qt::LeftButton);
            QTRY_VERIFY(script.Done());
        }
        QVERIFY(captions.size() > 40);
        QVERIFY2(Clipped(captions).isEmpty(), qPrintable(Clipped(captions)));
    }
};

QTEST_MAIN(CaptionsTest)
#include "CaptionsTest.moc"
