// SPDX-License-Identifier: MIT
#include "app/gui/frmSplash.h"

#include "app/gui/FittingFont.h"
#include "app/gui/SetTopMost.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QTimer>
#include <QWindow>
#include <utility>

namespace qif2ldx::app::gui {

frmSplash::frmSplash(ConversionInput objInput, RunServices objServices, bool bolReplace,
                     QWidget* objOwner)
    : QDialog(objOwner, Qt::Dialog | Qt::FramelessWindowHint), objInput_(std::move(objInput)),
      objServices_(std::move(objServices)), bolReplace_(bolReplace)
{
    setObjectName("frmSplash");
    setWindowTitle(QString());
    setModal(true);
    setFixedSize(313, 41);

    auto* picture = new QFrame(this);
    picture->setObjectName("Picture1");
    picture->setGeometry(0, 0, 313, 41);
    picture->setFrameShape(QFrame::Box);

    auto* label = new QLabel("Converting QIF File........", picture);
    label->setObjectName("Label1");
    label->setGeometry(88, 8, 145, 17);
    setFont(FittingFont(this, 9.75));

    SetTopMost(this);
}

void frmSplash::showEvent(QShowEvent* objEvent)
{
    QDialog::showEvent(objEvent);
    // The window system shows a window when it gets round to it; the run starts once the window
    // has been painted, or after a moment at the latest.
    QTimer::singleShot(500, this, &frmSplash::StartRun);
}

void frmSplash::paintEvent(QPaintEvent* objEvent)
{
    QDialog::paintEvent(objEvent);
    QTimer::singleShot(0, this, &frmSplash::StartRun);
}

void frmSplash::StartRun()
{
    if (!bolStarted_) {
        bolStarted_ = true;
        Run();
    }
}

void frmSplash::Run()
{
    repaint();
    // Qt hands a repainted window to the window system at its next update, which the blocking
    // work below would hold back: flush it now, then let pending events run once.
    if (backingStore() != nullptr && windowHandle() != nullptr) {
        backingStore()->flush(rect(), windowHandle());
    }
    QGuiApplication::sync();
    QCoreApplication::processEvents();
    ConversionRun objRun(objServices_.objMessages, objServices_.objProgramFolder,
                         objServices_.objClock);
    objRun.SetPause(objServices_.objPause);
    qif::ConversionOptions objConversion;
    objConversion.bolReplace = bolReplace_;
    objRun.SetOptions(objConversion);
    objRun.SetExplainFailures(true);
    platform::IMessages& objMessages = objServices_.objMessages;
    objRun.SetChooseDateOrder([&objMessages](const qif::DateDecision& decision,
                                             std::optional<qif::DateOrder> remembered) {
        const bool bolGuess =
            decision.source == qif::DateSource::File && decision.order != qif::DateOrder::DayFirst;
        if (bolGuess &&
            objMessages.Show(kMessageTitle,
                             DescribeDateDecision(decision, Start::Sentence) +
                                 " Convert them that way?",
                             platform::MessageKind::Question) != platform::MessageAnswer::Yes) {
            return std::optional<qif::DateChoice>();
        }
        return std::optional<qif::DateChoice>(UnaskedDateChoice(decision, remembered));
    });
    const std::atomic<int>* interrupt = objServices_.objInterrupt;
    objRun.SetProgress([interrupt](std::uint64_t /*done*/, std::uint64_t /*total*/) {
        return interrupt == nullptr || interrupt->load() == 0;
    });
    objOutcome_ = objRun.Run(objInput_);
    done(QDialog::Accepted);
}

} // namespace qif2ldx::app::gui
