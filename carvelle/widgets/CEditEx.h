#pragma once
// Lets the arrow keys hop between fields: Left at the very start of a line edit's text goes to
// the previous field, Right at its very end to the next one. Nothing is selected in either case,
// and Shift or Ctrl with the arrow keeps its usual meaning. The key still reaches the edit.

#include <QLineEdit>
#include <QObject>
#include <QPointer>

class QWidget;

class CEditEx : public QObject {
    Q_OBJECT

public:
    // Either neighbour may be null: the key then only moves the caret.
    CEditEx(QWidget* previous, QWidget* next);
    ~CEditEx() override;

    // Starts watching the edit's keys; the edit takes ownership of this object.
    void Attach(QLineEdit* edit);
    // Stops watching; the object stays with the edit until the edit goes.
    void Detach();

    QLineEdit* Edit() const { return m_Edit; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_Previous;
    QPointer<QWidget> m_Next;
    QPointer<QLineEdit> m_Edit;
};
