// SPDX-License-Identifier: MIT
#include "app/gui/FittingFont.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace qif2ldx::app::gui {
namespace {

bool CaptionsFit(const QWidget* objWindow, const QFont& font)
{
    const QFontMetrics metrics(font);
    for (const QLabel* label : objWindow->findChildren<QLabel*>()) {
        const QRect box = label->geometry();
        const QRect needed = label->wordWrap()
                                 ? metrics.boundingRect(QRect(0, 0, box.width(), 1000),
                                                        Qt::TextWordWrap, label->text())
                                 : metrics.boundingRect(label->text());
        if (needed.width() > box.width() || needed.height() > box.height()) {
            return false;
        }
    }
    for (const QPushButton* button : objWindow->findChildren<QPushButton*>()) {
        constexpr int kMargins = 8;
        if (metrics.horizontalAdvance(QString(button->text()).remove('&')) + kMargins >
            button->width()) {
            return false;
        }
    }
    return true;
}

} // namespace

QFont FittingFont(const QWidget* objWindow, double maxPointSize)
{
    QFont font = QApplication::font("QDialog");
    constexpr double kStep = 0.25;
    constexpr double kSmallest = 5.0;
    for (double size = maxPointSize; size > kSmallest; size -= kStep) {
        font.setPointSizeF(size);
        if (CaptionsFit(objWindow, font)) {
            break;
        }
    }
    return font;
}

} // namespace qif2ldx::app::gui
