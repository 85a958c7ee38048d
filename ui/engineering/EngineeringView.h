#pragma once
#include <QWidget>

#include "ui/engineering/EngineeringHooks.h"

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace qzr {

class TAxisRecords;
class TDataSource;
class TGlobalRecord;
class TNStructGrid;
class TRecordViewPanel;

// The page "Конфигуратор": the raw Global record in a record panel and every axis record as
// a row of a grid, each with buttons that read the structures and write them back.
class TEngineeringView : public QWidget {
    Q_OBJECT

public:
    TEngineeringView(TGlobalRecord& global, TAxisRecords& axes, TDataSource& dsGlobal,
                     TDataSource& dsNStruct, TEngineeringHooks hooks, QWidget* parent = nullptr);
    ~TEngineeringView() override;

    void btReadGlobalClick();
    void btWriteGlobalClick();
    void btReadAxis0Click();
    void btnWriteAxisClick();

private:
    QGroupBox* createGlobalGroup();
    QGroupBox* createNStructGroup();
    void fillGlobalPanel();
    void updateWriteAxisButton();

    TGlobalRecord& global_;
    TAxisRecords& axes_;
    TDataSource& dsGlobal_;
    TDataSource& dsNStruct_;
    TEngineeringHooks hooks_;

    QGroupBox* gbGlobal = nullptr;
    TRecordViewPanel* rvpGlobal = nullptr;
    QPushButton* btReadGlobal = nullptr;
    QPushButton* btWriteGlobal = nullptr;
    QGroupBox* gbNStruct = nullptr;
    TNStructGrid* gdNStruct = nullptr;
    QPushButton* btReadAxis0 = nullptr;
    QPushButton* btnWriteAxis = nullptr;
    QCheckBox* cbSaveAllAxes = nullptr;
};

} // namespace qzr
