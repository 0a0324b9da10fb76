#include "FontDialog.h"

#include "DialogRunner.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace {
struct NamedColor {
    const char* name;
    QRgb rgb;
};

// The sixteen basic colours of a classic font dialog.
const NamedColor basicColors[] = {
    {"黑色", 0x000000},   {"褐红色", 0x800000}, {"绿色", 0x008000},   {"橄榄色", 0x808000},
    {"深蓝色", 0x000080}, {"紫色", 0x800080},   {"深青色", 0x008080}, {"灰色", 0x808080},
    {"银色", 0xC0C0C0},   {"红色", 0xFF0000},   {"酸橙色", 0x00FF00}, {"黄色", 0xFFFF00},
    {"蓝色", 0x0000FF},   {"紫红色", 0xFF00FF}, {"水绿色", 0x00FFFF}, {"白色", 0xFFFFFF},
};

enum Style { Regular, Italic, Bold, BoldItalic };

double screenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

QIcon swatch(const QColor& color) {
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    return QIcon(pixmap);
}
} // namespace

TFontPicker::TFontPicker(QWidget* parent)
    : QDialog(parent)
    , m_face(new QFontComboBox(this))
    , m_style(new QComboBox(this))
    , m_size(new QSpinBox(this))
    , m_underline(new QCheckBox(QStringLiteral("下划线(&U)"), this))
    , m_strikeOut(new QCheckBox(QStringLiteral("删除线(&K)"), this))
    , m_color(new QComboBox(this))
    , m_sample(new QLabel(QStringLiteral("AaBbYyZz 微软中文"), this)) {
    setWindowTitle(QStringLiteral("字体"));
    m_style->addItems({QStringLiteral("常规"), QStringLiteral("斜体"), QStringLiteral("粗体"),
                       QStringLiteral("粗斜体")});
    m_size->setRange(1, 400);
    for (const NamedColor& c : basicColors)
        m_color->addItem(swatch(QColor(c.rgb)), QString::fromUtf8(c.name), QColor(c.rgb));
    m_sample->setMinimumSize(260, 60);
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("字体(&F):"), m_face);
    form->addRow(QStringLiteral("字形(&Y):"), m_style);
    form->addRow(QStringLiteral("大小(&S):"), m_size);
    form->addRow(QStringLiteral("效果:"), m_underline);
    form->addRow(QString(), m_strikeOut);
    form->addRow(QStringLiteral("颜色(&C):"), m_color);
    form->addRow(QStringLiteral("示例:"), m_sample);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    connect(m_face, &QFontComboBox::currentFontChanged, this, [this] { updateSample(); });
    connect(m_style, &QComboBox::currentIndexChanged, this, [this] { updateSample(); });
    connect(m_size, &QSpinBox::valueChanged, this, [this] { updateSample(); });
    connect(m_underline, &QCheckBox::toggled, this, [this] { updateSample(); });
    connect(m_strikeOut, &QCheckBox::toggled, this, [this] { updateSample(); });
    connect(m_color, &QComboBox::currentIndexChanged, this, [this] { updateSample(); });
}

void TFontPicker::setChoice(const QFont& font, const QColor& color) {
    m_face->setCurrentFont(QFont(font.family()));
    const bool bold = font.bold();
    const bool italic = font.italic();
    m_style->setCurrentIndex(bold ? (italic ? BoldItalic : Bold) : (italic ? Italic : Regular));
    const int pixels =
        font.pixelSize() > 0 ? font.pixelSize() : TFontDialog::PointsToPixels(font.pointSize());
    m_size->setValue(TFontDialog::PixelsToPoints(pixels));
    m_underline->setChecked(font.underline());
    m_strikeOut->setChecked(font.strikeOut());
    selectColor(color);
}

QFont TFontPicker::chosenFont() const {
    QFont font(m_face->currentFont().family());
    font.setPixelSize(TFontDialog::PointsToPixels(m_size->value()));
    const int style = m_style->currentIndex();
    font.setBold(style == Bold || style == BoldItalic);
    font.setItalic(style == Italic || style == BoldItalic);
    font.setUnderline(m_underline->isChecked());
    font.setStrikeOut(m_strikeOut->isChecked());
    return font;
}

QColor TFontPicker::chosenColor() const {
    return m_color->currentData().value<QColor>();
}

void TFontPicker::selectColor(const QColor& color) {
    int index = m_color->findData(color);
    if (index < 0) {
        m_color->addItem(swatch(color), color.name(), color);
        index = m_color->count() - 1;
    }
    m_color->setCurrentIndex(index);
}

void TFontPicker::updateSample() {
    m_sample->setFont(chosenFont());
    QPalette p = m_sample->palette();
    p.setColor(QPalette::WindowText, chosenColor());
    m_sample->setPalette(p);
}

TFontDialog::TFontDialog(QWidget* parent)
    : QObject(parent)
    , m_owner(parent)
    , m_font(QStringLiteral("Tahoma"))
    , m_color(QGuiApplication::palette().color(QPalette::WindowText)) {
    m_font.setPixelSize(PointsToPixels(8));
}

bool TFontDialog::execute() {
    TFontPicker picker(m_owner);
    picker.setChoice(m_font, m_color);
    if (!DialogRunner::run(picker))
        return false;
    m_font = picker.chosenFont();
    m_color = picker.chosenColor();
    return true;
}

int TFontDialog::PointsToPixels(int points) {
    return static_cast<int>(std::lround(points * screenDpi() / 72.0));
}

int TFontDialog::PixelsToPoints(int pixels) {
    return static_cast<int>(std::lround(pixels * 72.0 / screenDpi()));
}

TColorDialog::TColorDialog(QWidget* parent)
    : QObject(parent)
    , m_owner(parent) {}

bool TColorDialog::execute() {
    QColorDialog dialog(m_color, m_owner);
    dialog.setWindowTitle(QStringLiteral("颜色"));
    if (!DialogRunner::run(dialog))
        return false;
    m_color = dialog.currentColor();
    return true;
}
