#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QObject>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QSpinBox;

// The font chooser: face, style, size in points, the effects underline and strike-out,
// and the font colour (Qt's own font dialog offers no colour).
class TFontPicker : public QDialog {
    Q_OBJECT
public:
    explicit TFontPicker(QWidget* parent = nullptr);

    void setChoice(const QFont& font, const QColor& color);
    QFont chosenFont() const;
    QColor chosenColor() const;

    QFontComboBox* faceBox() const { return m_face; }
    QComboBox* styleBox() const { return m_style; }
    QSpinBox* sizeBox() const { return m_size; }
    QCheckBox* underlineBox() const { return m_underline; }
    QCheckBox* strikeOutBox() const { return m_strikeOut; }
    QComboBox* colorBox() const { return m_color; }

private:
    void selectColor(const QColor& color);
    void updateSample();

    QFontComboBox* m_face;
    QComboBox* m_style;
    QSpinBox* m_size;
    QCheckBox* m_underline;
    QCheckBox* m_strikeOut;
    QComboBox* m_color;
    QLabel* m_sample;
};

// dlgFont1: keeps the font last accepted in it for the whole run. It starts from
// Tahoma 8 points (11 pixels), regular, in the window-text colour.
class TFontDialog : public QObject {
    Q_OBJECT
public:
    explicit TFontDialog(QWidget* parent);

    // Shows the chooser at the kept value; on acceptance keeps the choice and returns true.
    bool execute();

    QFont font() const { return m_font; }
    QColor color() const { return m_color; }

    // Pixel height of a point size on this screen, rounded as the font sizes are.
    static int PointsToPixels(int points);
    static int PixelsToPoints(int pixels);

private:
    QWidget* m_owner;
    QFont m_font;
    QColor m_color;
};

// dlgColor1: a colour dialog that starts from black and reopens at the last accepted
// colour.
class TColorDialog : public QObject {
    Q_OBJECT
public:
    explicit TColorDialog(QWidget* parent);

    bool execute();
    QColor color() const { return m_color; }

private:
    QWidget* m_owner;
    QColor m_color = Qt::black;
};
