#pragma once
// The few process-wide objects: the data layer, the settings and the shared fonts.

class CAppSettings;
class CDataLayer;
class QFont;

CDataLayer& TheDataLayer();
CAppSettings& TheSettings();
// Replaces the settings object by a fresh one with the defaults, without writing the old one
// (a new run of the program in the same process, as the tests make).
void ResetSettings();

// Made from the system font at start-up and dropped when the message loop has ended.
void CreateSharedFonts();
void DeleteSharedFonts();
const QFont& NormalFont();
const QFont& BoldFont();
const QFont& SmallBoldFont(); // bold, 8.5 points
