// SPDX-License-Identifier: MIT
#include "app/gui/frmSplash.h"

#include "app/MainModule.h"
#include "app/gui/DialogWording.h"
#include "app/gui/FittingFont.h"
#include "app/gui/HistoryWording.h"
#include "app/gui/SetTopMost.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <utility>

namespace qif2ldx::app::gui {
namespace {

// How the dialog asks: the account, the locale's order, how dates are shown, and where the
// answer is held until the run's statement is saved.
struct DateAsking
{
    platform::IMessages& objMessages;
    std::string sAccount;
    qif::DateOrder localeOrder;
    DateShower objShowDate;
    std::optional<qif::DateOrder>* objAnswer;
};

// Asks which order the dates of a file that reads two ways are in: a button for each order that
// reads them, the one kept for the account (else the locale's) preselected. The answer is held
// in asking.objAnswer. nullopt when the user cancels.
std::optional<qif::DateChoice> AskDateOrder(const DateAsking& asking,
                                            const qif::DateDecision& decision,
                                            std::optional<qif::DateOrder> remembered)
{
    const std::vector<qif::DateOrder> orders = ReadingOrders(decision);
    std::vector<std::string> buttons;
    buttons.reserve(orders.size());
    for (const qif::DateOrder order : orders) {
        buttons.push_back(DateOrderButton(order));
    }
    const std::optional<std::size_t> answer = asking.objMessages.Choose(
        kMessageTitle, DateQuestion(decision, asking.sAccount, remembered, asking.objShowDate),
        buttons, PreselectedOrder(orders, remembered, asking.localeOrder, decision.order));
    if (!answer || *answer >= orders.size()) {
        return std::nullopt;
    }
    const qif::DateOrder chosen = orders[*answer];
    *asking.objAnswer = chosen;
    return qif::DateChoice{chosen, chosen == remembered ? qif::DateSource::Account
                                                        : qif::DateSource::Asked};
}

// The dialog's answer to how a file's dates read: a file that reads two ways and whose order
// nobody stated is asked about; one that the file alone decides is not read day first only
// when the user agrees; every other is read as decided.
ConversionRun::ChooseDateOrder ChooseInDialog(DateAsking asking)
{
    return [asking = std::move(asking)](const qif::DateDecision& decision,
                                        std::optional<qif::DateOrder> remembered) {
        if (decision.source == qif::DateSource::File && decision.bolAmbiguous) {
            return AskDateOrder(asking, decision, remembered);
        }
        const bool bolGuess =
            decision.source == qif::DateSource::File && decision.order != qif::DateOrder::DayFirst;
        if (bolGuess && asking.objMessages.Show(kMessageTitle,
                                                DescribeDateDecision(decision, Start::Sentence) +
                                                    " Convert them that way?",
                                                platform::MessageKind::Question) !=
                            platform::MessageAnswer::Yes) {
            return std::optional<qif::DateChoice>();
        }
        return std::optional<qif::DateChoice>(
            UnaskedDateChoice(decision, remembered, asking.localeOrder));
    };
}

// The dialog's questions about what the history holds, asked in message boxes: the same file
// again (Cancel the default), then the repeats (Leave them out the default).
RepeatQuestions AskInDialog(platform::IMessages& objMessages, const std::string& sQIFPath)
{
    return {[&objMessages, sQIFPath](const RepeatReport& report) {
                return objMessages.Choose(kMessageTitle, SameFileQuestion(report, sQIFPath),
                                          {kConvertAgain}, 1) == std::optional<std::size_t>(0);
            },
            [&objMessages, sQIFPath](const RepeatReport& report) -> std::optional<bool> {
                const std::optional<std::size_t> answer = objMessages.Choose(
                    kMessageTitle, RepeatQuestion(report, sQIFPath), {kLeaveThemOut, kKeepThem}, 0);
                if (!answer) {
                    return std::nullopt;
                }
                return *answer == 0;
            }};
}

} // namespace

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
    const DateOrderMemory objMemory(objHistory_);
    objRun.SetDateOrderMemory(&objMemory);
    std::optional<qif::DateOrder> answeredOrder;
    QtListQuestion objList(this);
    objRun.SetChooseQifAccount(AskQifAccount(
        objServices_.objListQuestion != nullptr ? *objServices_.objListQuestion : objList,
        Trim(objInput_.sAcctName), sPreferredQifAccount_));
    objRun.SetChooseDateOrder(ChooseInDialog({objServices_.objMessages, Trim(objInput_.sAcctName),
                                              localeOrder_, objShowDate_, &answeredOrder}));
    const RepeatQuestions questions = AskInDialog(objServices_.objMessages, objInput_.sQIFFilePath);
    objRun.SetHistory(objHistory_, RepeatPolicy::Ask, &questions);
    const std::atomic<int>* interrupt = objServices_.objInterrupt;
    objRun.SetProgress([interrupt](std::uint64_t /*done*/, std::uint64_t /*total*/) {
        return interrupt == nullptr || interrupt->load() == 0;
    });
    objOutcome_ = objRun.Run(objInput_);
    // The answer about the dates is kept with the statement it was given for: a run that was
    // cancelled at a later question, or failed, keeps nothing. An answer that cannot be kept is
    // asked for again next time; the statement stands.
    if (answeredOrder && objOutcome_.result == RunResult::Saved && objHistory_ != nullptr) {
        static_cast<void>(objMemory.Remember(objInput_.sAcctName, *answeredOrder));
        for (std::string& sTrouble : objHistory_->TakeTroubles()) {
            objOutcome_.historyTroubles.push_back(std::move(sTrouble));
        }
    }
    done(QDialog::Accepted);
}

} // namespace qif2ldx::app::gui
