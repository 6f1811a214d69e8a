#pragma once
// The program's icons and pictures, drawn as scalable images and kept in the Qt resource file.

#include <QIcon>
#include <QString>

// The resource path of an icon or picture number (IDI_*, IDB_* of ResourceIds.h); empty if unknown.
QString IconResourcePath(int id);

// The icon of that number; a null icon if unknown. Parts drawn in "currentColor" take the ink of
// the application's palette when the icon is drawn.
QIcon LoadIconResource(int id);
