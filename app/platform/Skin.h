#pragma once

#include <QIcon>
#include <QString>

// The window's skin and the program icon, compiled into the program as Qt resources
// (resources/tovex.qrc), so that a copy of the executable alone runs anywhere.

// The skin's style sheet (resources/skin/skin.qss); its images are referenced from it.
QString SkinStyleSheet();

// The program icon, 16 x 16 and 32 x 32.
QIcon ProgramIcon();
