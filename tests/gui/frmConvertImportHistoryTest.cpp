// SPDX-License-Identifier: MIT
#include "DialogFixture.h"
#include "app/KeptHistory.h"

#include <filesystem>

using namespace qif2ldx;
using platform::MessageKind;
using test::MessageRecorder;

// What the dialog asks and tells of the statements made before: the questions in their order,
// Cancel at any of them, nothing new, and the account box preselected.
class frmConvertImportHistoryTest : public QObject, protected test::DialogFixture
{
    Q_OBJECT

private:
    static std::string Tx(const std::string& sDate, const std::string& sAmount,
                          const std::string& sPayee)
    {
        return "D" + sDate + "\r\nT" + sAmount + "\r\nP" + sPayee + "\r\n^\r\n";
    }

    // A dialog on the folder's own history.
    void OpenWithHistory()
    {
        environment.variables = {{"XDG_CONFIG_HOME", dir->File("config")},
                                 {"XDG_DATA_HOME", dir->File("data")}};
        OpenDialog();
    }

    void Convert(const std::string& qif, const std::string& ldx, const QString& account)
    {
        Fill(qif, ldx, account);
        QTest::mouseClick(Button("Command(0)"), Qt::LeftButton);
    }

    // What the questions asked were about, in their order: the messages shown, with the list of
    // QIF accounts where it came (listAt: how many messages came before it).
    QStringList Asked(std::optional<std::size_t> listAt) const
    {
        QStringList asked;
        for (std::size_t at = 0; at <= messages.Messages().size(); ++at) {
            if (listAt == at) {
                asked << "QIF account";
            }
            if (at == messages.Messages().size()) {
                break;
            }
            const std::string& sText = messages.Messages()[at].sText;
            const auto has = [&sText](const char* sPart) {
                return sText.find(sPart) != std::string::npos;
            };
            asked << (has("overwritten")    ? "replace"
                      : has("account list") ? "account name"
                      : has("Which order")  ? "dates"
                      : has("already in")   ? "repeats"
                                            : "told");
        }
        return asked;
    }

private slots:
    void init() { Begin(); }
    void cleanup() { End(); }

    void questionsComeInTheirOrderAndCancelLeavesEverything()
    {
        OpenWithHistory();
        std::string fuel;
        for (int day = 3; day <= 8; ++day) {
            fuel += Tx("0" + std::to_string(day) + "/02/2026", "-" + std::to_string(day), "FUEL");
        }
        const std::string early =
            Qif("early.qif", "!Type:Bank\r\n" + Tx("01/02/2026", "-12.50", "CORNER CAFE") +
                                 Tx("10/02/2026", "-30.00", "GROCER") + fuel);
        Convert(early, dir->File("early.LDX"), "Everyday Current");
        QCOMPARE(messages.Choices().size(), std::size_t{1}); // the dates read two ways
        QVERIFY(std::filesystem::exists(dir->File("early.LDX")));

        // The same file again: the dates first, then the same file, Cancel its default. The
        // answer about the dates (month first) is kept only with a saved statement: not here.
        OpenWithHistory();
        messages.Clear();
        messages.AnswerNextChoice(1);
        messages.AnswerNextChoice(std::nullopt);
        Convert(early, dir->File("again.LDX"), "Everyday Current");
        QCOMPARE(messages.Choices().size(), std::size_t{2});
        QCOMPARE(messages.Choices()[1], (MessageRecorder::Choice{{"Convert again"}, 1}));
        QCOMPARE(MessageTexts().value(1),
                 QString("early.qif was converted on 7 December 2026 to early.LDX."));
        QVERIFY(!std::filesystem::exists(dir->File("again.LDX")));
        QVERIFY(dialog->isVisible());
        QCOMPARE((QStringList{Text1()->text(), Text2()->text(), Combo1()->currentText()}),
                 (QStringList{QString::fromStdString(early),
                              QString::fromStdString(dir->File("again.LDX")), "Everyday Current"}));
        QCOMPARE(app::UserHistory(environment, app::HistoryUse::Read).DateOrder("Everyday Current"),
                 std::optional<std::string>("dmy"));

        // Repeats: asked, Leave them out the default; left out, the rest is written, and the box
        // after the run names the statement they are in once.
        messages.Clear();
        messages.AnswerNextChoice(0);
        const std::string late =
            Qif("late.qif", "!Type:Bank\r\n" + Tx("10/02/2026", "-30.00", "GROCER") + fuel +
                                Tx("20/02/2026", "-5.00", "BAKERY"));
        Convert(late, dir->File("late.LDX"), "Everyday Current");
        QCOMPARE(messages.Choices(),
                 (std::vector<MessageRecorder::Choice>{{{"Leave them out", "Keep them"}, 0}}));
        const QString named = "10 February GROCER -30.00, 3 February FUEL -3, 4 February FUEL -4, "
                              "5 February FUEL -5, 6 February FUEL -6 and 2 more.";
        QCOMPARE(MessageTexts().value(0), "7 of the 8 transactions in late.qif were already in "
                                          "early.LDX, made on 7 December 2026 from early.qif: " +
                                              named);
        QVERIFY2(MessageTexts().value(1).endsWith("\r\n\r\n7 transactions left out, already in "
                                                  "early.LDX (made on 7 December 2026 from "
                                                  "early.qif): " +
                                                  named),
                 qPrintable(MessageTexts().value(1)));
        const std::string written = test::ReadBytes(dir->File("late.LDX"));
        QVERIFY(written.find("BAKERY") != std::string::npos);
        QVERIFY(written.find("GROCER") == std::string::npos);
    }

