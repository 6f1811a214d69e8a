#pragma once
// The vehicle list: one row per vehicle, "name (year)", kept in text order; it owns the vehicles.

#include "widgets/CCustomListView.h"

#include "records/CObjectListT.h"

class CVehicleListView : public CCustomListView {
    Q_OBJECT

public:
    explicit CVehicleListView(QWidget* parent = nullptr);
    ~CVehicleListView() override;

    // The text a vehicle is known by: its row, the entry list's caption, the reminder list's label.
    static QString DisplayText(const CVehicle& vehicle);

    // Once the shared fonts exist: the list's font.
    void SetUp();

    // Drops all vehicles and rows, then loads every vehicle of the data file.
    void LoadAll();
    CVehicle* FindByRefID(ULONG refID) const;
    // Takes ownership; the new row is selected, focused and scrolled into view.
    void AddVehicle(CVehicle* vehicle);
    // Moves the vehicle's row to the sorted place of its current text.
    void UpdateVehicle(CVehicle* vehicle);
    // Deletes the vehicle's row and the record itself.
    void RemoveVehicle(CVehicle* vehicle);
    CVehicle* GetSelectedVehicle() const;
    void SelectVehicle(CVehicle* vehicle);

    const CObjectListT<CVehicle>& Vehicles() const { return m_Vehicles; }

protected:
    void PrepareContextMenu(QMenu& menu) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int InsertVehicleRow(CVehicle* vehicle);
    void SelectRow(int row);

    CObjectListT<CVehicle> m_Vehicles;
    QIcon m_Icon;
};
