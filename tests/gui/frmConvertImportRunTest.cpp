// SPDX-License-Identifier: MIT
#include "DialogFixture.h"
#include "app/HandOff.h"

#include <filesystem>

using namespace qif2ldx;
using platform::MessageAnswer;
using platform::MessageKind;
using test::MessageRecorder;

// The dialog's OK: the checks, the questions before and during the run, what it tells after.
class frmConvertImportRunTest : public QObject, protected test::DialogFixture
{
    Q_OBJECT

private slots:
    void init() { Begin(); }
    void cleanup() { End(); }

    void refusalsComeInOrderWithTheirTexts()
    {
        const std::string qif = Qif("bank.qif", "D01/05/2026\r\nT-1\r\n^\r\n");
        const std::string existing = Qif("old.LDX", "keep");
        struct
        {
            std::string qif;
            std::string ldx;
            QString account;
            QString message;
        } cases[] = {
            {dir->File("missing.qif"), dir->File("x.LDX"), "A",
             "There is no file “" + QString::fromStdString(dir->File("missing.qif")) +
                 "”. Please specify a valid QIF file in the 'QIF File to Convert' edit box."},
            {dir->Path().string(), dir->File("x.LDX"), "A",
             "“" + QString::fromStdString(dir->Path().string()) +
                 "” is a folder, not a QIF file. Please specify a valid QIF file in the 'QIF "
                 "File to Convert' edit box."},
            {"/dev/zero", dir->File("x.LDX"), "A",
             "“/dev/zero” is not a QIF file. Please specify a valid QIF file in the 'QIF File to "
             "Convert' edit box."},
            {qif, dir->File("x.Ldx"), "A",
             "Please specify a valid location and name (.LDX) for the converted file in the "
             "'Save Converted File As' edit box."},
            {qif, ".LDX", "A",
             "Please specify a valid location and name (.LDX) for the converted file in the "
             "'Save Converted File As' edit box."},
            {qif, dir->File("x.LDX"), "   ",
             "Please select a Lodestrand account to import the converted transactions into "
             "from the 'Lodestrand Account to Import into' drop list."},
        };
        for (const auto& c : cases) {
            messages.Clear();
            Fill(c.qif, c.ldx, c.account);
            QTest::mouseClick(Button("Command(0)"), Qt::LeftButton);
            QCOMPARE(MessageTexts(), QStringList{c.message});
            QCOMPARE(messages.Messages()[0].sTitle, std::string("Lodestrand"));
            QCOMPARE(messages.Messages()[0].kind, MessageKind::Information);
            QVERIFY(dialog->isVisible());
            QCOMPARE(Text2()->text(), QString::fromStdString(c.ldx));
        }
        QVERIFY(!std::filesystem::exists(dir->File("x.LDX")));
        QCOMPARE(settings.writes, 0);

        // An existing statement file: the question; No stops without a further word.
        messages.Clear();
        messages.AnswerNextQuestion(MessageAnswer::No);
        Fill(qif, existing, "");
        QTest::mouseClick(Button("Command(0)"), Qt::LeftButton);
        QCOMPARE(MessageTexts(),
                 QStringList{"You have specified a file in the 'Save Converted File As' edit box "
                             "that already exists. If you continue, this file will be "
                             "overwritten.\r\n\r\n Do you wish to continue?"});
        QCOMPARE(messages.Messages()[0].kind, MessageKind::Question);
        QCOMPARE(test::ReadBytes(existing), std::string("keep"));
    }

    void statementNamingTheQifFileIsRefused()
    {
        const std::string qif = Qif("bank.LDX", "D01/05/2026\r\nT-1\r\n^\r\n");
        Fill(qif, " " + qif + " ", "Everyday Current");
        QTest::mouseClick(Button("Command(0)"), Qt::LeftButton);
        QCOMPARE(MessageTexts().size(), 1);
        QVERIFY(MessageTexts()[0].startsWith("The converted file would replace the QIF file"));
        QCOMPARE(test::ReadBytes(qif), std::string("D01/05/2026\r\nT-1\r\n^\r\n"));
    }

