#pragma once
// What the tests of the full check and the repaired copy share: a log of many pages, its entries
// counted through a connection of their own, whether a file checks sound, and a file's digest.

#include "carvelle/exchange/ExchangeTestSupport.h"

#include "datastore/CDataFileCheck.h"
#include "platform/TextConversion.h"

#include <QCryptographicHash>
#include <QFile>

#include <string>

inline QByteArray Digest(const std::string& path) {
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

class DataFileCheckTest : public ExchangeTest {
protected:
    // A vehicle with entries 1..count, each at its own odometer reading.
    ULONG AddLog(int count) {
        const ULONG car = AddVehicle(u"Car");
        EXPECT_TRUE(m_Layer.BeginTransaction());
        for (int i = 1; i <= count; ++i) {
            CEntry entry;
            entry.SetRefID(++m_LastRefID);
            entry.SetVehicleID(car);
            entry.SetType(CEntry::EntryFuel);
            entry.SetOdometer(i);
            entry.SetDate(45000.0 + i);
            entry.SetNotes(u"A note long enough to fill a few pages of the table with these rows.");
            EXPECT_EQ(m_Layer.Save(&entry, 0), 1);
        }
        EXPECT_EQ(m_Layer.Commit(), CDataLayer::CommitOK);
        return car;
    }

    static int EntriesOf(const std::string& path, ULONG vehicle) {
        CDataLayer layer;
        EXPECT_EQ(layer.Connect(Utf8ToWide(path).c_str()), CDataLayer::ConnectOK) << path;
        CEntryFilter filter;
        filter.SetVehicleID(vehicle);
        CObjectListT<CEntry> entries;
        EXPECT_TRUE(layer.Load(entries, filter));
        return entries.GetCount();
    }

    static bool Sound(const QString& path) {
        CDataFileCheck check;
        return check.Run(path.toStdU16String().c_str()) == CDataLayer::ConnectOK && check.IsSound();
    }
};
