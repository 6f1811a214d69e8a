#pragma once
// The vehicles an import writes into: the stored ones by their exact and folded names, those it
// makes (or in a dry run would make), what each holds already for the duplicate rule, and the
// highest reading imported for each.

#include "core/LocalDates.h"
#include "records/CObjectListT.h"
#include "records/CVehicle.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CDataLayer;

class CImportVehicles {
public:
    CImportVehicles(CDataLayer& layer, bool dryRun);

    // The stored vehicles; false when they cannot be read.
    bool Load();

    // A name of the file is the vehicle of that exact name; another case of a stored name only when
    // that is the one vehicle it can mean and the file does not use both spellings (fileNames, the
    // names the file was seen to hold). Made when missing; 0 when it cannot be.
    ULONG OfFileName(const QString& name, const QStringList& fileNames);
    // The vehicle the user named: the one of that exact name, else the one vehicle it names case
    // aside; "Golf" never lands in "GOLF" when both are stored. Made when missing; 0 when it cannot be.
    ULONG OfTypedName(const QString& name);

    enum class Stored { No, Yes, Unknown };
    // Whether the vehicle holds an entry of that type, local day, odometer and amount (to the
    // cent) already; Unknown when its entries cannot be read.
    Stored Holds(ULONG vehicle, int type, const QDate& day, LONG odometer, float amount);

    // A vehicle this import made gets the file's year, plate and make and model (into its notes,
    // which is where a vehicle keeps them); a stored vehicle keeps its own. False when it cannot
    // be saved.
    bool Describe(ULONG vehicle, int year, const QString& plate, const QString& makeModel);

    void Reached(ULONG vehicle, LONG odometer);
    // Raises each vehicle's current odometer to the highest reading imported; false when a
    // vehicle cannot be saved.
    bool StoreReadings();

    int Made() const { return m_Made; }

private:
    ULONG Make(const QString& name);

    struct Key {
        int type;
        qint64 day;
        LONG odometer;
        long long cents;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const;
    };
    using KeySet = std::unordered_set<Key, KeyHash>;
    static long long Cents(float amount);

    CDataLayer& m_DataLayer;
    bool m_DryRun;
    CObjectListT<CVehicle> m_Stored;
    std::map<ULONG, CVehicle*> m_ByRefID;
    QHash<QString, ULONG> m_ByName;
    QHash<QString, QList<ULONG>> m_ByFolded;
    std::vector<std::unique_ptr<CVehicle>> m_MadeVehicles;
    int m_Made = 0;
    ULONG m_DryRunVehicle = 0; // counts down: stands in for the vehicles a dry run would make
    QHash<QString, ULONG> m_Resolved;
    QString m_LastName; // rows come by vehicle: the name asked for last is nearly always the next
    ULONG m_LastRefID = 0;
    ULONG m_Typed = 0;
    std::unordered_map<ULONG, KeySet> m_Keys; // read when the import first comes to a vehicle
    CLocalDays m_Days;
    std::map<ULONG, LONG> m_Highest;
};
