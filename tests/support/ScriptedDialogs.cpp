#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <gtest/gtest.h>

ScriptedDialogs::ScriptedDialogs() : previous_(setDialogHandler(this)) {}

ScriptedDialogs::~ScriptedDialogs()
{
    setDialogHandler(previous_);
    if (!allowUnused_ && pendingAnswers() > 0)
        ADD_FAILURE() << pendingAnswers() << " scripted dialog answer(s) were never used";
}

void ScriptedDialogs::answerBox(int id)
{
    answerBoxAfter(nullptr, id);
}

void ScriptedDialogs::answerBoxes(std::initializer_list<int> ids)
{
    for (const int id : ids)
        answerBox(id);
}

void ScriptedDialogs::answerBoxAfter(std::function<void()> whileShown, int id)
{
    boxAnswers_.push_back(id);
    boxWhileShown_.push_back(std::move(whileShown));
}

void ScriptedDialogs::answerOpenFile(const QString& path)
{
    openAnswers_.push_back(path);
}

void ScriptedDialogs::answerSaveFile(const QString& path)
{
    saveAnswers_.push_back(path);
}

void ScriptedDialogs::answerInput(const QString& text)
{
    inputAnswers_.emplace_back(text);
}

void ScriptedDialogs::cancelInput()
{
    inputAnswers_.emplace_back(std::nullopt);
}

void ScriptedDialogs::onModal(ModalScript script)
{
    modalScripts_.push_back(std::move(script));
}

namespace {

// Runs the dialog modally; whileShown runs from its own event loop.
void execWhile(QDialog& dialog, std::function<void(QDialog&)> whileShown)
{
    QTimer::singleShot(0, &dialog, [&] {
        whileShown(dialog);
        if (dialog.isVisible())
            dialog.reject();
    });
    dialog.exec();
}

} // namespace

int ScriptedDialogs::pendingAnswers() const
{
    return static_cast<int>(boxAnswers_.size() + openAnswers_.size() + saveAnswers_.size() + inputAnswers_.size() +
                            modalScripts_.size());
}

QStringList ScriptedDialogs::boxTexts() const
{
    QStringList out;
    for (const Box& b : boxes_)
        out << b.text;
    return out;
}

void ScriptedDialogs::clearRecords()
{
    boxes_.clear();
    files_.clear();
    inputs_.clear();
    modals_.clear();
}

QList<int> ScriptedDialogs::buttonsOf(unsigned flags)
{
    switch (flags & 0x0F) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case 0x02:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case 0x05:
        return {IDRETRY, IDCANCEL};
    default:
        return {IDOK};
    }
}

int ScriptedDialogs::defaultAnswer(unsigned flags)
{
    const QList<int> buttons = buttonsOf(flags);
    if (buttons.contains(IDCANCEL))
        return IDCANCEL;
    if (buttons.contains(IDNO))
        return IDNO;
    return buttons.front();
}

int ScriptedDialogs::messageBox(const QString& text, const QString& caption, unsigned flags)
{
    int answer = defaultAnswer(flags);
    if (shownNext_) {
        QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
        execWhile(box, std::exchange(shownNext_, nullptr));
    } else if (!boxAnswers_.empty()) {
        answer = boxAnswers_.front();
        boxAnswers_.pop_front();
        const std::function<void()> whileShown = std::move(boxWhileShown_.front());
        boxWhileShown_.pop_front();
        if (whileShown)
            whileShown();
        if (!buttonsOf(flags).contains(answer))
            ADD_FAILURE() << "scripted answer " << answer << " is not a button of the box \"" << text.toStdString()
                          << "\" (flags 0x" << std::hex << flags << ")";
    } else if (echo_) {
        std::fprintf(stderr, "[dialogs] unscripted box \"%s\" / \"%s\" (flags 0x%x) answered %d\n", qPrintable(text),
                     qPrintable(caption), flags, answer);
    }
    boxes_.append({text, caption, flags, answer});
    return answer;
}

QString ScriptedDialogs::openFileName(QWidget*, const QString& caption, const QString& initialPath,
                                      const QString& filter)
{
    QString answer;
    if (!openAnswers_.empty()) {
        answer = openAnswers_.front();
        openAnswers_.pop_front();
    } else if (echo_) {
        std::fprintf(stderr, "[dialogs] unscripted open dialog \"%s\" cancelled\n", qPrintable(caption));
    }
    files_.append({false, caption, initialPath, filter, answer});
    return answer;
}

QString ScriptedDialogs::saveFileName(QWidget*, const QString& caption, const QString& initialPath,
                                      const QString& filter)
{
    QString answer;
    if (shownNext_) {
        QFileDialog dialog(QApplication::activeWindow(), caption, initialPath);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        execWhile(dialog, std::exchange(shownNext_, nullptr));
    } else if (!saveAnswers_.empty()) {
        answer = saveAnswers_.front();
        saveAnswers_.pop_front();
    } else if (echo_) {
        std::fprintf(stderr, "[dialogs] unscripted save dialog \"%s\" cancelled\n", qPrintable(caption));
    }
    files_.append({true, caption, initialPath, filter, answer});
    return answer;
}

bool ScriptedDialogs::inputQuery(const QString& caption, const QString& prompt, QString& value)
{
    std::optional<QString> answer;
    if (!inputAnswers_.empty()) {
        answer = inputAnswers_.front();
        inputAnswers_.pop_front();
    } else if (echo_) {
        std::fprintf(stderr, "[dialogs] unscripted input \"%s\" cancelled\n", qPrintable(prompt));
    }
    inputs_.append({caption, prompt, value, answer.has_value(), answer.value_or(QString())});
    if (answer)
        value = *answer;
    return answer.has_value();
}

int ScriptedDialogs::showModal(QDialog* dialog)
{
    ModalScript script;
    if (!modalScripts_.empty()) {
        script = std::move(modalScripts_.front());
        modalScripts_.pop_front();
    } else if (echo_) {
        std::fprintf(stderr, "[dialogs] unscripted modal dialog %s \"%s\" rejected\n",
                     dialog->metaObject()->className(), qPrintable(dialog->windowTitle()));
    }
    // Shown for real, so that whatever the dialog does when it appears has happened when the script runs.
    dialog->setResult(QDialog::Rejected);
    dialog->show();
    QCoreApplication::processEvents();
    if (script)
        script(dialog);
    if (dialog->isVisible())
        dialog->reject();
    const int result = dialog->result();
    modals_.append(
        {QString::fromLatin1(dialog->metaObject()->className()), dialog->objectName(), dialog->windowTitle(), result});
    return result;
}