    void wholeRunConvertsRemembersFoldersAndStartsTheApplication()
    {
        const std::string qif = Qif("bank.qif", test::ReadBytes(kData + "/bank.qif"));
        std::filesystem::create_directory(dir->File("out put"));
        const std::string ldx = dir->File("out put/bank statement.LDX");
        // Spaces around the texts pass the checks; the run gets them trimmed where it matters.
        Fill("  " + qif + " ", " " + ldx + "  ", " Everyday Current ");
        QTest::mouseClick(Button("Command(0)"), Qt::LeftButton);
        QVERIFY(messages.Messages().empty());
        QCOMPARE(test::ReadBytes(ldx), test::ReadBytes(kData + "/bank.LDX"));
        QCOMPARE(settings.values["Folders/QIFDir"], dir->Path().string() + "/");
        QCOMPARE(settings.values["Folders/LDXDir"], dir->File("out put/"));
        QCOMPARE(starts.started.size(), std::size_t{1});
        QCOMPARE(starts.started[0], (std::vector<std::string>{"/opt/lodestrand/lodestrand", ldx}));
        QVERIFY(!dialog->isVisible());
        QVERIFY(Button("Command(1)")->isEnabled());
    }

    void runWithSomethingToTellShowsOneBoxBeforeTheHandOff()
    {
        std::string bytes = "!Account\r\nNCurrent\r\n^\r\n!Type:Bank\r\n";
        for (int i = 0; i < 12; ++i) {
            bytes += "D13/05/2026\r\n^\r\n"; // records on lines 5, 7, … without an amount
        }
        bytes += "D14/05/2026\r\nT-1\r\nPCaf\xC3\xA9\r\n^\r\n"
                 "!Account\r\nNSavings\r\n^\r\n!Type:Bank\r\nD15/05/2026\r\nT2\r\n^\r\n";
        const std::string qif = Qif("gaps.qif", bytes);
        const std::string ldx = dir->File("gaps.LDX");
        Fill(qif, ldx, "Everyday Current");
        QTest::mouseClick(Button("Command(0)"), Qt::LeftButton);
        QCOMPARE(MessageTexts(),
                 QStringList{
                     "Wrote 2 of 14 records to " + QString::fromStdString(ldx) +
                     ": 2026-05-13 to 2026-05-15, credits 2.00, debits -1.00, account Everyday "
                     "Current (CHECKING).\r\n\r\n"
                     "12 records without a date or an amount were not written.\r\n"
                     "The file holds transactions of 2 accounts (Current (1 transaction), Savings "
                     "(1 transaction)); all are written to this one statement, as chosen.\r\n\r\n"
                     "Read as UTF-8: the file has no byte-order mark, but all of its text is "
                     "UTF-8.\r\n"
                     "Left out: line 5 (no amount), line 7 (no amount), line 9 (no amount), line "
                     "11 (no amount), line 13 (no amount), line 15 (no amount), line 17 (no "
                     "amount), line 19 (no amount), line 21 (no amount), line 23 (no amount), and "
                     "2 more."});
        QCOMPARE(messages.Messages().at(0).kind, MessageKind::Information);
        QCOMPARE(starts.started.size(), std::size_t{1});
    }

    // Each thing worth telling brings the box on its own; a run with none of them, records of
    // lists included, shows none.
    void eachThingToTellBringsTheBox_data()
    {
        QTest::addColumn<QByteArray>("qif");
        QTest::addColumn<QString>("told"); // a line of the box; empty: no box
        const QByteArray bank = "!Type:Bank\r\nD14/05/2026\r\nT-1\r\n^\r\n";
        QTest::newRow("left out") << "D13/05/2026\r\n^\r\n" + bank
                                  << "Left out: line 1 (no amount).";
        QTest::newRow("empty")
            << QByteArray("!Type:Cat\r\nNFood\r\n^\r\n")
            << "The file holds no transaction with a date and an amount; the statement is empty.";
        QTest::newRow("accounts")
            << "!Account\r\nNA\r\n^\r\n" + bank + "!Account\r\nNB\r\n^\r\n" + bank
            << "The file holds transactions of 2 accounts (A (1 transaction), "
               "B (1 transaction)); all are written to this one statement, "
               "as chosen.";
        QTest::newRow("no number") << QByteArray("D14/05/2026\r\nTabc\r\n^\r\n")
                                   << "Amounts that are not numbers: line 1 (abc).";
        QTest::newRow("no caret")
            << QByteArray("D14/05/2026\r\nT-1\r\n")
            << "The last record has no closing \"^\"; it was written all the same.";
        QTest::newRow("UTF-8")
            << QByteArray("D14/05/2026\r\nT-1\r\nPCaf\xC3\xA9\r\n^\r\n")
            << "Read as UTF-8: the file has no byte-order mark, but all of its text is UTF-8.";
        QTest::newRow("investment") << "!Type:Invst\r\nD14/05/2026\r\nNBuy\r\nT-100\r\n^\r\n" + bank
                                    << "1 investment transaction was left out (purchases, sales, "
                                       "dividends and the like are no bank transactions).";
        QTest::newRow("card file, bank account")
            << QByteArray("!Type:CCard\r\nD14/05/2026\r\nT-1\r\n^\r\n")
            << "The file holds card transactions (!Type:CCard), but account “Everyday Current” "
               "is of type CHECKING, not CREDIT: they were written as a bank statement.";
        QTest::newRow("nothing") << "!Type:Cat\r\nNFood\r\n^\r\n" + bank << QString();
    }

