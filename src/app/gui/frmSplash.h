// SPDX-License-Identifier: MIT
#pragma once

#include "app/ConversionRun.h"

#include <QDialog>
#include <functional>

namespace qif2ldx::app::gui {

// What a conversion run takes from the program.
struct RunServices
{
    platform::IMessages& objMessages;
    const platform::IProgramFolder& objProgramFolder;
    const platform::IClock& objClock;
    std::function<void()> objPause; // the one-second wait before converting
};

// The small progress window that carries out one conversion run while it is shown modally:
// once it is on screen it looks the account up, waits a second, converts, tells the user of a
// failure and closes itself. Its owner is told nothing.
class frmSplash final : public QDialog
{
    Q_OBJECT

public:
    // Takes the dialog's texts as they stand, untrimmed.
    frmSplash(ConversionInput objInput, RunServices objServices, QWidget* objOwner);

protected:
    void showEvent(QShowEvent* objEvent) override;
    void paintEvent(QPaintEvent* objEvent) override;

private:
    void StartRun();
    void Run();

    ConversionInput objInput_;
    RunServices objServices_;
    bool bolStarted_ = false;
};

} // namespace qif2ldx::app::gui
