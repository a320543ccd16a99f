#pragma once
// A label whose caption follows the old accelerator convention: "&&" shows one "&", a single "&" marks the
// next character and is not shown. caption() gives the text as set, text() what is shown.
#include <QLabel>

class CaptionLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;
    void setCaption(const QString& caption);
    QString caption() const { return caption_; }

    // The shown form of a caption.
    static QString displayText(const QString& caption);

private:
    QString caption_;
};
