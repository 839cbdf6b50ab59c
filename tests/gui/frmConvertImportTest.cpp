// SPDX-License-Identifier: MIT
#include "app/gui/frmConvertImport.h"

#include "GuiFakes.h"
#include "app/gui/DialogProgram.h"
#include "app/gui/QtSettings.h"
#include "app/gui/SetTopMost.h"
#include "support/FixedClock.h"
#include "support/FixedEnvironment.h"
#include "support/FixedProgramFolder.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QtTest>
#include <memory>

using namespace qif2ldx;
using platform::MessageAnswer;
using platform::MessageKind;
using test::MessageRecorder;

namespace {

const std::string kData = QIF2LDX_TEST_DATA;
const QString kHome = "/home/tester";

} // namespace

class frmConvertImportTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<test::FixedProgramFolder> folder;
    MessageRecorder messages;
    test::FixedClock clock{{2026, 12, 7}};
    test::RecordedSettings settings;
    test::FakeAssociation association;
    test::RecordedStarts starts;
    test::ScriptedFileDialogs fileDialogs;
    test::RecordedHelp help;
    test::FixedEnvironment environment;
    std::unique_ptr<app::gui::frmConvertImport> dialog;

    template <typename T> T* Control(const char* name) const
    {
        auto* control = dialog->findChild<T*>(name);
        if (control == nullptr) {
            qFatal("no control %s", name);
        }
        return control;
    }
    QLineEdit* Text1() const { return Control<QLineEdit>("Text1"); }
    QLineEdit* Text2() const { return Control<QLineEdit>("Text2"); }
    QComboBox* Combo1() const { return Control<QComboBox>("Combo1"); }
    QPushButton* Button(const char* name) const { return Control<QPushButton>(name); }

    std::string Qif(const std::string& name, const std::string& bytes) const
    {
        test::WriteBytes(dir->File(name), bytes);
        return dir->File(name);
    }

    void Fill(const std::string& qif, const std::string& ldx, const QString& account)
    {
        Text1()->setText(QString::fromStdString(qif));
        Text2()->setText(QString::fromStdString(ldx));
        Combo1()->setEditText(account);
    }

    QStringList MessageTexts() const
    {
        QStringList texts;
        for (const auto& message : messages.Messages()) {
            texts << QString::fromStdString(message.sText);
        }
        return texts;
    }

    void OpenDialog()
    {
        dialog = std::make_unique<app::gui::frmConvertImport>(
            app::gui::DialogServices{{messages, *folder, clock, [] {}},
                                     settings,
                                     association,
                                     starts,
                                     fileDialogs,
                                     help,
                                     environment,
                                     kHome});
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

private slots:
    void init()
    {
        dir = std::make_unique<test::TempDir>();
        folder = std::make_unique<test::FixedProgramFolder>(dir->Path().string());
        test::WriteBytes(dir->File("olacclst.dat"), test::ReadBytes(kData + "/olacclst.dat"));
        messages.Clear();
        settings = {};
        association.sExecutable = "/opt/lodestrand/lodestrand";
        starts.started.clear();
        fileDialogs = {};
        help.topics.clear();
        environment = {};
        OpenDialog();
    }

    void cleanup()
    {
        dialog.reset();
        dir.reset();
    }

    void controlsStandWhereTheyWereLaidOut()
    {
        QCOMPARE(dialog->windowTitle(), QString("Import Bank Statement"));
        QCOMPARE(dialog->size(), QSize(432, 282));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        QVERIFY(!dialog->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!dialog->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!dialog->isModal());
        const struct
        {
            const char* name;
            const char* text;
            QRect geometry;
        } controls[] = {
            {"Command(0)", "OK", {112, 248, 65, 25}},
            {"Label1", "QIF File to Convert:", {16, 72, 137, 17}},
            {"Label2", "Save Converted File As:", {16, 120, 121, 17}},
            {"Label3", "Lodestrand Account to Import into:", {16, 168, 185, 17}},
            {"Text1", "", {16, 88, 345, 21}},
            {"Browse(0)", "&Browse", {368, 88, 57, 21}},
            {"Text2", "", {16, 136, 345, 21}},
            {"Combo1", "", {16, 184, 345, 21}},
            {"Label4", "What if my account doesn't appear in the above list?", {16, 209, 257, 17}},
            {"Label5", nullptr, {16, 16, 361, 49}},
            {"Command(1)", "Cancel", {184, 248, 65, 25}},
            {"Command(2)", "&Help", {256, 248, 65, 25}},
            {"Browse(1)", "&Browse", {368, 136, 57, 21}},
        };
        for (const auto& control : controls) {
            auto* widget = Control<QWidget>(control.name);
            QCOMPARE(widget->geometry(), control.geometry);
            if (auto* label = qobject_cast<QLabel*>(widget); label && control.text) {
                QCOMPARE(label->text(), QString(control.text));
            } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
                QCOMPARE(button->text(), QString(control.text));
                QVERIFY(!button->isDefault());
                QVERIFY(!button->autoDefault());
            }
        }
        auto* intro = Control<QLabel>("Label5");
        QVERIFY(intro->wordWrap());
        QVERIFY(intro->text().startsWith("This utility will convert a .QIF transaction file"));
        auto* link = Control<QLabel>("Label4");
        QVERIFY(link->font().underline());
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(link->palette().color(QPalette::WindowText),
                 link->palette().color(QPalette::Highlight));
        QVERIFY(Combo1()->isEditable());
        QCOMPARE(Combo1()->count(), 3);
        QCOMPARE(Combo1()->currentText(), QString());
        QCOMPARE(dialog->sOLAccntListFile, QString::fromStdString(dir->File("olacclst.dat")));
    }

    void userAccountListTakesThePlaceOfTheProgramFolderList()
    {
        std::filesystem::create_directories(dir->File("config/qif2ldx"));
        const std::string mine = dir->File("config/qif2ldx/olacclst.dat");
        test::WriteBytes(mine, "Joint Account,CHECKING,EUR,1,2,3\r\n");
        environment.variables = {{"XDG_CONFIG_HOME", dir->File("config")}};
        OpenDialog();
        QCOMPARE(Combo1()->count(), 1);
        QCOMPARE(Combo1()->itemText(0), QString("Joint Account"));
        QCOMPARE(dialog->sOLAccntListFile, QString::fromStdString(mine));
    }

    void tabOrderFollowsTheLayoutAndOkHasTheFocus()
    {
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QCOMPARE(QApplication::focusWidget(), Button("Command(0)"));
        const QList<QWidget*> expected = {Text1(),
                                          Button("Browse(0)"),
                                          Text2(),
                                          Combo1(),
                                          Button("Command(1)"),
                                          Button("Command(2)"),
                                          Button("Browse(1)"),
                                          Button("Command(0)")};
        for (QWidget* next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focused = QApplication::focusWidget();
            QVERIFY2(focused == next || next->isAncestorOf(focused),
                     qPrintable(focused->objectName()));
        }
    }

    void enterAndEscapeDoNothing()
    {
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        Text1()->setFocus();
        QTest::keyClick(Text1(), Qt::Key_Return);
        QTest::keyClick(Text1(), Qt::Key_Enter);
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY(dialog->isVisible());
        QVERIFY(messages.Messages().empty());
    }

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
             "Please specify a valid QIF file in the 'QIF File to Convert' edit box."},
            {dir->Path().string(), dir->File("x.LDX"), "A",
             "Please specify a valid QIF file in the 'QIF File to Convert' edit box."},
            {"/dev/zero", dir->File("x.LDX"), "A",
             "Please specify a valid QIF file in the 'QIF File to Convert' edit box."},
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

    void leftOutRecordsAreNamedBeforeTheHandOff()
    {
        std::string bytes = "!Type:Bank\r\n";
        for (int i = 0; i < 12; ++i) {
            bytes += "D01/05/2026\r\n^\r\n"; // records on lines 2, 4, … without an amount
        }
        const std::string qif = Qif("gaps.qif", bytes + "D02/05/2026\r\nT-1\r\n^\r\n");
        Fill(qif, dir->File("gaps.LDX"), "Everyday Current");
        QTest::mouseClick(Button("Command(0)"), Qt::LeftButton);
        QCOMPARE(
            MessageTexts(),
            QStringList{
                "12 of the 13 records in the QIF file were left out of the "
                "statement:\r\n\r\nline 2 (no amount), line 4 (no amount), line 6 (no amount), "
                "line 8 (no amount), line 10 (no amount), line 12 (no amount), line 14 "
                "(no amount), line 16 (no amount), line 18 (no amount), line 20 (no "
                "amount), and 2 more."});
        QCOMPARE(starts.started.size(), std::size_t{1});
    }

    void failedRunStaysOpenWithTheTextsAndHandsNothingOff()
    {
        const std::string qif = Qif("bad.qif", "D01052026\r\nT-1\r\n^\r\n");
        const std::string ldx = dir->File("missing folder/bad.LDX");
        association.sExecutable = "/opt/lodestrand/lodestrand";
        Fill(qif, ldx, "Everyday Current");
        QTest::mouseClick(Button("Command(0)"), Qt::LeftButton);
        QCOMPARE(MessageTexts(),
                 (QStringList{"Errors were encountered whilst attempting to convert: " +
                              QString::fromStdString(qif) +
                              ". Please ensure that this file is a valid QIF file.\r\n\r\n"
                              "The statement file cannot be created: " +
                              QString::fromStdString(ldx)}));
        QCOMPARE(settings.writes, 2);
        QVERIFY(starts.started.empty());
        QVERIFY(dialog->isVisible());
        QCOMPARE(Text1()->text(), QString::fromStdString(qif));
        QCOMPARE(Text2()->text(), QString::fromStdString(ldx));
        QCOMPARE(Combo1()->currentText(), QString("Everyday Current"));
        QVERIFY(Button("Command(1)")->isEnabled());
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
                "\r\n\r\nLine 5: \"D03/24/2015\" is not a day-first date"));
            QVERIFY(dialog->isVisible());
        }
    }

    void browsingProposesTheStatementPath()
    {
        fileDialogs.answers = {QString("/home/u/May.qif")};
        Text2()->setText("replaced");
        QTest::mouseClick(Button("Browse(0)"), Qt::LeftButton);
        QCOMPARE(Text1()->text(), QString("/home/u/May.qif"));
        QCOMPARE(Text2()->text(), QString("/home/u/May.LDX"));
        const auto& first = fileDialogs.requests.at(0);
        QCOMPARE(first.bolSave, false);
        QCOMPARE(first.sTitle, QString("Select QIF File"));
        QCOMPARE(first.sFilter, QString("QIF File [*.QIF]|*.QIF|All Files (*.*)|*.*"));
        QCOMPARE(first.sInitDir, kHome);
        QCOMPARE(first.sFileName, QString());

        // Right after, the statement browser starts at home: the shared dialog holds the QIF.
        fileDialogs.answers = {std::nullopt};
        QTest::mouseClick(Button("Browse(1)"), Qt::LeftButton);
        const auto& second = fileDialogs.requests.at(1);
        QCOMPARE(second.bolSave, true);
        QCOMPARE(second.sTitle, QString("Select LDX File"));
        QCOMPARE(second.sFilter, QString("LDX File [*.LDX]|*.LDX"));
        QCOMPARE(second.sFileName, QString());
        QCOMPARE(second.sInitDir, kHome);
        QCOMPARE(Text2()->text(), QString("/home/u/May.LDX")); // cancelled: unchanged

        // A name without a dot gets ".LDX" added; a dot in a folder name plays no part.
        for (const auto& [picked, proposed] :
             {std::pair<QString, QString>{"/home/u/bankfile", "/home/u/bankfile.LDX"},
              {"/home/u/v1.2/bank", "/home/u/v1.2/bank.LDX"}}) {
            fileDialogs.answers = {picked};
            QTest::mouseClick(Button("Browse(0)"), Qt::LeftButton);
            QCOMPARE(Text2()->text(), proposed);
        }
    }

    void openingAFileFillsTheBoxesAsBrowsingDoes()
    {
        for (const QString& picked :
             {QString("/home/u/Downloads/May 2026.qif"), QString("/home/u/v1.2/bank")}) {
            fileDialogs.answers = {picked};
            QTest::mouseClick(Button("Browse(0)"), Qt::LeftButton);
            const QStringList browsed = {Text1()->text(), Text2()->text()};
            Text1()->clear();
            Text2()->setText("replaced");
            dialog->OpenQIFFile(picked);
            QCOMPARE((QStringList{Text1()->text(), Text2()->text()}), browsed);
        }
        QCOMPARE(Text2()->text(), QString("/home/u/v1.2/bank.LDX"));
        QCOMPARE(Combo1()->count(), 3);
        QCOMPARE(Combo1()->currentText(), QString());
    }

    void fileDialogsStartInTheRememberedFoldersWhileTheyExist()
    {
        std::filesystem::create_directory(dir->File("bank files"));
        const std::string qifDir = dir->File("bank files/");
        const struct
        {
            std::string qifSetting, ldxSetting;
            QString qifStart, ldxStart;
        } cases[] = {
            {qifDir, dir->Path().string(), QString::fromStdString(qifDir),
             QString::fromStdString(dir->Path().string())},
            {dir->File("gone/"), dir->File("olacclst.dat"), kHome, kHome}, // no such folder
            {"", "", kHome, kHome},
        };
        for (const auto& c : cases) {
            settings.values = {{"Folders/QIFDir", c.qifSetting}, {"Folders/LDXDir", c.ldxSetting}};
            fileDialogs = {};
            QTest::mouseClick(Button("Browse(0)"), Qt::LeftButton);
            QTest::mouseClick(Button("Browse(1)"), Qt::LeftButton);
            QCOMPARE(fileDialogs.requests.at(0).sInitDir, c.qifStart);
            QCOMPARE(fileDialogs.requests.at(1).sInitDir, c.ldxStart);
        }
    }

    void settingsReadBackWhatWasWritten()
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           QString::fromStdString(dir->File("config")));
        app::gui::QtSettings store("qif2ldx-test");
        QCOMPARE(store.ReadText("Folders", "QIFDir"), std::nullopt);
        store.WriteText("Folders", "QIFDir", "/home/u/Caf\xC3\xA9 files/");
        QCOMPARE(store.ReadText("Folders", "QIFDir"),
                 std::optional<std::string>("/home/u/Caf\xC3\xA9 files/"));
        QVERIFY(
            std::filesystem::is_regular_file(dir->File("config/qif2ldx-test/qif2ldx-test.ini")));
    }

    void qifBrowserReopensOnItsFileOnlyWhileTheBoxHoldsIt()
    {
        fileDialogs.answers = {QString("/home/u/May.qif"), std::nullopt, std::nullopt};
        QTest::mouseClick(Button("Browse(0)"), Qt::LeftButton);
        Text1()->setText("  /home/u/May.qif ");
        QTest::mouseClick(Button("Browse(0)"), Qt::LeftButton);
        QCOMPARE(fileDialogs.requests.at(1).sFileName, QString("/home/u/May.qif"));
        Text1()->setText("/home/u/June.qif");
        QTest::mouseClick(Button("Browse(0)"), Qt::LeftButton);
        QCOMPARE(fileDialogs.requests.at(2).sFileName, QString());
        QCOMPARE(fileDialogs.requests.at(2).sInitDir, kHome);
    }

    void helpOpensTheTwoTopics()
    {
        QTest::mouseClick(Button("Command(2)"), Qt::LeftButton);
        QTest::mouseClick(Control<QLabel>("Label4"), Qt::LeftButton);
        const QString base = QString::fromStdString(dir->Path().string()) + "/nbh.chm::";
        QCOMPARE(help.topics, (QStringList{base + "/nbh_oz_additions/task_qif_ofx_convert.htm",
                                           base + "/nbh_oz_additions/"
                                                  "task_qif_ofx_convert_accounts.htm"}));
        QCOMPARE(app::gui::HelpTopicFile(help.topics[0]),
                 QString::fromStdString(dir->Path().string()) +
                     "/help/nbh_oz_additions/task_qif_ofx_convert.htm");
        QCOMPARE(app::gui::HelpTopicFile("no topic"), QString());
    }

    void topMostOnActivationWithoutMovingOrResizing()
    {
        const QRect before = dialog->geometry();
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QTRY_VERIFY(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(dialog->geometry(), before);
        app::gui::SetTopMost(dialog.get());
        QCOMPARE(dialog->geometry(), before);
        QVERIFY(dialog->isVisible());
    }

    void programWithItsOwnServicesOpensHelpAndClosesCleanly()
    {
        // The help window belongs to the dialog: closing the program deletes each window once.
        auto program = std::make_unique<app::gui::DialogProgram>();
        program->Dialog().show();
        QVERIFY(QTest::qWaitForWindowExposed(&program->Dialog()));
        QTest::mouseClick(program->Dialog().findChild<QPushButton*>("Command(2)"), Qt::LeftButton);
        auto* helpWindow = program->Dialog().findChild<QDialog*>("HelpWindow");
        QVERIFY(helpWindow != nullptr && helpWindow->isVisible());
        QTest::mouseClick(program->Dialog().findChild<QPushButton*>("Command(1)"), Qt::LeftButton);
        QVERIFY(!program->Dialog().isVisible());
        program.reset();
    }

    void cancelCloses()
    {
        QTest::mouseClick(Button("Command(1)"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(settings.writes, 0);
    }
};

QTEST_MAIN(frmConvertImportTest)
#include "frmConvertImportTest.moc"
