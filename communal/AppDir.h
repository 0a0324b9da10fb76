#pragma once

#include <QString>

// The folder of a program file: the path cut after its last '/', so that it ends with the
// separator and file names can be appended directly. A path without '/' gives "".
QString AppDirOf(const QString& programFilePath);

// The folder of the running program, with a trailing '/'.
QString GetAppDir();
