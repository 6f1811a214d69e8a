#pragma once
// The home screen: the "My Vehicles" band over the list of all vehicles.

#include "platform/WinTypes.h"

#include <QWidget>

#include <functional>

class CVehicle;
class CVehicleListView;

class CViewVehicles : public QWidget {
    Q_OBJECT

public:
    using VehicleEditor = std::function<bool(CVehicle& vehicle)>;

    explicit CViewVehicles(QWidget* parent = nullptr);
    ~CViewVehicles() override;

    // What Edit runs on the selected vehicle; true when the vehicle was saved.
    void SetVehicleEditor(VehicleEditor editor) { m_Editor = std::move(editor); }

    // After the data file is connected: caption, list set-up, all vehicles loaded.
    void Initialize();
    void Reload();

    CVehicle* FindByRefID(ULONG refID) const;
    void AddVehicle(CVehicle* vehicle); // the list takes ownership
    void UpdateVehicle(CVehicle* vehicle);
    CVehicle* GetSelectedVehicle() const;
    void SelectVehicle(CVehicle* vehicle);
    CVehicleListView* List() const { return m_List; }

    QString Caption() const { return m_Caption; }

    // Edit, Delete and New Vehicle; false for commands this view does not know.
    bool HandleCommand(int id);

signals:
    // The user asked for a new vehicle (the frame runs its command).
    void NewVehicleRequested();
    // The user chose this vehicle to work with.
    void VehicleActivated(CVehicle* vehicle);
    // The vehicle was edited and saved; it becomes the one to work with.
    void VehicleEdited(CVehicle* vehicle);
    // A vehicle and all its data were deleted; the record is gone already.
    void VehicleDeleted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayOut();
    void EditSelectedVehicle();
    void DeleteSelectedVehicle();
    void ActivateSelectedVehicle();

    CVehicleListView* m_List = nullptr; // a child widget
    QString m_Caption;
    VehicleEditor m_Editor;
};
