#include "Unit1.h"

#include "AnsiText.h"
#include "AppDir.h"
#include "Application.h"
#include "BuildSettings.h"
#include "Download.h"
#include "FontDialog.h"
#include "Fonts.h"
#include "LinkImage.h"
#include "Memo.h"
#include "PicFolder.h"
#include "Skin.h"
#include "SkinFrame.h"
#include "StatusPanes.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>

TForm1* Form1 = nullptr;

namespace {
const char usageText[] =
    "使用说明：将文字内容复制到下面的文字框里面，点击开始转换，则生成相应的图片与文本文件"
    "记录，点击打开目录即可看到图片，可以插入到微博、和谐社区等！";

QFont tahoma(int pixels) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixels);
    return font;
}

QPushButton* skinnedButton(const char* text, QWidget* parent, const QRect& geometry) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}
} // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent) {
    EnsureTahoma();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("青禾长微博单机版V1.10"));
    setWindowIcon(ProgramIcon());
    setFont(tahoma(11));
    setStyleSheet(SkinStyleSheet());

    bsfrm = new TSkinFrame(this, QSize(ClientWidth, ClientHeight));
    createControls();
    connectHandlers();
    RunGuarded([this] { FormCreate(this); });
}

QWidget* TForm1::clientArea() const {
    return bsfrm->clientArea();
}

void TForm1::createControls() {
    QWidget* client = bsfrm->clientArea();

    lbl2 = new QLabel(QString::fromUtf8(usageText), client);
    lbl2->setObjectName(QStringLiteral("lbl2"));
    lbl2->setGeometry(0, 0, ClientWidth, 52);
    lbl2->setWordWrap(true);
    lbl2->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Memo1 = new TMemo(client);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(0, 101, ClientWidth, 345);
    Memo1->setFont(tahoma(14));
    Memo1->setToolTip(QStringLiteral("双击空白处清空内容！"));

    TopPnl = new QFrame(client);
    TopPnl->setObjectName(QStringLiteral("TopPnl"));
    TopPnl->setGeometry(0, 52, ClientWidth, 49);
    TopPnl->setFrameStyle(QFrame::Box | QFrame::Plain);
    img1 = new TLinkImage(TopPnl);
    img1->setObjectName(QStringLiteral("img1"));
    img1->setGeometry(1, 1, 256, 47);
    img2 = new TLinkImage(TopPnl);
    img2->setObjectName(QStringLiteral("img2"));
    img2->setGeometry(257, 1, 300, 47);

    createStatusBar(client);

    BitBtn1 = skinnedButton("开始转换", client, {38, 504, 75, 25});
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    btn1 = skinnedButton("打开目录", client, {173, 504, 75, 25});
    btn1->setObjectName(QStringLiteral("btn1"));

    lbl1 = new QLabel(QStringLiteral("当前长度:0"), client);
    lbl1->setObjectName(QStringLiteral("lbl1"));
    lbl1->setGeometry(0, 446, ClientWidth, 27);

    // The group box reaches 3 pixels past the client area's right edge and is cut there.
    grp1 = new QGroupBox(QStringLiteral("设置"), client);
    grp1->setObjectName(QStringLiteral("grp1"));
    grp1->setGeometry(312, 480, 249, 73);
    BitBtn2 = skinnedButton("字体", grp1, {32, 32, 75, 25});
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn3 = skinnedButton("背景颜色", grp1, {135, 32, 75, 25});
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));

    dlgFont1 = new TFontDialog(this);
    dlgFont1->setObjectName(QStringLiteral("dlgFont1"));
    dlgColor1 = new TColorDialog(this);
    dlgColor1->setObjectName(QStringLiteral("dlgColor1"));

    for (QWidget* w : client->findChildren<QWidget*>())
        w->setFocusPolicy(Qt::NoFocus);
    Memo1->setFocusPolicy(Qt::StrongFocus);
    for (QPushButton* b : {BitBtn2, BitBtn3, BitBtn1, btn1})
        b->setFocusPolicy(Qt::TabFocus);
    QWidget::setTabOrder(Memo1, BitBtn2);
    QWidget::setTabOrder(BitBtn2, BitBtn3);
    QWidget::setTabOrder(BitBtn3, BitBtn1);
    QWidget::setTabOrder(BitBtn1, btn1);
    Memo1->setFocus();
}

