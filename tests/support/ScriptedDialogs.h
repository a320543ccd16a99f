#pragma once
// A DialogHandler for tests: records every box and dialog the program asks for and answers from queues the
// test fills. Constructing one installs it; destroying it puts back the handler that was there before.
//
// Answers when a queue is empty (what a user who just closes the box gets):
//   message box: MB_OK -> IDOK; a box with a Cancel button -> IDCANCEL; MB_YESNO -> IDNO;
//                abort/retry/ignore -> IDABORT
//   open/save file dialog: "" (cancelled)
//   input query: cancelled (false, value unchanged)
//   modal dialog: shown, then rejected (QDialog::Rejected)
// A queued box answer that is not one of the box's buttons fails the test (the code asked a different
// question than the test expected). Answers left unused when the object is destroyed fail the test too,
// unless allowUnusedAnswers() was called.
#include "platform/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

class ScriptedDialogs : public DialogHandler
{
public:
    struct Box
    {
        QString text;
        QString caption;
        unsigned flags = 0;
        int answer = 0; // what the handler returned
    };
    struct FileDialog
    {
        bool save = false;
        QString caption;
        QString initialPath;
        QString filter;
        QString answer;
    };
    struct Input
    {
        QString caption;
        QString prompt;
        QString initialValue;
        bool accepted = false;
        QString answer;
    };
    struct Modal
    {
        QString className; // the dialog's C++ class (metaObject()->className())
        QString objectName;
        QString title;
        int result = 0;
    };
    // Runs while the dialog is shown; fill its controls and call accept() or reject() on it. A dialog still
    // open when the script returns is rejected.
    using ModalScript = std::function<void(QDialog*)>;

    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // Answers, used in order.
    void answerBox(int id);
    void answerBoxes(std::initializer_list<int> ids);
    // The next box stays open while whileShown runs (it may run the event loop, as a user who takes time to
    // answer lets the program's work go on), then is answered id.
    void answerBoxAfter(std::function<void()> whileShown, int id);
    void answerOpenFile(const QString& path); // "" = cancel
    void answerSaveFile(const QString& path); // "" = cancel
    void answerInput(const QString& text);
    void cancelInput();
    void onModal(ModalScript script);
    // The next box or save dialog is Qt's own, shown modally as the program shows it, while whileShown runs
    // (it may run the event loop); then it is closed if still open and answered as when no answer is queued.
    void showNext(std::function<void(QDialog&)> whileShown) { shownNext_ = std::move(whileShown); }

    void allowUnusedAnswers(bool allow = true) { allowUnused_ = allow; }
    // Prints each box and dialog to stderr as it is answered (the fallback handler of the test programs).
    void setEcho(bool echo) { echo_ = echo; }
    int pendingAnswers() const;

    // What was shown, in order.
    const QList<Box>& boxes() const { return boxes_; }
    const QList<FileDialog>& fileDialogs() const { return files_; }
    const QList<Input>& inputs() const { return inputs_; }
    const QList<Modal>& modals() const { return modals_; }
    QStringList boxTexts() const;
    void clearRecords();

    // The answer given when no answer is queued (see above).
    static int defaultAnswer(unsigned flags);
    // The buttons a box with these flags has.
    static QList<int> buttonsOf(unsigned flags);

    int messageBox(const QString& text, const QString& caption, unsigned flags) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& initialPath,
                         const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& initialPath,
                         const QString& filter) override;
    bool inputQuery(const QString& caption, const QString& prompt, QString& value) override;
    int showModal(QDialog* dialog) override;

private:
    DialogHandler* previous_ = nullptr;
    std::deque<int> boxAnswers_;
    std::deque<std::function<void()>> boxWhileShown_; // one per entry of boxAnswers_, mostly empty
    std::deque<QString> openAnswers_;
    std::deque<QString> saveAnswers_;
    std::deque<std::optional<QString>> inputAnswers_;
    std::deque<ModalScript> modalScripts_;
    std::function<void(QDialog&)> shownNext_;
    QList<Box> boxes_;
    QList<FileDialog> files_;
    QList<Input> inputs_;
    QList<Modal> modals_;
    bool allowUnused_ = false;
    bool echo_ = false;
};
