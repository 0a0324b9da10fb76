#pragma once

#include <QString>

// The application's title: the program file's name up to its first '.', every letter
// after the first in lower case ("/opt/TOVEX.bin" gives "Tovex").
QString ApplicationTitleOf(const QString& programFilePath);

// The title of the running program; caption of every message box.
QString ApplicationTitle();

// The text of the error box: the message, with a full stop appended when its last
// character sorts after '.' ("...(.png)" stays, "Invalid GIF signature" gets one).
QString ErrorBoxText(const QString& message);
