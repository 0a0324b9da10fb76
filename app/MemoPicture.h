#pragma once

#include "TextPicture.h"

class TMemo;

// What the picture of the text box is made from: its text (as laid out, non-breaking
// spaces kept), font, font colour, background colour, text area width and line height.
TextPictureSource MemoPicture(const TMemo& memo);
