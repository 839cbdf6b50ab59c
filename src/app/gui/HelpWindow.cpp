// SPDX-License-Identifier: MIT
#include "app/gui/HelpWindow.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace qif2ldx::app::gui {

QString HelpTopicFile(const QString& sTopic)
{
    const qsizetype separator = sTopic.indexOf(".chm::/", 0, Qt::CaseInsensitive);
    if (separator < 0) {
        return {};
    }
    const QString sHelpFile = sTopic.left(separator + 4);
    const QString sTopicPath = sTopic.mid(separator + 7);
    return QFileInfo(sHelpFile).path() + "/help/" + sTopicPath;
}

HelpWindow::HelpWindow(QWidget* objParent) : QDialog(objParent), objBrowser_(new QTextBrowser(this))
{
    setWindowTitle("Lodestrand Help");
    setObjectName("HelpWindow");
    resize(640, 520);
    objBrowser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(objBrowser_);
}

void HelpWindow::ShowTopic(const QString& sTopic)
{
    const QString sFile = HelpTopicFile(sTopic);
    if (!sFile.isEmpty() && QFileInfo::exists(sFile)) {
        objBrowser_->setSource(QUrl::fromLocalFile(sFile));
    } else {
        objBrowser_->setHtml("<p>This help topic is not installed.</p>");
    }
    show();
    raise();
    activateWindow();
}

} // namespace qif2ldx::app::gui
