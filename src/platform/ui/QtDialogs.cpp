#include "platform/ui/QtDialogs.h"

#include "platform/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QWidget* dialogParent(QWidget* parent)
{
    if (parent)
        return parent;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

// The program's filters are in the old "description|patterns|description|patterns" form, patterns separated
// by ";". Qt wants "description (patterns);;...". A filter without "|" is taken to be in Qt's form already.
QString qtFilter(const QString& filter)
{
    if (!filter.contains(QLatin1Char('|')))
        return filter;
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString description = parts[i].trimmed();
        out << (description.endsWith(QLatin1Char(')')) && description.contains(patterns)
                    ? description
                    : QStringLiteral("%1 (%2)").arg(description, patterns.simplified()));
    }
    return out.join(QStringLiteral(";;"));
}

class QtDialogHandler final : public DialogHandler
{
public:
    int messageBox(const QString& text, const QString& caption, unsigned flags) override
    {
        QMessageBox box(dialogParent(nullptr));
        box.setWindowTitle(caption);
        box.setTextFormat(Qt::PlainText); // the texts are never markup
        box.setText(text);
        switch (flags & 0xF0) {
        case MB_ICONERROR:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONWARNING:
            box.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONINFORMATION:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
        }
        struct Button
        {
            QMessageBox::StandardButton qt;
            int id;
        };
        QList<Button> buttons;
        switch (flags & 0x0F) {
        case MB_OKCANCEL:
            buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
            break;
        case 0x02: // abort, retry, ignore
            buttons = {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
            break;
        case MB_YESNOCANCEL:
            buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
            break;
        case MB_YESNO:
            buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
            break;
        case 0x05: // retry, cancel
            buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
            break;
        default:
            buttons = {{QMessageBox::Ok, IDOK}};
            break;
        }
        QMessageBox::StandardButtons set;
        for (const Button& b : buttons)
            set |= b.qt;
        box.setStandardButtons(set);
        // The first button is the default unless a MB_DEFBUTTONn flag (0x100, 0x200) names another.
        const qsizetype def = std::min<qsizetype>((flags >> 8) & 0x0F, buttons.size() - 1);
        box.setDefaultButton(buttons[def].qt);
        box.exec();
        const auto pressed = box.standardButton(box.clickedButton());
        for (const Button& b : buttons) {
            if (b.qt == pressed)
                return b.id;
        }
        // Closed without a button: what the old box answered for Escape.
        return buttons.size() == 1 ? buttons[0].id : IDCANCEL;
    }

    QString openFileName(QWidget* parent, const QString& caption, const QString& initialPath,
                         const QString& filter) override
    {
        return QFileDialog::getOpenFileName(dialogParent(parent), caption, initialPath, qtFilter(filter));
    }

    QString saveFileName(QWidget* parent, const QString& caption, const QString& initialPath,
                         const QString& filter) override
    {
        return QFileDialog::getSaveFileName(dialogParent(parent), caption, initialPath, qtFilter(filter));
    }

    bool inputQuery(const QString& caption, const QString& prompt, QString& value) override
    {
        bool ok = false;
        const QString text =
            QInputDialog::getText(dialogParent(nullptr), caption, prompt, QLineEdit::Normal, value, &ok);
        if (ok)
            value = text;
        return ok;
    }

    int showModal(QDialog* dialog) override { return dialog->exec(); }
};

} // namespace

void installQtDialogs()
{
    static QtDialogHandler handler;
    setDefaultDialogHandler(&handler);
}
