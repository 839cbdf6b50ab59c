// SPDX-License-Identifier: MIT
#pragma once

#include "GuiFakes.h"
#include "app/gui/frmConvertImport.h"
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
#include <QtTest>
#include <memory>

namespace qif2ldx::test {

// What every test of the Import Bank Statement dialog works with: a fresh folder holding the
// example account list (the program's folder), a fake for every service, and the dialog on them.
class DialogFixture
{
protected:
    inline static const std::string kData = QIF2LDX_TEST_DATA;
    inline static const QString kHome = "/home/tester";

    std::unique_ptr<TempDir> dir;
    std::unique_ptr<FixedProgramFolder> folder;
    MessageRecorder messages;
    FixedClock clock{{2026, 12, 7}};
    RecordedSettings settings;
    FakeAssociation association;
    RecordedStarts starts;
    ScriptedFileDialogs fileDialogs;
    RecordedHelp help;
    ScriptedList accountList;
    FixedEnvironment environment;
    std::unique_ptr<app::gui::frmConvertImport> dialog;

    // Everything fresh, and the dialog open.
    void Begin()
    {
        dir = std::make_unique<TempDir>();
        folder = std::make_unique<FixedProgramFolder>(dir->Path().string());
        WriteBytes(dir->File("olacclst.dat"), ReadBytes(kData + "/olacclst.dat"));
        messages.Clear();
        settings = {};
        association.sExecutable = "/opt/lodestrand/lodestrand";
        starts.started.clear();
        fileDialogs = {};
        help.topics.clear();
        accountList = {};
        // A history of the test's own, as a user's home gives one: without a folder for it
        // every run would warn that nothing was checked or recorded.
        environment.variables = {{"XDG_DATA_HOME", dir->File("data")}};
        OpenDialog();
    }

    void End()
    {
        dialog.reset();
        dir.reset();
    }

    // A new dialog on the services as they are now.
    void OpenDialog()
    {
        dialog = std::make_unique<app::gui::frmConvertImport>(
            app::gui::DialogServices{{messages, *folder, clock, [] {}, nullptr, &accountList},
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

    // Writes a QIF file into the folder; its path.
    std::string Qif(const std::string& name, const std::string& bytes) const
    {
        WriteBytes(dir->File(name), bytes);
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
};

} // namespace qif2ldx::test
