#pragma once
// "Reminder": the notice of one due reminder, with the vehicle, the description, both odometers
// and both dates. "Delete reminder" closes with 1; "Remind me later", Enter, Escape, "Done" and
// "Cancel" close with 2, so a key pressed by habit right after an entry sheet never deletes;
// "Done..." (the work is done) closes with 3.
// Everything shown is copied when the notice is made; it keeps no pointer to either record.

#include "widgets/CFullScreenDialog.h"

class CNotification;
class CVehicle;
class QPushButton;

class CDlgNotificationFire : public CFullScreenDialog {
    Q_OBJECT

public:
    enum { ResultDelete = 1, ResultLater = 2, ResultWorkDone = 3 };

    CDlgNotificationFire(const CNotification& reminder, const CVehicle& vehicle, QWidget* parent = nullptr);
    ~CDlgNotificationFire() override;

    void OnDone() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* m_Delete = nullptr; // child widgets
    QPushButton* m_Later = nullptr;
    QPushButton* m_WorkDone = nullptr;
};
