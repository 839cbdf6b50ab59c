// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QString>

class QTextBrowser;

namespace qif2ldx::app::gui {

// Shows help topics; the program's own help window, a recorder in tests.
class IHelpViewer
{
public:
    virtual ~IHelpViewer() = default;

    // Shows the topic "<folder>/<file>.chm::/<topic path>". Reports nothing when it is missing.
    virtual void ShowTopic(const QString& sTopic) = 0;
};

// The HTML file a topic names: "<folder>/help/<topic path>"; empty for a malformed topic.
[[nodiscard]] QString HelpTopicFile(const QString& sTopic);

// A window of its own that shows the program's HTML help topics.
class HelpWindow final : public QDialog, public IHelpViewer
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* objParent = nullptr);

    void ShowTopic(const QString& sTopic) override;

private:
    QTextBrowser* objBrowser_;
};

} // namespace qif2ldx::app::gui