    void eachThingToTellBringsTheBox()
    {
        QFETCH(QByteArray, qif);
        QFETCH(QString, told);
        Fill(Qif("in.qif", qif.toStdString()), dir->File("in.LDX"), "Everyday Current");
        QTest::mouseClick(Button("Command(0)"), Qt::LeftButton);
        QCOMPARE(MessageTexts().size(), told.isEmpty() ? 0 : 1);
        if (!told.isEmpty()) {
            QVERIFY(MessageTexts()[0].startsWith("Wrote "));
            QVERIFY2(MessageTexts()[0].split("\r\n").contains(told), qPrintable(MessageTexts()[0]));
        }
        QCOMPARE(starts.started.size(), std::size_t{1});
    }

    void datesThatReadTwoWaysAreAskedAboutAndTheAnswerKeptForTheAccount()
    {
        environment.variables = {{"XDG_CONFIG_HOME", dir->File("config")},
                                 {"XDG_DATA_HOME", dir->File("data")}};
        OpenDialog();
        const std::string qif =
            Qif("us.qif", "!Type:Bank\r\nD01/02/2026\r\nT-1\r\n^\r\nD03/04/2026\r\nT-2\r\n^\r\n");
        messages.AnswerNextChoice(1);
        Fill(qif, dir->File("first.LDX"), "Everyday Current");
        QTest::mouseClick(Button("Command(0)"), Qt::LeftButton);
        const QString readings =
            "The dates in this file read both day first and month first: line 2 reads "
            "D01/02/2026 as 1 February 2026 day first, or as 2 January 2026 month first.";
        const QString periods = "\r\n\r\nThe file's period, day first: 2026-02-01 – "
                                "2026-04-03; month first: 2026-01-02 – 2026-03-04.";
        QCOMPARE(MessageTexts(), QStringList{readings + periods +
                                             "\r\n\r\nWhich order are they in? Your "
                                             "answer is remembered for the account "
                                             "“Everyday Current”."});
        QCOMPARE(messages.Choices(),
                 (std::vector<MessageRecorder::Choice>{{{"Day first", "Month first"}, 0}}));
        QVERIFY(test::ReadBytes(dir->File("first.LDX")).find("<DTPOSTED>20260102") !=
                std::string::npos);
        // The answer is kept in the history, no longer in a file of its own.
        QVERIFY(!std::filesystem::exists(dir->File("config/qif2ldx/date-orders")));

        // The next file for the account: month first is offered first; kept, the box says so.
        messages.Clear();
        OpenDialog();
        const std::string next =
            Qif("us2.qif", "!Type:Bank\r\nD01/02/2026\r\nT-4\r\n^\r\nD03/04/2026\r\nT-5\r\n^\r\n");
        Fill(next, dir->File("second.LDX"), "Everyday Current");
        QTest::mouseClick(Button("Command(0)"), Qt::LeftButton);
        QCOMPARE(MessageTexts(),
                 (QStringList{readings + periods +
                                  "\r\n\r\nWhich order are they in? Your answer is "
                                  "remembered for the account “Everyday Current”; last "
                                  "time it was month first.",
                              "Wrote 2 of 2 records to " +
                                  QString::fromStdString(dir->File("second.LDX")) +
                                  ": 2026-01-02 to 2026-03-04, credits 0.00, debits -9.00, "
                                  "account Everyday Current (CHECKING).\r\n\r\n" +
                                  readings +
                                  " They were read month first, the order remembered for the "
                                  "account “Everyday Current”."}));
        QCOMPARE(messages.Choices().at(0).preselected, std::size_t{1});
        QVERIFY(test::ReadBytes(dir->File("second.LDX")).find("<DTPOSTED>20260102") !=
                std::string::npos);

        // Nothing kept for the account: the order the locale writes dates in is preselected.
        for (const auto& [locale, preselected] :
             {std::pair{"en_US.UTF-8", 1U}, std::pair{"en_GB.UTF-8", 0U}}) {
            messages.Clear();
            environment.variables["LANG"] = locale;
            OpenDialog();
            messages.AnswerNextChoice(std::nullopt);
            Fill(qif, dir->File("third.LDX"), "Rainy Day Savings");
            QTest::mouseClick(Button("Command(0)"), Qt::LeftButton);
            QCOMPARE(messages.Choices().at(0).preselected, std::size_t{preselected});
        }
    }

