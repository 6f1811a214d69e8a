#pragma once
// The three shared fonts of all lists and pages.

class QFont;

// Made from the system font at start-up and dropped when the message loop has ended.
void CreateSharedFonts();
void DeleteSharedFonts();
const QFont& NormalFont();
const QFont& BoldFont();
const QFont& SmallBoldFont(); // bold, 8.5 points
