// SPDX-License-Identifier: MIT
#pragma once

#include "app/ConversionRun.h"
#include "app/Receipt.h"
#include "app/gui/QifAccountQuestion.h"

#include <QDialog>
#include <atomic>
#include <functional>

namespace qif2ldx::app::gui {

// What a conversion run takes from the program.
struct RunServices
{
    platform::IMessages& objMessages;
    const platform::IProgramFolder& objProgramFolder;
    const platform::IClock& objClock;
    std::function<void()> objPause; // the one-second wait before converting
    // A signal number once the user asks the program to end (SIGINT, SIGTERM, SIGHUP); the run
    // then stops and leaves nothing behind.
    const std::atomic<int>* objInterrupt = nullptr;
    // Asks which QIF account of a file holding several to convert; the program's own list
    // dialog when null.
    IListQuestion* objListQuestion = nullptr;
};

// The small progress window that carries out one conversion run while it is shown modally:
// once it is on screen it looks the account up, waits a second, converts (asking which QIF
// account to convert when the file holds several, then how the dates read when the file cannot
// tell), tells the user of a failure and closes itself. Its owner is told nothing.
class frmSplash final : public QDialog
{
    Q_OBJECT

public:
    // Takes the dialog's texts; bolReplace: the user agreed to replace an existing statement.
    frmSplash(ConversionInput objInput, RunServices objServices, bool bolReplace,
              QWidget* objOwner);

    // The history the run reads and records in, where the order chosen for a file whose dates
    // read two ways is kept per account once the statement is saved; without one the user is
    // still asked about the dates, nothing is kept, and nothing is asked of repeats.
    void SetHistory(KeptHistory* objHistory) { objHistory_ = objHistory; }
    // The order the user's locale writes dates in, preselected when nothing is kept for the
    // account, and how dates are shown in the questions.
    void SetLocale(qif::DateOrder localeOrder, DateShower objShowDate)
    {
        localeOrder_ = localeOrder;
        objShowDate_ = std::move(objShowDate);
    }
    // The QIF account to preselect when a file holds several: the one taken last for this
    // Lodestrand account; without one (or when the file does not hold it), the account with the
    // most transactions.
    void SetPreferredQifAccount(std::optional<std::string> sName)
    {
        sPreferredQifAccount_ = std::move(sName);
    }

    // What the run did, once the window has closed.
    [[nodiscard]] const ConversionOutcome& Outcome() const { return objOutcome_; }

protected:
    void showEvent(QShowEvent* objEvent) override;
    void paintEvent(QPaintEvent* objEvent) override;

private:
    void StartRun();
    void Run();

    ConversionInput objInput_;
    RunServices objServices_;
    bool bolReplace_;
    KeptHistory* objHistory_ = nullptr;
    qif::DateOrder localeOrder_ = qif::DateOrder::DayFirst;
    DateShower objShowDate_ = IsoDate;
    std::optional<std::string> sPreferredQifAccount_;
    bool bolStarted_ = false;
    ConversionOutcome objOutcome_;
};

} // namespace qif2ldx::app::gui
