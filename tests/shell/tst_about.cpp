#include "TestSupport.h"
#include "common/Twips.h"
#include "shell/Form1.h"
#include "shell/Form2.h"

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace nerina;

class TstAbout final : public QObject
{
    Q_OBJECT

private slots:
    void texts();
    void okCloses();
    void reopensAfterClosing();
};

void TstAbout::texts()
{
    TestEnv env;
    auto form = env.makeForm();
    form->ui().mnuVERSION->trigger();
    QPointer<Form2> about = form->aboutWindow();
    QVERIFY(about);
    QVERIFY(about->isVisible());
    QCOMPARE(about->windowModality(), Qt::ApplicationModal);
    QCOMPARE(about->windowTitle(), QStringLiteral("Nerina's Diaryのﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(pixelsToTwips(about->width(), logicalDpi(about)), 4530);
    QCOMPARE(pixelsToTwips(about->height(), logicalDpi(about)), 1935);

    QCOMPARE(about->findChild<QLabel *>("Label1")->text(), QStringLiteral("Nerina's Diary"));
    QCOMPARE(about->findChild<QLabel *>("Label2")->text(), QStringLiteral("Ver 2.00"));
    auto *notice = about->findChild<QLabel *>("Label3");
    QVERIFY(!notice->text().isEmpty());
    QVERIFY(!notice->text().contains(QLatin1Char('\n')));
    QVERIFY(!about->findChild<QLabel *>("Picture1")->pixmap().isNull());
    QCOMPARE(about->findChild<QPushButton *>("Command1")->text(), QStringLiteral("OK"));

    // Every text fits its label and every control lies inside the window.
    for (auto *label : about->findChildren<QLabel *>()) {
        if (label->pixmap().isNull())
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->objectName()));
        QVERIFY2(about->rect().contains(label->geometry()), qPrintable(label->objectName()));
    }
}

void TstAbout::okCloses()
{
    TestEnv env;
    auto form = env.makeForm();
    form->ui().mnuVERSION->trigger();
    QPointer<Form2> about = form->aboutWindow();
    QVERIFY(about);
    QTest::mouseClick(about->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    QTRY_VERIFY(about.isNull());
    QVERIFY(!form->aboutWindow());
    QVERIFY(env.dialogs.shown.isEmpty());
}

void TstAbout::reopensAfterClosing()
{
    TestEnv env;
    auto form = env.makeForm();
    form->mnuVERSION_Click();
    QPointer<Form2> first = form->aboutWindow();
    first->close();
    QTRY_VERIFY(first.isNull());
    form->mnuVERSION_Click();
    QVERIFY(form->aboutWindow());
    QCOMPARE(form->findChildren<Form2 *>().size(), 1);
}

QTEST_MAIN(TstAbout)
#include "tst_about.moc"