    void cancellingTheDatesQuestionReturnsWithTheFieldsKept()
    {
        environment.variables = {{"XDG_CONFIG_HOME", dir->File("config")}};
        OpenDialog();
        const std::string qif = Qif("us.qif", "D01/02/2026\r\nT-1\r\n^\r\n");
        const std::string ldx = dir->File("us.LDX");
        messages.AnswerNextChoice(std::nullopt);
        Fill(qif, ldx, "Everyday Current");
        QTest::mouseClick(Button("Command(0)"), Qt::LeftButton);
        QCOMPARE(messages.Messages().size(), std::size_t{1});
        QCOMPARE(messages.Choices().size(), std::size_t{1});
        QVERIFY(!std::filesystem::exists(ldx));
        QVERIFY(!std::filesystem::exists(dir->File("config/qif2ldx/date-orders")));
        QVERIFY(starts.started.empty());
        QVERIFY(dialog->isVisible());
        QCOMPARE((QStringList{Text1()->text(), Text2()->text(), Combo1()->currentText()}),
                 (QStringList{QString::fromStdString(qif), QString::fromStdString(ldx),
                              "Everyday Current"}));
    }

    void accountNotInTheListIsAskedAbout_data()
    {
        QTest::addColumn<QString>("account");
        QTest::addColumn<int>("answer"); // a button; -1: Cancel; -2: Enter (the default)
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<int>("preselected");
        QTest::addColumn<QString>("converted"); // the account converted for; empty: none
        QTest::newRow("slip, Enter uses the name")
            << "Everyday Curent" << -2 << QStringList{"Use “Everyday Current”", "Convert anyway"}
            << 0 << "Everyday Current";
        QTest::newRow("letter case alone, converted anyway")
            << "everyday current" << 1 << QStringList{"Use “Everyday Current”", "Convert anyway"}
            << 0 << "everyday current";
        QTest::newRow("slip, Cancel")
            << "Everyday Curent" << -1 << QStringList{"Use “Everyday Current”", "Convert anyway"}
            << 0 << QString();
        QTest::newRow("no close name, Enter cancels")
            << "Holiday Fund" << -2 << QStringList{"Convert anyway"} << 1 << QString();
        QTest::newRow("no close name, converted anyway")
            << "Holiday Fund" << 0 << QStringList{"Convert anyway"} << 1 << "Holiday Fund";
        QTest::newRow("two as close, Enter cancels")
            << "Rainy Day Savin" << -2 << QStringList{"Convert anyway"} << 1 << QString();
    }

    void accountNotInTheListIsAskedAbout()
    {
        QFETCH(QString, account);
        QFETCH(int, answer);
        QFETCH(QStringList, buttons);
        QFETCH(int, preselected);
        QFETCH(QString, converted);
        const QString notListed =
            "” is not in the account list, so the statement would carry no account number.";
        test::WriteBytes(dir->File("olacclst.dat"), test::ReadBytes(kData + "/olacclst.dat") +
                                                        "Rainy Day Saver,SAVINGS,GBP,9,9,9\r\n");
        OpenDialog();
        const std::string qif = Qif("bank.qif", "D15/05/2026\r\nT-1\r\n^\r\n");
        const std::string ldx = dir->File("bank.LDX");
        if (answer != -2) {
            messages.AnswerNextChoice(answer < 0 ? std::nullopt
                                                 : std::optional<std::size_t>(answer));
        }
        Fill(qif, ldx, account);
        QTest::mouseClick(Button("Command(0)"), Qt::LeftButton);
        QVERIFY(MessageTexts().value(0).startsWith("“" + account + notListed));
        std::vector<std::string> shown;
        for (const QString& button : buttons) {
            shown.push_back(button.toStdString());
        }
        QCOMPARE(messages.Choices().at(0),
                 (MessageRecorder::Choice{shown, static_cast<std::size_t>(preselected)}));
        QCOMPARE(std::filesystem::exists(ldx), !converted.isEmpty());
        QCOMPARE(Combo1()->currentText(), converted.isEmpty() ? account : converted);
        if (converted == "Everyday Current") {
            QVERIFY(test::ReadBytes(ldx).find("<ACCTID>31926819</ACCTID>") != std::string::npos);
        }
        QCOMPARE(dialog->isVisible(), converted.isEmpty());
    }

