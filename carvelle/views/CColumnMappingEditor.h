#pragma once
// The columns of one table of an imported file, each with a drop-down of what it holds (a field,
// or not used), so the user can correct what the import made of them.

#include "exchange/CImportMapping.h"

#include <QScrollArea>

#include <vector>

class QComboBox;
class QGridLayout;

class CColumnMappingEditor : public QScrollArea {
    Q_OBJECT

public:
    explicit CColumnMappingEditor(QWidget* parent = nullptr);

    // Shows the mapping's columns and what each holds; enabled: the user may change them.
    void SetMapping(const CImportMapping& mapping, bool enabled);
    int ColumnCount() const { return static_cast<int>(m_Lists.size()); }
    // The first and last drop-downs, for the dialog's tab order; null without columns.
    QWidget* First() const;
    QWidget* Last() const;

signals:
    void FieldChosen(int column, CImportMapping::Field field);

private:
    QWidget* m_Grid = nullptr;
    QGridLayout* m_Layout = nullptr;
    std::vector<QComboBox*> m_Lists; // by column, owned by the grid
    bool m_Filling = false;
};
