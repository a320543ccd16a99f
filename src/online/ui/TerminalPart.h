#pragma once
// The terminal on the gateway's command interface: the memo mTerminal fills the page area, every key typed
// (and every character pasted) goes to the gateway one byte at a time, and the memo shows only what the gateway
// echoes. On a serial port, modem line or ISDN modem a TTerminal worker reads the link (online/Terminal.h); on
// the telnet link the telnet router brings the text. The part registers as a live tool (link/LiveTools.h).
#include "link/ExchangeState.h"

#include <QByteArray>
#include <QPlainTextEdit>

#include <optional>

class QTimer;
class QWidget;

// The terminal's memo: typed keys and pasted text go to handlers instead of into the text.
class TPasteMemo : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit TPasteMemo(QWidget* parent = nullptr);
    // A typed character (8-bit); set it to 0 to keep it out of the memo.
    std::function<void(char& key)> OnKeyPress;
    // Pasted text, as 8-bit characters.
    std::function<void(const QByteArray& text)> OnPaste;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};

class TerminalPart
{
public:
    TPasteMemo* mTerminal = nullptr;

    void buildTerminal(QWidget* host);

    // Connects when needed, shows the memo and starts the reader (or, on telnet, the route).
    void OpenTerminal();
    // The key path: sends key to the gateway; sets it to 0 when the memo is not to take it.
    void mTerminalKeyPress(char& key);
    // Pasted text goes through the key path, one byte at a time, paced by a timer.
    void mTerminalPaste(const QByteArray& text);

private:
    void leaveTerminal();
    void sendNextPasted();
    // Counts what the user has typed on the current line (Return owes the gateway's answer to it).
    void noteKeySent(char key);
    // The leaving step's line end: after typed text it is a command whose reply is owed.
    void writeLeavingLine();
    int lineTyped_ = 0; // characters typed on the current line, less those erased
    // While the terminal's reader or route runs, the link's text is not looked at for the login prompt: the terminal
    // shows it, and the user may log in there by hand.
    std::optional<NeverLooksScope> neverLooks_;
    QTimer* pasteTimer_ = nullptr;
    QByteArray pasteQueue_;
};
