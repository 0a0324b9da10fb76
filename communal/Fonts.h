#pragma once

// Tahoma is the face of the window and of the text box, but it is no Linux font: Debian's
// fonts-wine installs it outside fontconfig's folders. When the font database has no
// Tahoma, this registers those files with the application (needs a QGuiApplication).
// Returns whether a Tahoma is available afterwards.
bool EnsureTahoma();
