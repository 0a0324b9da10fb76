// The main window as built: the geometry of every control, focus order, hints, the
// text box's layout rules and the length label.
#include "GuiTestMain.h"

#include "LinkImage.h"
#include "Memo.h"
#include "MemoLayout.h"
#include "SkinFrame.h"
#include "StatusPanes.h"
#include "Unit1.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QFontInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>

#include <memory>

class TestMainWindow : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TForm1> m_form;

    // Types text as a keyboard would, Chinese included (QTest::keyClicks takes Latin-1).
    static void type(QWidget* widget, const QString& text) {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(widget, &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(widget, &release);
        }
    }

    // Tops of the document's blocks, in viewport coordinates.
    QList<int> blockTops() const {
        QList<int> tops;
        QTextDocument* doc = m_form->Memo1->document();
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
            tops << qRound(doc->documentLayout()->blockBoundingRect(b).top());
        return tops;
    }

    void checkEvenlySpaced(int lineHeight) {
        const QList<int> tops = blockTops();
        QVERIFY(tops.size() >= 2);
        for (int i = 1; i < tops.size(); ++i)
            QCOMPARE(tops[i] - tops[i - 1], lineHeight);
    }

private slots:
    void init() {
        m_form = std::make_unique<TForm1>();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    void cleanup() { m_form.reset(); }

    void windowFrame() {
        QCOMPARE(m_form->windowTitle(), QStringLiteral("青禾长微博单机版V1.10"));
        QCOMPARE(m_form->clientArea()->size(), QSize(558, 588));
        QCOMPARE(m_form->size(), TSkinFrame::OuterSize(QSize(558, 588)));
        QCOMPARE(m_form->minimumSize(), m_form->maximumSize()); // not resizable
        QVERIFY(m_form->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(!(m_form->windowFlags() & Qt::WindowMaximizeButtonHint));
        const QFontInfo font(m_form->font());
        QCOMPARE(font.family(), QStringLiteral("Tahoma"));
        QCOMPARE(font.pixelSize(), 11);
    }

    void controlGeometry_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("geometry");
        const QString client = QStringLiteral("clientArea");
        QTest::newRow("lbl2") << "lbl2" << client << QRect(0, 0, 558, 52);
        QTest::newRow("TopPnl") << "TopPnl" << client << QRect(0, 52, 558, 49);
        QTest::newRow("img1") << "img1"
                              << "TopPnl" << QRect(1, 1, 256, 47);
        QTest::newRow("img2") << "img2"
                              << "TopPnl" << QRect(257, 1, 300, 47);
        QTest::newRow("Memo1") << "Memo1" << client << QRect(0, 101, 558, 345);
        QTest::newRow("lbl1") << "lbl1" << client << QRect(0, 446, 558, 27);
        QTest::newRow("BitBtn1") << "BitBtn1" << client << QRect(38, 504, 75, 25);
        QTest::newRow("btn1") << "btn1" << client << QRect(173, 504, 75, 25);
        QTest::newRow("grp1") << "grp1" << client << QRect(312, 480, 249, 73);
        QTest::newRow("BitBtn2") << "BitBtn2"
                                 << "grp1" << QRect(32, 32, 75, 25);
        QTest::newRow("BitBtn3") << "BitBtn3"
                                 << "grp1" << QRect(135, 32, 75, 25);
        QTest::newRow("RzStatusBar1") << "RzStatusBar1" << client << QRect(0, 569, 558, 19);
        const QString bar = QStringLiteral("RzStatusBar1");
        QTest::newRow("RzStatusPane2") << "RzStatusPane2" << bar << QRect(0, 0, 169, 19);
        QTest::newRow("RzVersionInfoStatus1")
            << "RzVersionInfoStatus1" << bar << QRect(115, 0, 100, 19);
        QTest::newRow("RzClockStatus1") << "RzClockStatus1" << bar << QRect(215, 0, 150, 19);
        QTest::newRow("RzStatusPane1") << "RzStatusPane1" << bar << QRect(365, 0, 193, 19);
    }
    void controlGeometry() {
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QRect, geometry);
        auto* widget = m_form->findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget()->objectName(), parent);
        QCOMPARE(widget->geometry(), geometry);
        QVERIFY(widget->isVisible());
    }

    void controlTexts() {
        QCOMPARE(m_form->BitBtn1->text(), QStringLiteral("开始转换"));
        QCOMPARE(m_form->btn1->text(), QStringLiteral("打开目录"));
        QCOMPARE(m_form->BitBtn2->text(), QStringLiteral("字体"));
        QCOMPARE(m_form->BitBtn3->text(), QStringLiteral("背景颜色"));
        QCOMPARE(m_form->grp1->title(), QStringLiteral("设置"));
        QCOMPARE(m_form->lbl1->text(), QStringLiteral("当前长度:0"));
        QVERIFY(m_form->lbl2->text().startsWith(QStringLiteral("使用说明：将文字内容复制")));
        QVERIFY(m_form->lbl2->wordWrap());
        QVERIFY(m_form->RzStatusPane1->text().startsWith(QStringLiteral("官方Email:")));
        QVERIFY(m_form->RzStatusPane1->text().size() > QStringLiteral("官方Email:").size());
        QVERIFY(!m_form->RzStatusPane2->text().isEmpty());
        QVERIFY(m_form->RzVersionInfoStatus1->text().isEmpty());
        // The web pane, created last, lies above the blank version pane it overlaps.
        const QObjectList panes = m_form->RzStatusBar1->children();
        QVERIFY(panes.indexOf(m_form->RzStatusPane2) > panes.indexOf(m_form->RzVersionInfoStatus1));
        QCOMPARE(m_form->img1->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(m_form->img2->cursor().shape(), Qt::PointingHandCursor);
    }

    void focusAndTabOrder() {
        QTRY_COMPARE(QApplication::focusWidget(), m_form->Memo1);
        const QList<QWidget*> expected = {m_form->BitBtn2, m_form->BitBtn3, m_form->BitBtn1,
                                          m_form->btn1, m_form->Memo1};
        for (QWidget* next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        // Tab moves the focus on; it never lands in the text.
        QVERIFY(m_form->Memo1->toPlainText().isEmpty());
    }

    void onlyMemoHasHint() {
        QCOMPARE(m_form->Memo1->toolTip(), QStringLiteral("双击空白处清空内容！"));
        for (QWidget* w : m_form->clientArea()->findChildren<QWidget*>()) {
            if (w != m_form->Memo1 && !m_form->Memo1->isAncestorOf(w))
                QVERIFY2(w->toolTip().isEmpty(), qPrintable(w->objectName()));
        }
    }

    void memoTextAreaWidth() {
        TMemo* memo = m_form->Memo1;
        QCOMPARE(memo->frameWidth(), MemoBorderWidth);
        QCOMPARE(memo->verticalScrollBar()->width(), MemoScrollBarWidth);
        QVERIFY(memo->verticalScrollBar()->isVisible());
        QCOMPARE(memo->viewport()->width(), MemoTextAreaWidth());
        QCOMPARE(memo->viewport()->width(), 537);
        QVERIFY(memo->tabChangesFocus());
        QVERIFY(!memo->acceptRichText());
        QCOMPARE(memo->lineWrapMode(), QTextEdit::WidgetWidth);
        const QFontInfo font(memo->font());
        QCOMPARE(font.family(), QStringLiteral("Tahoma"));
        QCOMPARE(font.pixelSize(), 14);
        QCOMPARE(memo->lineHeight(), MemoLineHeight(memo->font()));
        QCOMPARE(memo->fontColor(), memo->palette().color(QPalette::Text));
    }

    void linesEvenlySpaced() {
        TMemo* memo = m_form->Memo1;
        memo->setPlainText(QStringLiteral("abc\n中文\nxyz\n中文，中文\n"));
        checkEvenlySpaced(memo->lineHeight());

        // Typed and pasted blocks keep the spacing.
        memo->clear();
        memo->setFocus();
        QTest::keyClicks(memo, QStringLiteral("abc"));
        QTest::keyClick(memo, Qt::Key_Return);
        type(memo, QStringLiteral("中文"));
        QTest::keyClick(memo, Qt::Key_Return);
        QApplication::clipboard()->setText(QStringLiteral("粘贴\nabc\n中文"));
        memo->paste();
        QCOMPARE(memo->document()->blockCount(), 5);
        checkEvenlySpaced(memo->lineHeight());

        // A new font gives a new spacing to every line.
        QFont bigger(QStringLiteral("Tahoma"));
        bigger.setPixelSize(24);
        memo->setFont(bigger);
        QVERIFY(memo->lineHeight() >= 24);
        checkEvenlySpaced(memo->lineHeight());
    }

    void lengthLabelFollowsEveryChange() {
        TMemo* memo = m_form->Memo1;
        QLabel* label = m_form->lbl1;
        memo->setFocus();
        QTest::keyClicks(memo, QStringLiteral("a"));
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, QStringLiteral("b"));
        QCOMPARE(label->text(), QStringLiteral("当前长度:4"));
        QApplication::clipboard()->setText(QStringLiteral("中文"));
        memo->paste();
        QCOMPARE(label->text(), QStringLiteral("当前长度:8"));
        memo->undo();
        QCOMPARE(label->text(), QStringLiteral("当前长度:4"));
        memo->selectAll();
        memo->cut();
        QCOMPARE(label->text(), QStringLiteral("当前长度:0"));
        memo->insertPlainText(QStringLiteral("the program's own append"));
        QCOMPARE(label->text(), QStringLiteral("当前长度:24"));

        // A long text that wraps over many display lines counts no break.
        const QString longLine(100000, QLatin1Char('x'));
        memo->setPlainText(longLine);
        QCOMPARE(label->text(), QStringLiteral("当前长度:100000"));
    }

    void doubleClickEmpties() {
        TMemo* memo = m_form->Memo1;
        memo->setPlainText(QStringLiteral("第一行 word\n第二行"));
        QCOMPARE(m_form->lbl1->text(), QStringLiteral("当前长度:19"));
        // On the scroll bar: not part of the text area.
        QTest::mouseDClick(memo->verticalScrollBar(), Qt::LeftButton, {}, QPoint(8, 30));
        QCOMPARE(memo->toPlainText(), QStringLiteral("第一行 word\n第二行"));
        // On a word in the middle: the whole text goes.
        const QRect word = memo->cursorRect(QTextCursor(memo->document()->findBlock(8)));
        QTest::mouseDClick(memo->viewport(), Qt::LeftButton, {}, word.center());
        QVERIFY(memo->toPlainText().isEmpty());
        QCOMPARE(m_form->lbl1->text(), QStringLiteral("当前长度:0"));
        // In an empty box nothing changes; typing afterwards keeps the line spacing.
        QTest::mouseDClick(memo->viewport(), Qt::LeftButton, {}, QPoint(200, 200));
        QCOMPARE(m_form->lbl1->text(), QStringLiteral("当前长度:0"));
        memo->insertPlainText(QStringLiteral("ab\n中文"));
        checkEvenlySpaced(memo->lineHeight());
    }
};

TOVEX_GUI_TEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