    // Lodestrand cannot be started on the statement: the box says where it was saved.
    void handOffThatCannotStartTellsWhereTheStatementIs()
    {
        association.sExecutable = "";
        environment.variables = {{"HOME", dir->Path().string()}};
        OpenDialog();
        Qif("May.qif", "D01/05/2026\r\nT-1\r\n^\r\nD31/05/2026\r\nT-2\r\n^\r\n");
        Fill("~/May.qif", "~/May.LDX", "Everyday Current"); // typed as in a shell
        QTest::mouseClick(Button("Command(0)"), Qt::LeftButton);
        QCOMPARE(MessageTexts(),
                 QStringList{QString(app::kNotAssociatedMessage) +
                             "\r\n\r\nThe statement was saved as " +
                             QString::fromStdString(dir->File("May.LDX")) +
                             "\r\n2 transactions, 2026-05-01 – 2026-05-31, account Everyday "
                             "Current."});
        QVERIFY(std::filesystem::exists(dir->File("May.LDX")));
    }

    void failedRunStaysOpenWithTheTextsAndHandsNothingOff()
    {
        const std::string qif = Qif("bad.qif", "D01052026\r\nT-1\r\n^\r\n");
        const std::string ldx = dir->File("missing folder/bad.LDX");
        association.sExecutable = "/opt/lodestrand/lodestrand";
        Fill(qif, ldx, "Everyday Current");
        QTest::mouseClick(Button("Command(0)"), Qt::LeftButton);
        // The QIF file is not at fault: the cause follows the first sentence instead.
        QCOMPARE(MessageTexts(), (QStringList{"Errors were encountered whilst attempting to "
                                              "convert: " +
                                              QString::fromStdString(qif) +
                                              ". The statement file cannot be created: " +
                                              QString::fromStdString(ldx) + ": no such file."}));
        QCOMPARE(settings.writes, 2);
        QVERIFY(starts.started.empty());
        QVERIFY(dialog->isVisible());
        QCOMPARE(Text1()->text(), QString::fromStdString(qif));
        QCOMPARE(Text2()->text(), QString::fromStdString(ldx));
        QCOMPARE(Combo1()->currentText(), QString("Everyday Current"));
        QVERIFY(Button("Command(1)")->isEnabled());

        // An OFX download given by mistake: where to take it, in the dialog's words.
        messages.Clear();
        const std::string ofx = Qif("bank.qfx", test::ReadBytes(kData + "/bank.LDX"));
        Fill(ofx, dir->File("bank.LDX"), "Everyday Current");
        QTest::mouseClick(Button("Command(0)"), Qt::LeftButton);
        QVERIFY2(MessageTexts().value(0).endsWith(
                     "\r\n\r\n" + QString::fromStdString(ofx) +
                     " is already an OFX statement: import it from Lodestrand's File menu."),
                 qPrintable(MessageTexts().value(0)));
    }

    void monthFirstDatesAreConvertedOnlyWhenTheUserAgrees_data()
    {
        QTest::addColumn<bool>("agree");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }

    void monthFirstDatesAreConvertedOnlyWhenTheUserAgrees()
    {
        QFETCH(bool, agree);
        const std::string qif =
            Qif("us.qif", "!Type:Bank\r\nD01/05/2026\r\nT-1\r\n^\r\nD03/24/2015\r\nT-2\r\n^\r\n");
        const std::string ldx = dir->File("us.LDX");
        messages.AnswerNextQuestion(agree ? MessageAnswer::Yes : MessageAnswer::No);
        Fill(qif, ldx, "Everyday Current");
        QTest::mouseClick(Button("Command(0)"), Qt::LeftButton);
        const QString question = "The dates in this file are month first: line 5 reads "
                                 "D03/24/2015 (24 March 2015). Convert them that way?";
        QCOMPARE(MessageTexts().value(0), question);
        QCOMPARE(messages.Messages().at(0).kind, MessageKind::Question);
        QCOMPARE(test::ReadBytes(ldx).find("<DTPOSTED>20150324</DTPOSTED>") != std::string::npos,
                 agree);
        if (!agree) {
            QVERIFY(MessageTexts().value(1).endsWith(
                "\r\n\r\nLine 5: \"D03/24/2015\" is not a day-first date."));
            QVERIFY(dialog->isVisible());
        }
    }
};

QTEST_MAIN(frmConvertImportRunTest)
#include "frmConvertImportRunTest.moc"
