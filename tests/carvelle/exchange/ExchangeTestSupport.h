#pragma once
// What the import, export and backup tests share: a connected temporary data file in New York's
// zone, vehicles and entries stored directly, and sample files written by the tests themselves.

#include "carvelle/support/LocalDayFixtures.h"
#include "support/TempDataFile.h"

#include "core/LocalDates.h"
#include "datastore/CDataLayer.h"
#include "exchange/CEntryImporter.h"
#include "exchange/ImportText.h"
#include "records/CEntryFilter.h"
#include "records/CObjectListT.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

// The stored entries as the user sees them, one line each, in a fixed order.
inline QStringList StoredRows(CDataLayer& layer) {
    CObjectListT<CVehicle> vehicles;
    layer.Load(vehicles);
    CObjectListT<CEntry> entries;
    CEntryFilter all;
    layer.Load(entries, all);
    QStringList rows;
    for (int i = 0; i < entries.GetCount(); ++i) {
        const CEntry* e = entries.Get(i);
        QString vehicle;
        for (int v = 0; v < vehicles.GetCount(); ++v) {
            if (vehicles.Get(v)->GetRefID() == e->GetVehicleID())
                vehicle = QString::fromUtf16(vehicles.Get(v)->GetName());
        }
        // The fill flags read as the note an earlier version wrote for them, one line each.
        DWORD flags = 0;
        layer.GetFillFlags(e, &flags);
        QStringList notes;
        if (flags & CDataLayer::FillPartial)
            notes << QStringLiteral("Partial fill-up");
        if (flags & CDataLayer::FillMissed)
            notes << QStringLiteral("Missed fill-up before this one");
        if (notes.isEmpty() || *e->GetNotes())
            notes << QString::fromUtf16(e->GetNotes());
        rows << QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9|%10")
                    .arg(vehicle, OleDateToLocal(e->GetDate()).date().toString(Qt::ISODate))
                    .arg(e->GetType())
                    .arg(e->GetOdometer())
                    .arg(e->GetAmount())
                    .arg(e->GetCustom1())
                    .arg(e->GetCustom2())
                    .arg(QString::fromUtf16(e->GetVendor()), QString::fromUtf16(e->GetName()),
                         notes.join(u'\n'));
    }
    rows.sort();
    return rows;
}

class ExchangeTest : public ::testing::Test {
protected:
    ExchangeTest() { EXPECT_EQ(m_Layer.Connect(m_File.WidePath().c_str()), CDataLayer::ConnectOK); }

    QString Folder() const { return QString::fromStdString(m_File.Folder()); }

    QString WriteSample(const QString& name, const QByteArray& bytes) const {
        const QString path = Folder() + u'/' + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    ULONG AddVehicle(const char16_t* name) {
        CVehicle vehicle;
        vehicle.SetRefID(++m_LastRefID);
        vehicle.SetName(name);
        EXPECT_EQ(m_Layer.Save(&vehicle, 0), 1);
        return vehicle.GetRefID();
    }

    int EntryCount() {
        CObjectListT<CEntry> entries;
        CEntryFilter all;
        m_Layer.Load(entries, all);
        return entries.GetCount();
    }

    // Opens the sample, imports it into the named vehicle (made when missing) and gives the result.
    CEntryImporter::Result Import(CEntryImporter& importer, const QString& path,
                                  const QString& vehicle = {}) {
        EXPECT_TRUE(importer.Open(path)) << ImportText(importer.OpenFailure()).toStdString();
        importer.targetVehicleName = vehicle;
        return importer.Import(nullptr);
    }

    ScopedTimeZone m_Zone{kNewYork};
    TempDataFile m_File;
    CDataLayer m_Layer;
    ULONG m_LastRefID = 500;
};
