#pragma once
// The About box (template 127): product picture, name, version and build, a two-line notice.

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

    // "Version %s build %i" filled in.
    static QString VersionText();
};
