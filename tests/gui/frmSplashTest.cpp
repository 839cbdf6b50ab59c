// SPDX-License-Identifier: MIT
#include "app/gui/frmSplash.h"

#include "support/FixedClock.h"
#include "support/FixedProgramFolder.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

#include <QFontMetrics>
#include <QLabel>
#include <QtTest>

using namespace qif2ldx;

class frmSplashTest : public QObject
{
    Q_OBJECT

private slots:
    void looksAsLaidOutAndRunsOnceShown()
    {
        test::TempDir dir;
        test::FixedProgramFolder folder(dir.Path().string());
        test::MessageRecorder messages;
        test::FixedClock clock({2026, 12, 7});
        test::WriteBytes(dir.File("list.dat"), "Acct,CHECKING,GBP,1,2,3\r\n");
        test::WriteBytes(dir.File("in.qif"), "D15/05/2026\r\nT-1\r\n^\r\n");
        int pauses = 0;
        app::gui::frmSplash splash({.sQIFFilePath = dir.File("in.qif"),
                                    .sLDXFilePath = dir.File("out.LDX"),
                                    .sAcctName = "Acct ",
                                    .sOLAccntListFile = dir.File("list.dat")},
                                   {messages, folder, clock, [&] { ++pauses; }}, false, nullptr);
        QCOMPARE(splash.size(), QSize(313, 41));
        QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(splash.windowTitle(), QString());
        auto* label = splash.findChild<QLabel*>("Label1");
        QVERIFY(label != nullptr);
        QCOMPARE(label->text(), QString("Converting QIF File........"));
        QCOMPARE(label->geometry(), QRect(88, 8, 145, 17));
        QVERIFY(QFontMetrics(label->font()).horizontalAdvance(label->text()) <= 145);

        QCOMPARE(splash.exec(), int(QDialog::Accepted));
        QCOMPARE(pauses, 1);
        QVERIFY(messages.Messages().empty());
        QVERIFY(test::ReadBytes(dir.File("out.LDX")).find("<ACCTID>1</ACCTID>") !=
                std::string::npos);
    }
};

QTEST_MAIN(frmSplashTest)
#include "frmSplashTest.moc"
