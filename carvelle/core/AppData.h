#pragma once
// The process-wide data layer and settings.

class CAppSettings;
class CDataLayer;

CDataLayer& TheDataLayer();
CAppSettings& TheSettings();
// Replaces the settings object by a fresh one with the defaults, without writing the old one
// (a new run of the program in the same process, as the tests make).
void ResetSettings();