void TForm1::createStatusBar(QWidget* client) {
    RzStatusBar1 = new TStatusBar(client);
    RzStatusBar1->setObjectName(QStringLiteral("RzStatusBar1"));
    RzStatusBar1->setGeometry(0, 569, ClientWidth, 19);

    // Docked from the right: e-mail 193, clock 150, version 100; the web pane (169) is
    // docked left and, created last, lies over the left 54 pixels of the version pane.
    RzClockStatus1 = new TClockPane(RzStatusBar1);
    RzClockStatus1->setObjectName(QStringLiteral("RzClockStatus1"));
    RzClockStatus1->setGeometry(215, 0, 150, 19);
    RzVersionInfoStatus1 = new TStatusPane(RzStatusBar1);
    RzVersionInfoStatus1->setObjectName(QStringLiteral("RzVersionInfoStatus1"));
    RzVersionInfoStatus1->setGeometry(115, 0, 100, 19);
    RzStatusPane1 = new TStatusPane(RzStatusBar1);
    RzStatusPane1->setObjectName(QStringLiteral("RzStatusPane1"));
    RzStatusPane1->setGeometry(365, 0, 193, 19);
    RzStatusPane1->setText(QStringLiteral("官方Email:") +
                           QString::fromUtf8(BuildSettings::MakerEmail));
    RzStatusPane2 = new TStatusPane(RzStatusBar1);
    RzStatusPane2->setObjectName(QStringLiteral("RzStatusPane2"));
    RzStatusPane2->setGeometry(0, 0, 169, 19);
    RzStatusPane2->setText(QString::fromUtf8(BuildSettings::MakerWeb));
}

void TForm1::connectHandlers() {
    connect(Memo1, &TMemo::textChanged, this, guarded(this, &TForm1::Memo1Change, Memo1));
    connect(Memo1, &TMemo::doubleClicked, this, guarded(this, &TForm1::Memo1DblClick, Memo1));
    connect(BitBtn1, &QPushButton::clicked, this, guarded(this, &TForm1::BitBtn1Click, BitBtn1));
    connect(BitBtn2, &QPushButton::clicked, this, guarded(this, &TForm1::BitBtn2Click, BitBtn2));
    connect(BitBtn3, &QPushButton::clicked, this, guarded(this, &TForm1::BitBtn3Click, BitBtn3));
    connect(btn1, &QPushButton::clicked, this, guarded(this, &TForm1::btn1Click, btn1));
    connect(bsfrm, &TSkinFrame::minimized, this, guarded(this, &TForm1::bsfrmMinimize, bsfrm));
    // Without a window manager nothing else turns Alt+F4 into a close.
    auto* altF4 = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), this);
    altF4->setContext(Qt::WindowShortcut);
    connect(altF4, &QShortcut::activated, this, &QWidget::close);
}

void TForm1::setVisible(bool visible) {
    const bool showing = visible && !isVisible();
    if (showing) {
        RunGuarded([this] { FormShow(this); });
        if (!m_shownBefore)
            bsfrm->centreWindow();
    }
    QWidget::setVisible(visible);
    if (showing && !m_shownBefore) {
        m_shownBefore = true;
        activateWindow();
        Memo1->setFocus(Qt::ActiveWindowFocusReason);
    }
}

void TForm1::FormCreate(QObject*) {
    EnsureFolder(PicFolderOf(GetAppDir())); // a failure shows when a conversion writes
}

void TForm1::FormShow(QObject*) {
    // Whatever the fetch gives, the banners read the settings file that is there now.
    FetchSettingsFile(ProductCode, m_site.serverBase, m_site.programFolder, m_site.limits);
    if (ShowCount >= 1)
        return;
    LoadLinkBanner(*img1, QStringLiteral("fname1"), ProductCode, m_site);
    LoadLinkBanner(*img2, QStringLiteral("fname2"), ProductCode, m_site);
    ++ShowCount;
}

void TForm1::Memo1Change(QObject*) {
    lbl1->setText(QStringLiteral("当前长度:") +
                  QString::number(AnsiByteLength(Memo1->toPlainText())));
}

void TForm1::Memo1DblClick(QObject* Sender) {
    Memo1->clear();
    Memo1Change(Sender);
}

void TForm1::BitBtn2Click(QObject*) {
    if (!dlgFont1->execute())
        return;
    Memo1->setFont(dlgFont1->font());
    Memo1->setFontColor(dlgFont1->color());
}

void TForm1::BitBtn3Click(QObject*) {
    if (dlgColor1->execute())
        Memo1->setBackgroundColor(dlgColor1->color());
}

void TForm1::btn1Click(QObject*) {
    // The folder is "Pic" as FormCreate makes it: this file system tells case apart.
    QDesktopServices::openUrl(QUrl::fromLocalFile(PicFolderOf(GetAppDir())));
}

void TForm1::bsfrmMinimize(QObject*) {
    // A single-document window: there are no child windows to minimize with it.
}
