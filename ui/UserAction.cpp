#include "ui/UserAction.h"

#include <QApplication>
#include <QMessageBox>

namespace qzr {

QString ErrorText(const std::exception& error) {
    QString text = QString::fromUtf8(error.what()).trimmed();
    if (!text.endsWith(u'.')) text += u'.';
    return text;
}

void ShowErrorBox(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(AppTitle), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName("ErrorBox");
    box.exec();
}

} // namespace qzr
