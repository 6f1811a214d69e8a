#pragma once
// The main window opens where the user left it, inside the screen it opens on (the first time
// about two thirds of the screen), and is kept in the settings as it closes.

class QMainWindow;

void RestoreWindowPlacement(QMainWindow& window);
void StoreWindowPlacement(const QMainWindow& window);
