#pragma once

#include <QString>

// The output folder beside the program: appDir (with its trailing '/') + "Pic".
QString PicFolderOf(const QString& appDir);

// Makes the folder with any missing parents unless a folder of that name exists.
// Returns whether the folder exists afterwards; start-up ignores the answer, since a
// failure only matters when a conversion writes there.
bool EnsureFolder(const QString& path);
