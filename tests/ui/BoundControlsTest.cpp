// The bound controls against a record set of their own: edit requests, pending user edits,
// assignments by code, read-only controls, entry filtering, and the pick dialog's empty list.
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

#include "records/RecordSet.h"
#include "ui/RubrWindow.h"
#include "ui/Startup.h"
#include "ui/UserAction.h"
#include "ui/controls/DBCheckBox.h"
#include "ui/controls/DBGrid.h"
#include "ui/controls/DBEdit.h"
#include "ui/controls/DBPickEdit.h"
#include "UiTestSupport.h"

using namespace qzr;
using namespace qzr::test;

namespace {

// One record (Zic 3, Flag false, Name "abc") in browse state, and a window to put controls in.
struct TBoundForm {
    TBoundForm() {
        set.AppendBlank();
        Zic.SetInteger(3);
        Flag.SetBoolean(false);
        Name.SetString("abc");
        set.PostRecord();
        layout->addWidget(other);
    }
    template <class Control>
    Control* Add(const char* field) {
        auto* control = new Control;
        control->Bind(&source, field);
        layout->addWidget(control);
        return control;
    }
    bool Show() {
        window.show();
        QApplication::setActiveWindow(&window);
        return QTest::qWaitForWindowActive(&window);
    }
    void MoveFocusAway() {
        other->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }

    TRecordSet set{"cdsTest"};
    TField& Zic = set.AddField("Zic", TFieldType::Word);
    TField& Flag = set.AddField("Flag", TFieldType::Boolean);
    TField& Name = set.AddField("Name", TFieldType::String, 20);
    TDataSource source{&set, "dsTest"};
    QWidget window;
    QVBoxLayout* layout = new QVBoxLayout(&window);
    QLineEdit* other = new QLineEdit;
};

} // namespace

class BoundControlsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareApplication(*static_cast<QApplication*>(QApplication::instance())); }

    void checkBoxClickNeedsTheEditToStart() {
        TBoundForm form;
        form.source.AutoEdit = false;
        auto* box = form.Add<TDBCheckBox>("Flag");
        int clicks = 0;
        box->OnClick = [&](TDBCheckBox&) { ++clicks; };
        QVERIFY(form.Show());
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(!box->isChecked());
        QCOMPARE(clicks, 0);
        QCOMPARE(form.set.State(), TDataSetState::Browse);
    }

    void checkBoxClickIsPendingUntilFocusLoss() {
        TBoundForm form;
        auto* box = form.Add<TDBCheckBox>("Flag");
        bool editingInClick = false;
        box->OnClick = [&](TDBCheckBox&) { editingInClick = form.set.IsEditing(); };
        QVERIFY(form.Show());
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(box->isChecked());
        QVERIFY(editingInClick);
        QVERIFY(!form.Flag.AsBoolean());
        form.MoveFocusAway();
        QVERIFY(form.Flag.AsBoolean());
    }

    void checkBoxShowsNullUnticked() {
        TBoundForm form;
        auto* box = form.Add<TDBCheckBox>("Flag");
        form.set.StartEdit();
        form.Flag.SetBoolean(true);
        QVERIFY(box->isChecked());
        form.Flag.Clear();
        QVERIFY(!box->isChecked());
    }

    void assignmentByCodeDropsThePendingEdit() {
        TBoundForm form;
        auto* edit = form.Add<TDBEdit>("Zic");
        QVERIFY(form.Show());
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, "12");
        QCOMPARE(form.set.State(), TDataSetState::Edit);
        QCOMPARE(form.Zic.AsInteger(), 3);   // still pending
        QVERIFY(edit->HasPendingEdit());
        form.Zic.SetInteger(5);
        QCOMPARE(edit->text(), QStringLiteral("5"));
        form.MoveFocusAway();
        QCOMPARE(form.Zic.AsInteger(), 5);
    }

    void pendingEditIsWrittenWhenTheSetAsks() {
        TBoundForm form;
        auto* edit = form.Add<TDBEdit>("Zic");
        QVERIFY(form.Show());
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, "42");
        form.set.PostRecord();
        QCOMPARE(form.Zic.AsInteger(), 42);
        QCOMPARE(form.set.State(), TDataSetState::Browse);
    }

    void enterWritesThePendingEdit() {
        TBoundForm form;
        auto* edit = form.Add<TDBEdit>("Name");
        QVERIFY(form.Show());
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, "xyz");
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(form.Name.AsString(), std::string("xyz"));
        QVERIFY(edit->hasFocus());
    }

    void closingTheWindowWritesNoPendingEdit() {
        TBoundForm form;
        auto* edit = form.Add<TDBEdit>("Zic");
        QVERIFY(form.Show());
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, "1-");   // not a number: writing it would raise an error box
        TModalScript script;
        bool errorShown = false;
        script.Then([&](QWidget& box) {
            errorShown = true;
            box.close();
        });
        form.window.close();
        QTest::qWait(50);
        QVERIFY(!errorShown);
        QCOMPARE(form.Zic.AsInteger(), 3);
    }

    // An entry abandoned by closing the window must not come back when the set next asks for
    // pending edits (the axis dialog's next opening reads the axis through a locate).
    void closingTheWindowDropsThePendingEntry_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shownAfter");
        QTest::newRow("text, refused entry") << "edit" << "Zic" << "70000" << "3";
        QTest::newRow("text, accepted entry") << "edit" << "Zic" << "12" << "3";
        QTest::newRow("pick editor") << "pick" << "Name" << "xyz" << "abc";
        QTest::newRow("check box") << "box" << "Flag" << "" << "False";
    }

    void closingTheWindowDropsThePendingEntry() {
        QFETCH(QString, control);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shownAfter);
        TBoundForm form;
        TBoundControl* bound = nullptr;
        std::function<QString()> shown;
        if (control == "box") {
            auto* box = form.Add<TDBCheckBox>(qPrintable(field));
            bound = box;
            shown = [box] { return QString(box->isChecked() ? "True" : "False"); };
            QVERIFY(form.Show());
            box->setFocus();
            QTest::keyClick(box, Qt::Key_Space);
        } else {
            TDBEdit* edit = control == "pick" ? form.Add<TDBPickEdit>(qPrintable(field))
                                              : form.Add<TDBEdit>(qPrintable(field));
            bound = edit;
            shown = [edit] { return edit->text(); };
            QVERIFY(form.Show());
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, typed);
        }
        QVERIFY(bound->HasPendingEdit());
        form.window.close();
        QVERIFY(!bound->HasPendingEdit());

        TModalScript script;
        QStringList errors;
        script.Then([&](QWidget& box) {
            errors << static_cast<QMessageBox&>(box).text();
            box.close();
        });
        RunUserAction([&] { form.set.FinishPending(); });   // what the next locate or read starts with
        QTest::qWait(50);
        QCOMPARE(errors, QStringList{});
        QCOMPARE(QString::fromStdString(form.set.FieldNamed(field.toStdString()).DisplayText()), shownAfter);
        QCOMPARE(form.set.State(), TDataSetState::Browse);
        QVERIFY(form.Show());
        QCOMPARE(shown(), shownAfter);
    }

    void readOnlyEditorMakesNoEditRequest() {
        TBoundForm form;
        auto* edit = form.Add<TDBEdit>("Name");
        edit->SetReadOnly(true);
        QVERIFY(form.Show());
        edit->setFocus();
        QTest::keyClicks(edit, "q");
        QCOMPARE(edit->text(), QStringLiteral("abc"));
        QCOMPARE(form.set.State(), TDataSetState::Browse);
    }

    void entryFilterFollowsTheFieldType_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("word takes digits and signs") << "Zic" << "a1-b+2" << "1-+2";
        QTest::newRow("string takes letters") << "Name" << "a1 b" << "a1 b";
    }

    void entryFilterFollowsTheFieldType() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        TBoundForm form;
        auto* edit = form.Add<TDBEdit>(qPrintable(field));
        QVERIFY(form.Show());
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), shown);
    }

    void pickEditorEditRequestComesBeforeItsHandler_data() {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("editingInHandler");
        QTest::newRow("editable") << false << true;
        QTest::newRow("read-only") << true << false;
    }

    void pickEditorEditRequestComesBeforeItsHandler() {
        QFETCH(bool, readOnly);
        QFETCH(bool, editingInHandler);
        TBoundForm form;
        auto* pick = form.Add<TDBPickEdit>("Name");
        pick->SetReadOnly(readOnly);
        int runs = 0;
        bool editing = false;
        pick->OnCustomDlg = [&](TDBPickEdit&) {
            ++runs;
            editing = form.set.IsEditing();
        };
        QVERIFY(form.Show());
        QTest::mouseClick(pick->PickButton(), Qt::LeftButton);
        QCOMPARE(runs, 1);
        QCOMPARE(editing, editingInHandler);
    }

    // A grid filled while hidden (the classifier's, at start-up) shows its current row once seen.
    void hiddenGridShowsItsCurrentRowWhenShown() {
        TRecordSet set{"cdsRows"};
        TField& Number = set.AddField("Number", TFieldType::Word);
        TDataSource source{&set, "dsRows"};
        TDBGrid grid(source, {{"Number", QStringLiteral("N"), 5}});
        grid.resize(120, 100);
        for (int n = 0; n < 40; ++n) {
            set.AppendBlank();
            Number.SetInteger(n);
            set.PostRecord();
        }
        QCOMPARE(grid.currentIndex().row(), 39);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QTRY_VERIFY(grid.viewport()->rect().contains(grid.visualRect(grid.currentIndex())));
    }

    void pickDialogResults_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("attr");
        QTest::addColumn<QString>("how");   // "ok", "enter", "cancel", "close"
        QTest::addColumn<bool>("okEnabled");
        QTest::addColumn<int>("result");
        QTest::newRow("rows, OK") << 20 << 0 << "ok" << true << mrOk;
        QTest::newRow("rows, Enter") << 20 << 0 << "enter" << true << mrOk;
        QTest::newRow("rows, cancel") << 20 << 0 << "cancel" << true << mrCancel;
        QTest::newRow("rows, close box") << 20 << 0 << "close" << true << mrCancel;
        QTest::newRow("empty list, Enter") << 30 << 0 << "enter" << false << mrCancel;
        QTest::newRow("empty list, cancel") << 30 << 7 << "cancel" << false << mrCancel;
    }

    void pickDialogResults() {
        QFETCH(int, type);
        QFETCH(int, attr);
        QFETCH(QString, how);
        QFETCH(bool, okEnabled);
        QFETCH(int, result);
        QWidget owner;
        TfmRubr dialog(&owner);
        bool shownOkEnabled = !okEnabled;
        TModalScript script;
        script.Then([&](QWidget& modal) {
            shownOkEnabled = dialog.btnOk->isEnabled();
            if (how == "ok") dialog.btnOk->click();
            else if (how == "enter") QTest::keyClick(dialog.gdRubr, Qt::Key_Return);
            else if (how == "cancel") dialog.btnCancel->click();
            else modal.close();
            if (modal.isVisible()) dialog.btnCancel->click();   // Enter on an empty list: still open
        });
        QCOMPARE(dialog.Rubr().SelectRubr(type, attr), result);
        QVERIFY(script.Done());
        QCOMPARE(shownOkEnabled, okEnabled);
        QVERIFY(!dialog.Rubr().cdsRubr.HasKeyRange());
    }
};

QTEST_MAIN(BoundControlsTest)
#include "BoundControlsTest.moc"
