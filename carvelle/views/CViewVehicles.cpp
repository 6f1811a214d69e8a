#include "views/CViewVehicles.h"

#include "views/CVehicleListView.h"
#include "widgets/CWaitCursor.h"
#include "widgets/DrawTitleBand.h"

#include "core/AppData.h"
#include "core/CRecordServices.h"
#include "core/CStringTable.h"
#include "core/ResourceIds.h"
#include "widgets/CPrompter.h"

#include <QPainter>

#include <algorithm>

CViewVehicles::CViewVehicles(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("view%1").arg(IDD_VIEW_VEHICLES));
    m_Caption = LoadStringResource(IDS_MY_VEHICLES);
    m_List = new CVehicleListView(this);
    m_List->SetCommandHandler([this](int id) { HandleCommand(id); });
    connect(m_List, &CCustomListView::RowClicked, this, [this](int) { ActivateSelectedVehicle(); });
    connect(m_List, &CCustomListView::EnterPressed, this, &CViewVehicles::ActivateSelectedVehicle);
    setFocusProxy(m_List);
    LayOut();
}

CViewVehicles::~CViewVehicles() = default;

void CViewVehicles::Initialize() {
    m_Caption = LoadStringResource(IDS_MY_VEHICLES);
    setWindowTitle(m_Caption);
    m_List->SetUp();
    m_List->LoadAll();
    LayOut();
    update();
}

void CViewVehicles::Reload() {
    m_List->LoadAll();
}

CVehicle* CViewVehicles::FindByRefID(ULONG refID) const {
    return m_List->FindByRefID(refID);
}

void CViewVehicles::AddVehicle(CVehicle* vehicle) {
    m_List->AddVehicle(vehicle);
}

void CViewVehicles::UpdateVehicle(CVehicle* vehicle) {
    m_List->UpdateVehicle(vehicle);
}

CVehicle* CViewVehicles::GetSelectedVehicle() const {
    return m_List->GetSelectedVehicle();
}

void CViewVehicles::SelectVehicle(CVehicle* vehicle) {
    m_List->SelectVehicle(vehicle);
}

bool CViewVehicles::HandleCommand(int id) {
    switch (id) {
    case ID_EDIT:
        EditSelectedVehicle();
        return true;
    case ID_DELETE:
        DeleteSelectedVehicle();
        return true;
    case ID_NEW_VEHICLE:
        emit NewVehicleRequested();
        return true;
    default:
        return false;
    }
}

void CViewVehicles::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawTitleBand(painter, *this, m_Caption, TitleBandView);
}

void CViewVehicles::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void CViewVehicles::LayOut() {
    const int top = TitleBandHeight() + 1;
    m_List->setGeometry(0, top, width(), std::max(0, height() - top));
}

void CViewVehicles::EditSelectedVehicle() {
    CVehicle* vehicle = GetSelectedVehicle();
    if (!vehicle || !m_Editor || !m_Editor(*vehicle))
        return;
    m_List->UpdateVehicle(vehicle);
    emit VehicleEdited(vehicle);
}

void CViewVehicles::DeleteSelectedVehicle() {
    CVehicle* vehicle = GetSelectedVehicle();
    if (!vehicle) {
        return;
    }
    const int answer = CPrompter::Instance().MessageBox(this, LoadStringResource(IDS_DELETE_VEHICLE),
                                                        LoadStringResource(IDS_PRODUCT_NAME),
                                                        CPrompter::ButtonsYesNo, CPrompter::IconWarning);
    if (answer != CPrompter::IDYES) {
        return;
    }
    bool deleted = false;
    {
        CWaitCursor wait;
        deleted = TheRecords().Delete(*vehicle);
    }
    if (!deleted) {
        return;
    }
    // The frame knows the active vehicle by its RefID only, so the record can go at once.
    m_List->RemoveVehicle(vehicle);
    emit VehicleDeleted();
}

void CViewVehicles::ActivateSelectedVehicle() {
    if (CVehicle* vehicle = GetSelectedVehicle()) {
        emit VehicleActivated(vehicle);
    }
}
