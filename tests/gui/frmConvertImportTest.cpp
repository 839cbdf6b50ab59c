// SPDX-License-Identifier: MIT
#include "DialogFixture.h"
#include "app/gui/DialogProgram.h"
#include "app/gui/QtSettings.h"
#include "app/gui/SetTopMost.h"

#include <QSettings>

using namespace qif2ldx;

// The dialog as it stands: its layout, keys, file dialogs, folders, help and closing.
class frmConvertImportTest : public QObject, protected test::DialogFixture
{
    Q_OBJECT

private slots:
    void init() { Begin(); }
    void cleanup() { End(); }

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

    void typedQifPathProposesTheStatementPathUnlessTheUserGaveOne()
    {
        const QString may = QString::fromStdString(Qif("May.qif", ""));
        const QString june = QString::fromStdString(Qif("June.qif", ""));
        const QString base = QString::fromStdString(dir->Path().string()) + "/";
        const auto type = [this](QLineEdit* box, const QString& text) {
            box->clear();
            QTest::keyClicks(box, text);
        };
        type(Text1(), may); // the box was empty
        QCOMPARE(Text2()->text(), base + "May.LDX");
        type(Text1(), june); // the box held the proposal for May
        QCOMPARE(Text2()->text(), base + "June.LDX");
        type(Text1(), base + "July.qif"); // no such file
        QCOMPARE(Text2()->text(), base + "June.LDX");
        type(Text2(), "/home/u/mine.LDX");
        type(Text1(), may);
        QCOMPARE(Text2()->text(), QString("/home/u/mine.LDX"));
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
        const std::string ini = dir->File("config/qif2ldx-test/qif2ldx-test.ini");
        QVERIFY(std::filesystem::is_regular_file(ini));
        // The user's alone, and so is the copy QSaveFile builds with its permissions; a file
        // an older version left readable to others is made private on the next write.
        const auto owner = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
        QCOMPARE(std::filesystem::status(ini).permissions(), owner);
        std::filesystem::permissions(ini, owner | std::filesystem::perms::others_read);
        store.WriteText("Folders", "LDXDir", "/home/u/");
        QCOMPARE(std::filesystem::status(ini).permissions(), owner);
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
