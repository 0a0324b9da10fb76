// The aids around the text box that open a dialog: font and background colour (the folder
// opener needs a real desktop platform: tests/e2e); and the frame's behaviour: centring,
// minimizing, closing, errors.
#include "GuiTestMain.h"

#include "DialogRunner.h"
#include "FontDialog.h"
#include "Memo.h"
#include "MemoLayout.h"
#include "MessageBoxes.h"
#include "SkinFrame.h"
#include "StatusPanes.h"
#include "TovexError.h"
#include "Unit1.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontComboBox>
#include <QFontInfo>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>

#include <memory>

namespace {
// A stand-in receiver whose handler fails, as a conversion can.
class Failing : public QObject {
public:
    void Click(QObject*) { throw TovexError(QStringLiteral("Invalid GIF signature")); }
    void Fine(QObject*) { ++calls; }
    int calls = 0;
};

class ThrowingWidget : public QWidget {
protected:
    void mousePressEvent(QMouseEvent*) override { throw TovexError(QStringLiteral("磁盘已满")); }
};
} // namespace

class TestWindowAids : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TForm1> m_form;

private slots:
    void init() {
        m_form = std::make_unique<TForm1>();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    void cleanup() { m_form.reset(); }

    void fontDialogStartsAtTahoma8AndRemembers() {
        // What the dialog offered when it opened, each time.
        struct Offered {
            QString face;
            int points, style;
            bool underline, strikeOut;
            QColor color;
        };
        QList<Offered> offered;
        const QFont chosen(QStringLiteral("DejaVu Serif"));
        DialogRunner::Answer answer([&](QDialog& dialog) {
            auto& picker = dynamic_cast<TFontPicker&>(dialog);
            offered.append({picker.faceBox()->currentFont().family(), picker.sizeBox()->value(),
                            picker.styleBox()->currentIndex(), picker.underlineBox()->isChecked(),
                            picker.strikeOutBox()->isChecked(), picker.chosenColor()});
            if (offered.size() > 1) {
                picker.sizeBox()->setValue(40);
                return false; // cancelled
            }
            picker.faceBox()->setCurrentFont(chosen);
            picker.sizeBox()->setValue(18);
            picker.styleBox()->setCurrentIndex(3); // bold italic
            picker.underlineBox()->setChecked(true);
            picker.strikeOutBox()->setChecked(true);
            picker.colorBox()->setCurrentIndex(picker.colorBox()->findText("红色"));
            return true;
        });

        m_form->BitBtn2->click();
        QCOMPARE(offered.size(), 1);
        QCOMPARE(offered[0].face, QStringLiteral("Tahoma"));
        QCOMPARE(offered[0].points, 8);
        QCOMPARE(offered[0].style, 0);
        QVERIFY(!offered[0].underline && !offered[0].strikeOut);
        QCOMPARE(offered[0].color, m_form->palette().color(QPalette::WindowText));
        QCOMPARE(m_form->dlgFont1->font().family(), QStringLiteral("DejaVu Serif"));

        TMemo* memo = m_form->Memo1;
        QCOMPARE(QFontInfo(memo->font()).family(), chosen.family());
        QCOMPARE(memo->font().pixelSize(), 24); // 18 points at 96 dots per inch
        QVERIFY(memo->font().bold() && memo->font().italic());
        QVERIFY(memo->font().underline() && memo->font().strikeOut());
        QCOMPARE(memo->fontColor(), QColor(Qt::red));
        QCOMPARE(memo->lineHeight(), MemoLineHeight(memo->font()));
        // The box really draws its text in the chosen colour.
        memo->setPlainText(QStringLiteral("WWWW 中文"));
        const QImage shown = memo->viewport()->grab().toImage();
        bool redInk = false;
        for (int y = 0; y < 40 && !redInk; ++y)
            for (int x = 0; x < 120 && !redInk; ++x) {
                const QColor c = shown.pixelColor(x, y);
                redInk = c.red() > 200 && c.green() < 60 && c.blue() < 60;
            }
        QVERIFY(redInk);
        memo->clear();

        m_form->BitBtn2->click();
        QCOMPARE(offered.size(), 2);
        QCOMPARE(offered[1].face, chosen.family());
        QCOMPARE(offered[1].points, 18);
        QCOMPARE(offered[1].style, 3);
        QVERIFY(offered[1].underline && offered[1].strikeOut);
        QCOMPARE(offered[1].color, QColor(Qt::red));
        QCOMPARE(memo->font().pixelSize(), 24);                       // the cancel changed nothing
        QCOMPARE(m_form->lbl1->text(), QStringLiteral("当前长度:0")); // font is no text
    }

    void colorDialogStartsBlackAndRemembers() {
        QList<QColor> offered;
        const QList<QColor> picked = {QColor(0x33, 0x66, 0x99), QColor(0xff, 0xee, 0xcc),
                                      QColor(0x11, 0x22, 0x33)};
        const QList<bool> accepted = {false, true, false};
        DialogRunner::Answer answer([&](QDialog& dialog) {
            auto& colors = dynamic_cast<QColorDialog&>(dialog);
            offered.append(colors.currentColor());
            colors.setCurrentColor(picked[offered.size() - 1]);
            return accepted[offered.size() - 1];
        });
        const QColor background = m_form->Memo1->backgroundColor();
        const QColor text = m_form->Memo1->fontColor();
        m_form->BitBtn3->click();
        QCOMPARE(m_form->Memo1->backgroundColor(), background);
        m_form->BitBtn3->click();
        QCOMPARE(m_form->Memo1->backgroundColor(), picked[1]);
        QCOMPARE(m_form->Memo1->viewport()->grab().toImage().pixelColor(300, 200), picked[1]);
        m_form->BitBtn3->click();
        QCOMPARE(m_form->Memo1->backgroundColor(), picked[1]);
        QCOMPARE(offered, QList<QColor>({QColor(Qt::black), QColor(Qt::black), picked[1]}));
        QCOMPARE(m_form->Memo1->fontColor(), text);
    }

    void guardedHandlerShowsErrorAndGoesOn() {
        MessageBoxes::Recorder boxes;
        Failing receiver;
        QPushButton button;
        connect(&button, &QPushButton::clicked, &receiver, guarded(&receiver, &Failing::Click));
        connect(&button, &QPushButton::clicked, &receiver, guarded(&receiver, &Failing::Fine));
        button.click();
        button.click();
        QCOMPARE(boxes.shown().size(), 2);
        QVERIFY(boxes.shown().first().isError);
        QCOMPARE(boxes.shown().first().text, QStringLiteral("Invalid GIF signature."));
        QCOMPARE(receiver.calls, 2);
    }

    void notifyIsTheBackstop() {
        MessageBoxes::Recorder boxes;
        ThrowingWidget widget;
        widget.resize(50, 50);
        widget.show();
        QTest::mouseClick(&widget, Qt::LeftButton);
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().first().text, QStringLiteral("磁盘已满."));
    }

    void centredPosition_data() {
        QTest::addColumn<QRect>("workArea");
        QTest::addColumn<QSize>("outer");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("1280x1024")
            << QRect(0, 0, 1280, 1024) << QSize(566, 622) << QPoint(357, 201);
        QTest::newRow("taskbar at the top, odd sizes")
            << QRect(0, 31, 1365, 737) << QSize(567, 623) << QPoint(399, 88);
        QTest::newRow("second monitor on the left")
            << QRect(-1280, 0, 1280, 1024) << QSize(566, 622) << QPoint(-923, 201);
        QTest::newRow("work area smaller than the window")
            << QRect(0, 0, 400, 300) << QSize(566, 622) << QPoint(-83, -161);
    }
    void centredPosition() {
        QFETCH(QRect, workArea);
        QFETCH(QSize, outer);
        QFETCH(QPoint, expected);
        QCOMPARE(TSkinFrame::CentredPosition(workArea, outer), expected);
    }

    void firstShowCentresOnlyOnce() {
        const QRect area = m_form->screen()->availableGeometry();
        QCOMPARE(m_form->pos(), TSkinFrame::CentredPosition(area, m_form->frameGeometry().size()));
        m_form->move(10, 20);
        m_form->hide();
        m_form->show();
        QCOMPARE(m_form->pos(), QPoint(10, 20));
    }

    void frameButtons() {
        TSkinFrame* frame = m_form->bsfrm;
        QCOMPARE(frame->minimizeButton()->toolTip(), QStringLiteral("最小化"));
        QCOMPARE(frame->closeButton()->toolTip(), QStringLiteral("关闭"));
        QVERIFY(!frame->systemMenuButton()->icon().isNull());
        QStringList items;
        for (QAction* action : frame->systemMenu()->actions())
            if (!action->isSeparator())
                items << action->text().section(QLatin1Char('('), 0, 0);
        QCOMPARE(items, QStringList({"最小化", "关闭"}));

        QSignalSpy minimized(frame, &TSkinFrame::minimized);
        frame->minimizeButton()->click();
        QCOMPARE(minimized.count(), 1);
        QVERIFY(m_form->isMinimized());
        m_form->showNormal();

        QSignalSpy menu(frame->systemMenuButton(), &TSysMenuButton::menuRequested);
        QTest::mouseDClick(frame->systemMenuButton(), Qt::LeftButton);
        QVERIFY(!m_form->isVisible()); // closed at once, no question
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QCOMPARE(menu.count(), 0);
    }

    void clockShowsSystemFormatsAndChangesOnlyWhenDue() {
        TClockPane* clock = m_form->RzClockStatus1;
        QDateTime now(QDate(2026, 3, 4), QTime(5, 6, 7));
        clock->setClock([&] { return now; });
        const QLocale locale = QLocale::system();
        QCOMPARE(clock->text(), locale.toString(now.date(), QLocale::ShortFormat) + " " +
                                    locale.toString(now.time(), QLocale::LongFormat));
        QVERIFY(!clock->refresh()); // same second: no new text, no repaint
        now = now.addSecs(1);
        QVERIFY(clock->refresh());
        QVERIFY(clock->text().contains(locale.toString(now.time(), QLocale::LongFormat)));
    }
};

TOVEX_GUI_TEST_MAIN(TestWindowAids)
#include "TestWindowAids.moc"
