#pragma once

#include "TovexError.h"

#include <QFileDevice>
#include <QString>

// The system's text for an errno value ("No such file or directory").
QString SystemReason(int errorNumber);

// Why a file call failed: the system's reason when it set errno (captured right after the
// call), else Qt's own description of the file's error.
QString FailureReason(int errorNumber, const QFileDevice& file);

// A file error worded as the error box shows it: WHAT "<absolute native path>". REASON
// (WHAT is "Cannot create file" or "Cannot open file").
TovexError FileError(const QString& what, const QString& path, const QString& reason);
