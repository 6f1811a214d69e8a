#include "widgets/CPrompter.h"

#include "core/ResourceIds.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>

namespace {

CPrompter* g_Installed = nullptr;
bool g_Refusing = false;

// Answers as a user who cancels everything, showing nothing.
class CRefusingPrompter : public CPrompter {
public:
    int MessageBox(QWidget*, const QString&, const QString&, Buttons buttons, Icon) override {
        return buttons == ButtonsYesNo ? IDNO : IDOK;
    }
    QString GetSaveFileName(QWidget*, const QString&, const QString&) override { return QString(); }
    QString GetOpenFileName(QWidget*, const QString&, const QString&) override { return QString(); }
    int RunModal(QDialog&) override { return ID_CANCEL; }
    QAction* TrackPopupMenu(QMenu&, const QPoint&) override { return nullptr; }
};

} // namespace

CPrompter::~CPrompter() = default;

int CPrompter::MessageBox(QWidget* parent, const QString& text, const QString& caption, Buttons buttons,
                          Icon icon) {
    QMessageBox box(icon == IconWarning ? QMessageBox::Warning : QMessageBox::Information,
                    caption.isEmpty() ? QApplication::applicationDisplayName() : caption, text,
                    buttons == ButtonsYesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    if (buttons == ButtonsYesNo) {
        box.setDefaultButton(QMessageBox::No);
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDOK;
    }
}

QString CPrompter::GetSaveFileName(QWidget* parent, const QString& filter, const QString& initialPath) {
    return QFileDialog::getSaveFileName(parent, QString(), initialPath, filter);
}

QString CPrompter::GetOpenFileName(QWidget* parent, const QString& filter, const QString& initialPath) {
    return QFileDialog::getOpenFileName(parent, QString(), initialPath, filter);
}

int CPrompter::RunModal(QDialog& dialog) {
    return dialog.exec();
}

QAction* CPrompter::TrackPopupMenu(QMenu& menu, const QPoint& globalPos) {
    return menu.exec(globalPos);
}

CPrompter& CPrompter::Instance() {
    static CPrompter person;
    static CRefusingPrompter refusing;
    if (g_Refusing)
        return refusing;
    return g_Installed ? *g_Installed : person;
}

void CPrompter::SetRefusing(bool refusing) {
    g_Refusing = refusing;
}

bool CPrompter::IsRefusing() {
    return g_Refusing;
}

void CPrompter::Install(CPrompter* prompter) {
    g_Installed = prompter;
}