    // A full export whose account reads two ways and repeats an earlier statement, over an
    // existing statement, for an account typed in the wrong case: every question, in its order
    // (the same file again is the one left out: such a file is not asked about as repeats), and
    // Cancel at each leaves the statement and the fields as they were.
    void everyQuestionInItsOrderAndCancelAtEachLeavesEverything()
    {
        OpenWithHistory();
        const std::string early =
            Qif("early.qif", "!Account\r\nNChecking\r\nTBank\r\n^\r\n!Type:Bank\r\n" +
                                 Tx("10/02/2026", "-30.00", "GROCER"));
        Convert(early, dir->File("early.LDX"), "Everyday Current");
        QVERIFY(std::filesystem::exists(dir->File("early.LDX")));
        const std::string exported = Qif(
            "export.qif",
            "!Account\r\nNChecking\r\nTBank\r\n^\r\n!Type:Bank\r\n" +
                Tx("10/02/2026", "-30.00", "GROCER") + Tx("01/02/2026", "-12.50", "CORNER CAFE") +
                "!Account\r\nNCard\r\nTCCard\r\n^\r\n!Type:CCard\r\n" +
                Tx("03/02/2026", "-7.00", "FUEL") + Tx("04/02/2026", "-8.00", "FUEL") +
                Tx("05/02/2026", "-9.00", "FUEL"));
        const std::string statement = Qif("export.LDX", "keep");
        const QStringList all{"replace", "account name", "QIF account", "dates", "repeats"};
        for (qsizetype cancelAt = 0; cancelAt <= all.size(); ++cancelAt) {
            OpenWithHistory();
            messages.Clear();
            accountList = {};
            accountList.answer = 0;
            std::optional<std::size_t> listAt; // how many messages came before the list
            accountList.objAsked = [&] { listAt = messages.Messages().size(); };
            accountList.bolCancel = cancelAt == 2;
            if (cancelAt == 0) {
                messages.AnswerNextQuestion(platform::MessageAnswer::No);
            }
            for (const qsizetype at : {1, 3, 4}) { // the others take their default
                if (at <= cancelAt) {
                    messages.AnswerNextChoice(at == cancelAt ? std::nullopt
                                                             : std::optional<std::size_t>(0));
                }
            }
            Convert(exported, statement, "everyday current");
            const QStringList asked = Asked(listAt);
            if (cancelAt < all.size()) {
                QCOMPARE(asked, all.mid(0, cancelAt + 1));
                QVERIFY(test::ReadBytes(statement) == "keep");
                QCOMPARE((QStringList{Text1()->text(), Text2()->text(), Combo1()->currentText()}),
                         (QStringList{QString::fromStdString(exported),
                                      QString::fromStdString(statement), "everyday current"}));
                continue;
            }
            QCOMPARE(asked.mid(0, all.size()), all);
            QCOMPARE(Combo1()->currentText(), QString("Everyday Current")); // once saved
            // The QIF account the history keeps for the account, not the one with the most.
            QCOMPARE(accountList.preselected, std::size_t{0});
            const std::string written = test::ReadBytes(statement);
            QVERIFY(written.find("CORNER CAFE") != std::string::npos);
            QVERIFY(written.find("GROCER") == std::string::npos);
            QVERIFY(written.find("FUEL") == std::string::npos);
        }
    }

    void nothingNewIsToldAndTheDialogStays()
    {
        OpenWithHistory();
        const std::string first = Qif("first.qif", Tx("15/05/2026", "-30.00", "GROCER"));
        Convert(first, dir->File("first.LDX"), "Everyday Current");
        OpenWithHistory();
        messages.Clear();
        starts.started.clear();
        const std::string part =
            Qif("part.qif", "!Type:Bank\r\n" + Tx("15/05/2026", "-30.0", "GROCER"));
        Convert(part, dir->File("part.LDX"), "Everyday Current");
        QCOMPARE(MessageTexts().value(1),
                 QString("Nothing in part.qif is new: its one transaction was already in "
                         "first.LDX, made on 7 December 2026 from first.qif. Nothing was "
                         "written."));
        QCOMPARE(messages.Messages().at(1).kind, MessageKind::Information);
        QVERIFY(!std::filesystem::exists(dir->File("part.LDX")));
        QVERIFY(dialog->isVisible());
        QVERIFY(starts.started.empty());
    }

    void accountBoxIsPreselectedFromTheHistory()
    {
        OpenWithHistory();
        const std::string card =
            Qif("card.qif", "!Account\r\nNVisa Gold\r\nTCCard\r\n^\r\n!Type:CCard\r\n" +
                                Tx("15/05/2026", "-9.99", "BOOKSHOP"));
        const std::string bank = Qif("bank.qif", Tx("16/05/2026", "-30.00", "GROCER"));
        Convert(card, dir->File("card.LDX"), "Travel Visa");
        OpenWithHistory();
        Convert(bank, dir->File("bank.LDX"), "Everyday Current");

        // The last account; then, for a file, the account its QIF account was converted for.
        OpenWithHistory();
        QCOMPARE(Combo1()->currentText(), QString("Everyday Current"));
        dialog->OpenQIFFile(QString::fromStdString(card));
        QCOMPARE(Combo1()->currentText(), QString("Travel Visa"));
        // An account the user chose stays.
        Combo1()->setEditText("Rainy Day Savings");
        dialog->OpenQIFFile(QString::fromStdString(bank));
        QCOMPARE(Combo1()->currentText(), QString("Rainy Day Savings"));
    }
};

QTEST_MAIN(frmConvertImportHistoryTest)
#include "frmConvertImportHistoryTest.moc"
