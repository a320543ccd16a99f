#include "ui/CaptionLabel.h"

void CaptionLabel::setCaption(const QString& caption)
{
    caption_ = caption;
    setText(displayText(caption));
}

QString CaptionLabel::displayText(const QString& caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i; // "&&" shows one "&"; "&x" shows "x"
        } else if (caption.at(i) == QLatin1Char('&')) {
            continue; // a trailing "&" marks nothing
        }
        shown += caption.at(i);
    }
    return shown;
}
