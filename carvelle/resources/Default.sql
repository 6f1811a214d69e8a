-- The empty Carvelle data file. The build turns this script into Default.ENU, the template
-- that every new data file is copied from. Column order is binding: the library reads rows
-- with SELECT * and inserts without a column list.

PRAGMA user_version = 1;

CREATE TABLE Vehicle (
    ID INTEGER PRIMARY KEY,
    RefID INTEGER NOT NULL,
    Name TEXT,
    Notes TEXT,
    Created REAL,
    Modified REAL,
    LicensePlate TEXT,
    VIN TEXT,
    DealerName TEXT,
    DealerPhone TEXT,
    DealerAddress TEXT,
    InsurancePolicyNumber TEXT,
    InsuranceAgentName TEXT,
    InsuranceAgentPhone TEXT,
    InsuranceCoverage TEXT,
    InsuranceExpirationDate REAL,
    CurrentOdometer INTEGER,
    Year INTEGER,
    ImagePath TEXT
);

CREATE TABLE Entry (
    ID INTEGER PRIMARY KEY,
    RefID INTEGER NOT NULL,
    Name TEXT,
    Notes TEXT,
    Created REAL,
    Modified REAL,
    Date REAL,
    Odometer INTEGER,
    VehicleID INTEGER,
    Type INTEGER,
    Vendor TEXT,
    Amount REAL,
    Custom1 REAL,
    Custom2 REAL
);

CREATE TABLE Keyword (
    ID INTEGER PRIMARY KEY,
    RefID INTEGER NOT NULL,
    Name TEXT,
    Type INTEGER,
    Created REAL,
    Modified REAL
);

CREATE TABLE Notification (
    ID INTEGER PRIMARY KEY,
    RefID INTEGER NOT NULL,
    Name TEXT,
    Created REAL,
    Modified REAL,
    Date REAL,
    Odometer INTEGER,
    VehicleID INTEGER
);

CREATE TABLE MetaData (
    ID INTEGER PRIMARY KEY,
    Value
);

-- A vehicle's entries and reminders are found (and deleted) by the vehicle's reference ID. The
-- index holds nothing else, so a vehicle's entries still load in table order, which the
-- statistics take as oldest to newest.
CREATE INDEX EntryVehicle ON Entry (VehicleID);
CREATE INDEX NotificationVehicle ON Notification (VehicleID);
-- New reference IDs are checked against their table, and vehicles are looked up by them.
CREATE INDEX EntryRefID ON Entry (RefID);
CREATE INDEX VehicleRefID ON Vehicle (RefID);

-- Row order matters: store ID (0 until first connected), the "QDX" mark, the version text.
INSERT INTO MetaData (ID, Value) VALUES (1, 0);
INSERT INTO MetaData (ID, Value) VALUES (2, 'QDX');
INSERT INTO MetaData (ID, Value) VALUES (3, '1.0');

-- Starting pick lists. Reference IDs are fixed and small; the library never issues them again
-- for these rows. Dates are 1 January 2026.
INSERT INTO Keyword VALUES (NULL, 1, 'Business', 1, 46023.0, 46023.0);
INSERT INTO Keyword VALUES (NULL, 2, 'Commute', 1, 46023.0, 46023.0);
INSERT INTO Keyword VALUES (NULL, 3, 'Personal', 1, 46023.0, 46023.0);
INSERT INTO Keyword VALUES (NULL, 4, 'Vacation', 1, 46023.0, 46023.0);
INSERT INTO Keyword VALUES (NULL, 5, 'Oil change', 2, 46023.0, 46023.0);
INSERT INTO Keyword VALUES (NULL, 6, 'Tire rotation', 2, 46023.0, 46023.0);
INSERT INTO Keyword VALUES (NULL, 7, 'Brakes', 2, 46023.0, 46023.0);
INSERT INTO Keyword VALUES (NULL, 8, 'Battery', 2, 46023.0, 46023.0);
INSERT INTO Keyword VALUES (NULL, 9, 'Inspection', 2, 46023.0, 46023.0);
INSERT INTO Keyword VALUES (NULL, 10, 'Car wash', 3, 46023.0, 46023.0);
INSERT INTO Keyword VALUES (NULL, 11, 'Insurance', 3, 46023.0, 46023.0);
INSERT INTO Keyword VALUES (NULL, 12, 'Parking', 3, 46023.0, 46023.0);
INSERT INTO Keyword VALUES (NULL, 13, 'Registration', 3, 46023.0, 46023.0);
INSERT INTO Keyword VALUES (NULL, 14, 'Tolls', 3, 46023.0, 46023.0);
INSERT INTO Keyword VALUES (NULL, 15, 'BP', 4, 46023.0, 46023.0);
INSERT INTO Keyword VALUES (NULL, 16, 'Chevron', 4, 46023.0, 46023.0);
INSERT INTO Keyword VALUES (NULL, 17, 'Exxon', 4, 46023.0, 46023.0);
INSERT INTO Keyword VALUES (NULL, 18, 'Shell', 4, 46023.0, 46023.0);
