#pragma once
// The main window's title: the program, then the open data file, then the vehicle whose log is in
// view ("Wagon (2004) — Carvelle.db — Carvelle").

#include <QString>

class CVehicle;

// vehicle: the vehicle whose log is in view, or null in the vehicle list.
QString MainWindowTitle(const CVehicle* vehicle);
