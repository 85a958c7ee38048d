#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

#include "ui/UserAction.h"

namespace qzr {

void TMessageBoxes::ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::Information, QString::fromUtf8(AppTitle),
                    QString::fromStdString(text), QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName("MessageBox");
    box.exec();
}

bool TMessageBoxes::Confirm(const std::string& question) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(AppTitle),
                    QString::fromStdString(question), QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setObjectName("ConfirmBox");
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace qzr
