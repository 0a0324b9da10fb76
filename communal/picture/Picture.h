#pragma once

#include <QImage>
#include <QString>

#include <vector>

// One frame of an animated picture: the whole composed image and how long it shows.
struct PictureFrame {
    QImage image;
    int delayMs = 0;
};

// A GIF as read: its frames (at least one) and its loop setting, as QMovie counts it:
// -1 repeats forever, 0 plays once, n plays n + 1 times.
struct GifAnimation {
    std::vector<PictureFrame> frames;
    int loopCount = 0;
};

// The picture of a banner, the stand-in for the toolkit's picture holder. It holds nothing,
// a bitmap, an icon, a metafile (drawn once at its natural size), a JPEG or a GIF (one or
// more frames). Only a bitmap can be drawn on.
class TPicture {
public:
    enum class Kind { None, Bitmap, Icon, Metafile, Jpeg, Gif };

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == Kind::None; }
    QSize size() const { return m_image.size(); }

    // The image to show: the picture itself, or the first frame of a GIF.
    const QImage& image() const { return m_image; }
    // The frames of a GIF (empty for the other kinds); more than one means animated.
    const std::vector<PictureFrame>& frames() const { return m_frames; }
    bool isAnimated() const { return m_frames.size() > 1; }
    int loopCount() const { return m_loopCount; }

    // Loads the file, choosing the reader by the extension of its name without regard to
    // case: bmp, ico, wmf/emf, jpg/jpeg, gif. Throws TovexError, and then keeps what it held:
    //   "Unknown picture file extension (.EXT)" for any other extension or none;
    //   "Cannot open file "PATH". REASON" for a file that cannot be read;
    //   the reader's message for content that is not a valid picture of its kind.
    void loadFromFile(const QString& path);
    // The same for bytes already in memory, with the extension (without its dot) that
    // chooses the reader.
    void loadFromData(const QByteArray& data, const QString& extension);

    // The bitmap to draw on. An empty picture first becomes a white bitmap of sizeIfEmpty;
    // a bitmap is returned as it is. Any other kind throws TovexError
    // "Can only modify an image if it contains a bitmap".
    QImage& bitmapForDrawing(const QSize& sizeIfEmpty);

    void clear();

private:
    Kind m_kind = Kind::None;
    QImage m_image;
    std::vector<PictureFrame> m_frames;
    int m_loopCount = 0;
};

// The extension of a file name for choosing a reader: what follows the last "." of the
// name's last part, without the dot; empty when there is none.
QString PictureFileExtension(const QString& path);
