#pragma once

#include <QByteArrayView>

#include <vector>

// One entry per reader of data that comes from the network. Each feeds the input to its
// reader the way the program meets such data and checks the reader's promises; a broken
// promise aborts with a message. A refused input throws TovexError; anything else that
// leaves an entry is a finding. The fuzz targets (fuzz-NAME) and the replay of the corpora
// in the test suite call the same entries.
using FuzzEntry = void (*)(QByteArrayView input);

struct FuzzTarget {
    const char* name; // the target's corpus folder: fuzz/corpus/NAME/
    FuzzEntry entry;
};

// HexToBytes and UnscrambleText on a stored value, as the settings read hands it over.
void FuzzScrambled(QByteArrayView input);

// The settings file's entries read through the INI layer, and a write read back.
void FuzzIni(QByteArrayView input);

// A banner picture file of each kind through the picture holder (bmp, ico, jpg, gif): read
// or refused; a refusal leaves the earlier picture, a picture read is of the extension's
// kind and within PictureLimits, frames included.
void FuzzBmp(QByteArrayView input);
void FuzzIco(QByteArrayView input);
void FuzzJpeg(QByteArrayView input);
void FuzzGif(QByteArrayView input);
// A Windows metafile and an enhanced metafile, as a banner picture file: read or refused,
// and a picture read has a size within PictureLimits. They need a QGuiApplication and
// make one when no application exists.
void FuzzWmf(QByteArrayView input);
void FuzzEmf(QByteArrayView input);

// Every entry by its corpus name.
const std::vector<FuzzTarget>& FuzzTargets();

// Aborts with the message when the condition is false: a reader broke its promise.
void FuzzCheck(bool condition, const char* promise);
