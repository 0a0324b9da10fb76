#pragma once

#include "LinkBanner.h"

#include <QLatin1StringView>
#include <QWidget>

class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class TClockPane;
class TColorDialog;
class TFontDialog;
class TLinkImage;
class TMemo;
class TSkinFrame;
class TStatusBar;
class TStatusPane;

// The product code: it names the settings file on the server and prefixes its sections.
inline constexpr QLatin1StringView ProductCode{"tovex"};

// The main window: the whole user interface of the program. Controls keep the names
// under which the window declares them; each handler is named after its control and
// event, takes the object that raised the event and ignores it. Handlers catch nothing:
// they are connected through guarded() (Application.h), which shows what escapes.
//
// The skin (style sheet and images) is compiled in and applied by the window; bsfrm
// draws the frame and the caption bar around the client area.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 558;
    static constexpr int ClientHeight = 588;

    explicit TForm1(QWidget* parent = nullptr);

    TMemo* Memo1;
    TFontDialog* dlgFont1;
    TColorDialog* dlgColor1;
    TLinkImage* img1;
    TLinkImage* img2;
    QFrame* TopPnl;
    TStatusBar* RzStatusBar1;
    TClockPane* RzClockStatus1;
    TStatusPane* RzVersionInfoStatus1;
    TStatusPane* RzStatusPane1;
    TStatusPane* RzStatusPane2;
    QPushButton* BitBtn1;
    QPushButton* btn1;
    QLabel* lbl1;
    QLabel* lbl2;
    TSkinFrame* bsfrm;
    QGroupBox* grp1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;

    // The client area, parent of the window's controls (inside bsfrm's border and
    // below its caption bar).
    QWidget* clientArea() const;

    void FormCreate(QObject* Sender);
    void FormShow(QObject* Sender);
    void BitBtn1Click(QObject* Sender);
    void Memo1Change(QObject* Sender);
    void Memo1DblClick(QObject* Sender);
    void BitBtn2Click(QObject* Sender);
    void BitBtn3Click(QObject* Sender);
    void btn1Click(QObject* Sender);
    void bsfrmMinimize(QObject* Sender);

    // Showing the window from hidden runs FormShow before the window is mapped; the
    // first show then centres it and gives Memo1 the focus.
    void setVisible(bool visible) override;

    // Completed fillings of both banners; FormShow fills them while this is 0.
    int ShowCount = 0;

    // Where FormShow fetches the settings file and the banners keep their caches: by
    // default the program folder and the maker's server. Tests point it elsewhere.
    void setSettingsSite(const SettingsSite& site) { m_site = site; }

    // Writes pathWithoutExtension + ".jpg": Memo1's text as Memo1 lays it out, every
    // display line from the first, line height x lines + 130 pixels tall. Memo1 itself
    // is not resized. Throws TovexError ("JPEG error #41", "Cannot create file ...").
    void txttojpg(const QString& pathWithoutExtension);

private:
    void createControls();
    void createStatusBar(QWidget* client);
    void connectHandlers();

    bool m_shownBefore = false;
    SettingsSite m_site = DefaultSettingsSite();
};

// The one instance, the application's main window (set by main()).
extern TForm1* Form1;
