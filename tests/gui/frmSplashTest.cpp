// SPDX-License-Identifier: MIT
#include "app/gui/frmSplash.h"

#include "GuiFakes.h"
#include "app/gui/QtMessages.h"
#include "support/FixedClock.h"
#include "support/FixedProgramFolder.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <algorithm>

using namespace qif2ldx;

class frmSplashTest : public QObject
{
    Q_OBJECT

    inline static const QString kMarkup = "<h1>SHOP</h1> <font color=red>X</font>";

    // The window shows kMarkup in a label that takes it as plain text.
    static bool ShownAsItStands(const QWidget& window)
    {
        const QList<QLabel*> labels = window.findChildren<QLabel*>();
        return std::any_of(labels.begin(), labels.end(), [](const QLabel* label) {
            return label->text() == kMarkup && label->textFormat() == Qt::PlainText;
        });
    }

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

    void asksWhichQifAccountOfAFullExportToConvert()
    {
        test::TempDir dir;
        test::FixedProgramFolder folder(dir.Path().string());
        test::MessageRecorder messages;
        test::FixedClock clock({2026, 12, 7});
        test::WriteBytes(dir.File("list.dat"), "Acct,CHECKING,GBP,1,2,3\r\n");
        test::WriteBytes(dir.File("in.qif"),
                         "!Account\nNChecking\nTBank\n^\n!Type:Bank\nD15/05/2026\nT-1\n^\n"
                         "!Account\nNCard\nTCCard\n^\n!Type:CCard\nD16/05/2026\nT-2\n^\n"
                         "D17/05/2026\nT-3\n^\n");
        const auto run = [&](test::ScriptedList& list, std::optional<std::string> sPreferred) {
            app::gui::frmSplash splash(
                {dir.File("in.qif"), dir.File("out.LDX"), "Acct", dir.File("list.dat"), ""},
                {messages, folder, clock, [] {}, nullptr, &list}, true, nullptr);
            splash.SetPreferredQifAccount(std::move(sPreferred));
            splash.exec();
            return splash.Outcome();
        };
        test::ScriptedList list;
        list.answer = 0;
        QCOMPARE(run(list, " checking").result, app::RunResult::Saved);
        QCOMPARE(list.text, QString("This QIF file holds the transactions of 2 accounts. Which "
                                    "of them do you want to convert into the statement for "
                                    "“Acct”?"));
        QCOMPARE(list.items,
                 (QStringList{"Checking (Bank): 1 transaction", "Card (CCard): 2 transactions",
                              "All of them: 3 transactions"}));
        QCOMPARE(list.preselected, std::size_t{0}); // the account kept for this one
        const std::string statement = test::ReadBytes(dir.File("out.LDX"));
        QVERIFY(statement.find("<TRNAMT>-1</TRNAMT>") != std::string::npos);
        QVERIFY(statement.find("<TRNAMT>-2</TRNAMT>") == std::string::npos);
        // Without one kept, the account with the most transactions; Cancel converts nothing.
        list.bolCancel = true;
        QCOMPARE(run(list, std::nullopt).result, app::RunResult::Cancelled);
        QCOMPARE(list.preselected, std::size_t{1});
        QVERIFY(messages.Messages().empty());
    }

    void listQuestionGivesTheRowChosen()
    {
        app::gui::QtListQuestion question(nullptr);
        bool bolShown = false;
        QTimer::singleShot(0, [&bolShown] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog != nullptr);
            bolShown = ShownAsItStands(*dialog);
            auto* list = dialog->findChild<QListWidget*>("List1");
            QVERIFY(list != nullptr);
            QCOMPARE(list->currentRow(), 1);
            list->setCurrentRow(2);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        QCOMPARE(question.Ask(kMarkup, {"a", "b", "c"}, 1), std::optional<std::size_t>(2));
        QVERIFY(bolShown);
    }

    // What a file holds is shown as it stands, however much it looks like markup.
    void messagesShowFileTextAsItStands()
    {
        app::gui::QtMessages objMessages;
        bool bolShown = false;
        QTimer::singleShot(0, [&bolShown] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            bolShown = ShownAsItStands(*box);
            box->reject();
        });
        QCOMPARE(objMessages.Choose("Lodestrand", kMarkup.toStdString(), {"Keep them"}, 0),
                 std::nullopt);
        QVERIFY(bolShown);
    }
};

QTEST_MAIN(frmSplashTest)
#include "frmSplashTest.moc"
