#pragma once
// The few process-wide objects: the data layer and the record services over it, the settings,
// and the session (the active vehicle). Only the frame, start-up and the console tool reach the
// data layer itself; everything else loads and saves through the record services.

class CAppSettings;
class CDataLayer;
class CRecordServices;
class CSession;

CDataLayer& TheDataLayer();
CRecordServices& TheRecords();
CAppSettings& TheSettings();
CSession& TheSession();
// Replaces the settings object (and the session over it) by a fresh one with the defaults,
// without writing the old one (a new run of the program in the same process, as the tests make).
void ResetSettings();
